#pragma once
// One channel's signal in the dialog «Генератор»: the kind, the parameters that kind takes and the
// level in volts or in dB below full scale. Every field is checked as it is typed; a faulty field
// is marked and keeps the last good signal in force.

#include "playback/SignalFields.h"

#include <QGroupBox>

class QComboBox;
class QFormLayout;
class QLabel;
class QLineEdit;

namespace mirel {

class SignalEditor : public QGroupBox {
    Q_OBJECT

public:
    using Unit = LevelUnit;

    SignalEditor(const QString& title, QWidget* parent);

    // Shows `signal` with its level in the unit chosen; emits nothing.
    void setSignal(const SignalSpec& signal);
    // The level's unit, as the user last chose it.
    Unit unit() const { return unit_; }
    void setUnit(Unit unit);
    // The last good signal the fields gave.
    const SignalSpec& signal() const { return signal_; }
    // Why the fields as typed are not in force; empty when they are.
    const QString& fault() const { return fault_; }

    // The controls, for tests.
    QComboBox* cbKind;
    QLineEdit* edFrequency;
    QLineEdit* edFrequency2;
    QLineEdit* edDuration;
    QComboBox* cbPeriod;
    QLineEdit* edWidth;
    QLineEdit* edLevel;
    QComboBox* cbUnit;

signals:
    // A new good signal is in force.
    void edited();
    // The fault changed (appeared, went or became another).
    void faultChanged();

private:
    QLineEdit* addField(const QString& caption, const QString& hint);
    void showFields();
    void showLevel();
    void kindChosen();
    void unitChosen();
    void check(QWidget* typedIn);
    bool readFields(SignalSpec& out, QWidget*& faulty, QString& why) const;
    bool readLevel(double& volts, QString& why) const;
    void setFault(QWidget* faulty, const QString& why);

    QFormLayout* form_;
    QLabel* lblLevel_;
    SignalSpec signal_;
    Unit unit_ = Unit::Volts;
    QString fault_;
};

}  // namespace mirel
