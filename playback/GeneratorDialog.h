#pragma once
// The dialog «Генератор»: the output device, each channel's signal and level, and «Тот же сигнал
// на оба канала». Modal over the window that shows the toolbar; every good edit goes to the
// generator at once, also while it plays.

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;

namespace mirel {

class GeneratorControl;
class SignalEditor;

class GeneratorDialog : public QDialog {
    Q_OBJECT

public:
    GeneratorDialog(GeneratorControl& control, QWidget* parent);
    ~GeneratorDialog() override;  // keeps the units of the levels for the next opening

    // The controls, for tests.
    QComboBox* cbDevice;
    SignalEditor* ChannelA;
    SignalEditor* ChannelB;
    QCheckBox* cbSame;
    QLabel* lblState;
    QPushButton* btnPlay;  // the toolbar's toggle, within reach while the dialog is open
    QPushButton* btnClose;

private:
    void apply();
    void showState();
    void showFailure(const QString& message);

    GeneratorControl& control_;
};

}  // namespace mirel
