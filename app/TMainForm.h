#pragma once
// The launcher: lists the audio inputs, probes the chosen one's highest sample rate, keeps the
// colour scheme and line width, and shows the instruments one at a time as modal windows with its
// toolbar panel moved onto them. The toolbar also switches the generator's output on and off.

#include "capture/WaveInput.h"
#include "windows/LauncherLink.h"

#include <QWidget>
#include <array>
#include <functional>
#include <memory>

class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QRadioButton;
class QToolButton;

namespace mirel {

class GeneratorControl;
class InstrumentWindow;
class UpDown;

class TMainForm : public QWidget {
    Q_OBJECT

public:
    // Without a generator of the program's, the launcher makes its own.
    TMainForm(WaveInput& input, LauncherLink& launcher, GeneratorControl* generator = nullptr);
    ~TMainForm() override;

    // The instruments, in the order oscilloscope, spectrum, density, statistics, transfer function.
    void setInstruments(const std::array<InstrumentWindow*, 5>& instruments);

    // Start-up: fills the device list and takes the first device, or reports that there is none
    // and tells the application to end. Returns false in that case.
    bool FormCreate();

    // How a message box is shown (tests replace it).
    std::function<void(const QString&)> showMessage;

    int DeviceId = 0;
    int MaxSampleRate = 0;
    int LineWidth = 1;
    DisplayPalette CurrentScheme;

    void FillDeviceList();
    void lbADClick();
    int GetMaxFd();
    void sbtnOSPVClick(int tag);
    void StartForm(int number);
    void rbWhiteClick();
    void udLineWidthClick();
    // The generator's toggle and its dialog, over the window that shows the toolbar.
    void sbtnGenClick();
    void sbtnGenSetupClick();

    GeneratorControl& generator() const { return *generator_; }

    // Controls, for the instrument windows and tests.
    QWidget* MainPanel;
    QToolButton* sbtnOS;
    QToolButton* sbtnSP;
    QToolButton* sbtnPV;
    QToolButton* SpeedButton1;
    QToolButton* sbtnTF;
    QToolButton* sbtnGen;
    QToolButton* sbtnGenSetup;
    QToolButton* sbtnMain;
    QGroupBox* gbFon;
    QRadioButton* rbWhite;
    QRadioButton* rbBlack;
    QGroupBox* gbLineWidth;
    QLineEdit* edLineWidth;
    UpDown* udLineWidth;
    QListWidget* lbAD;
    QLabel* lblMaxFd;

protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    QToolButton* makeToolButton(int tag, int left, int width);
    InstrumentWindow* instrument(int number) const;
    void showGeneratorState();

    WaveInput& input_;
    LauncherLink& Launcher;
    std::array<InstrumentWindow*, 5> instruments_{};
    bool probedByPress_ = false;
    std::unique_ptr<GeneratorControl> ownGenerator_;
    GeneratorControl* generator_;
};

}  // namespace mirel
