#pragma once
// The error-statistics window: a timed run over 8-bit blocks of 0.2 s that counts the pulses of
// both channels as transmission errors, its results table and the saving of the results. The
// counting and the file live in the Qt-free ErrorRun and ResultsFile.

#include "statistics/ErrorRun.h"
#include "windows/InstrumentWindow.h"

#include <QTimer>
#include <vector>

class QAction;
class QComboBox;
class QFrame;
class QLabel;
class QMenu;
class QProgressBar;
class QPushButton;
class QTreeWidget;

namespace mirel {

class TFormER : public InstrumentWindow {
    Q_OBJECT

public:
    TFormER(WaveInput& input, LauncherLink& launcher);

    // Start performs the run reset before it opens the capture.
    bool Start() override;
    void Stop() override;

    // Handlers.
    void btnStartClick();
    void cbTimeClick();
    void TimerPBTimer();
    void N1Click();

    // State, readable by tests.
    const std::vector<std::int8_t>& blockCopy() const { return BlockCopy; }
    const er::ErrorRun& run() const { return run_; }
    bool runActive() const { return RunActive; }
    double chosenDuration() const { return ChosenDuration; }
    // The texts of the table's rows as shown.
    er::ResultRows shownRows() const;

    QPushButton* btnStart;
    QLabel* Label1;
    QComboBox* cbTime;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;
    QLabel* Label5;
    QLabel* Label6;
    QLabel* Label7;
    QLabel* Label8;
    QFrame* Bevel1;
    QFrame* Bevel2;
    QLabel* lblDeviceLost;
    QProgressBar* pbTime;
    QTreeWidget* lvStat;
    QMenu* PM;
    QAction* N1;
    QTimer TimerPB;

protected:
    // The hand-off copies the block, gives the buffer back at once, then counts.
    bool AcceptBlock() override;
    bool CopyBlock(const std::uint8_t* buffer) override;
    void ProcessData() override;
    // A run counts frames, so it does not advance without blocks; the window says why it waits.
    void DeviceLostChanged(bool lost) override;
    void FormShow() override;
    void resizeEvent(QResizeEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

    // The questions of the export, overridable so that they can be answered without a dialog.
    // The file name to save to, or an empty text when the user cancelled.
    virtual QString askFileName(const QString& proposed);
    // Whether an existing file may be replaced.
    virtual bool askReplace(const QString& path);
    virtual void showError(const QString& text);

private:
    void buildControls();
    void FormResize();
    void showRows(const er::ResultRows& rows);

    er::ErrorRun run_;
    double ChosenDuration = er::DurationItems[er::DurationItemAtStart].Seconds;
    bool RunActive = false;
    std::vector<std::int8_t> BlockCopy;
};

}  // namespace mirel
