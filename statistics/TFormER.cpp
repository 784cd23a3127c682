#include "statistics/TFormER.h"

#include "capture/BlockHandoff.h"
#include "display/TypedKey.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeWidget>

namespace mirel {

TFormER::TFormER(WaveInput& input, LauncherLink& launcher)
    : InstrumentWindow(input, launcher, QStringLiteral("Расчет ошибок"))
{
    setObjectName("FormER");
    // The buffer goes back as soon as it is copied, so that the card records on while the block
    // is counted.
    setBufferReturn(BufferReturn::AfterCopying);
    buildControls();
    TimerPB.setInterval(100);
    connect(&TimerPB, &QTimer::timeout, this, [this] { TimerPBTimer(); });
}

bool TFormER::Start()
{
    if (Running) {
        Stop();
        while (Running)
            QCoreApplication::processEvents();
    }
    // The run reset. The table keeps the last run's rows until the first block of this run
    // overwrites them.
    run_.Reset(SampleRate, ChosenDuration);
    Label8->setText(QString::fromStdString(run_.TotalText()));

    if (!StartCapture(8, run_.FramesPerBlock))
        return false;
    BlockCopy.assign(static_cast<size_t>(BufferBytes), 0);
    Running = true;
    return true;
}

void TFormER::Stop()
{
    recorder().StopRecording();
    Running = false;
    pbTime->setValue(0);
}

bool TFormER::AcceptBlock()
{
    // A late buffer after a stop that timed out finds no copy to fill.
    return Buffer && static_cast<int>(BlockCopy.size()) >= BufferBytes;
}

bool TFormER::CopyBlock(const std::uint8_t* buffer)
{
    CopyUnsignedAsSigned8(buffer, BufferBytes, BlockCopy.data());
    return true;
}

void TFormER::ProcessData()
{
    // A block that arrives while a stop waits for it belongs to no run any more.
    if (!RunActive || !run_.ProcessData(BlockCopy.data(), BufferBytes / 2))
        return;
    Label3->setText(QString::fromStdString(run_.ElapsedText()));
    Label5->setText(QString::fromStdString(run_.RemainingText()));
    showRows(run_.Rows());
    if (run_.Complete())
        btnStartClick();
}

void TFormER::btnStartClick()
{
    if (RunActive) {
        RunActive = false;
        // The stop waits for the block in flight; the button waits with it.
        btnStart->setEnabled(false);
        Stop();
        btnStart->setEnabled(true);
        cbTime->setEnabled(true);
        N1->setEnabled(true);
        btnStart->setText(QStringLiteral("Старт"));
        TimerPB.stop();
    } else {
        cbTime->setEnabled(false);
        cbTimeClick();
        N1->setEnabled(false);
        Start();
        btnStart->setText(QStringLiteral("Стоп"));
        RunActive = true;
        TimerPB.start();
    }
}

void TFormER::cbTimeClick()
{
    const int item = cbTime->currentIndex();
    const bool itemShown = item >= 0 && cbTime->currentText() == cbTime->itemText(item);
    const er::DurationChoice choice = er::ReadDuration(itemShown ? item : -1, cbTime->currentText().toStdString());
    ChosenDuration = choice.Seconds;
    if (choice.SelectItem >= 0) {
        cbTime->setCurrentIndex(choice.SelectItem);
        cbTime->setEditText(cbTime->itemText(choice.SelectItem));
    }
}

void TFormER::TimerPBTimer()
{
    if (Running)
        pbTime->setValue(run_.Progress());
}

void TFormER::FormShow()
{
    InstrumentWindow::FormShow();
    cbTimeClick();
}

void TFormER::resizeEvent(QResizeEvent* e)
{
    InstrumentWindow::resizeEvent(e);
    FormResize();
}

bool TFormER::eventFilter(QObject* watched, QEvent* event)
{
    // The run-length box takes digits among the typed characters.
    if (watched == cbTime && RefusedCharacter(event, er::DurationKeyAllowed))
        return true;
    return InstrumentWindow::eventFilter(watched, event);
}

void TFormER::showRows(const er::ResultRows& rows)
{
    for (int i = 0; i < static_cast<int>(rows.size()); ++i) {
        QTreeWidgetItem* item = lvStat->topLevelItem(i);
        item->setText(1, QString::fromStdString(rows[static_cast<size_t>(i)].A));
        item->setText(2, QString::fromStdString(rows[static_cast<size_t>(i)].B));
    }
}

er::ResultRows TFormER::shownRows() const
{
    er::ResultRows rows = er::EmptyRows();
    for (int i = 0; i < static_cast<int>(rows.size()); ++i) {
        const QTreeWidgetItem* item = lvStat->topLevelItem(i);
        rows[static_cast<size_t>(i)].A = item->text(1).toStdString();
        rows[static_cast<size_t>(i)].B = item->text(2).toStdString();
    }
    return rows;
}

}  // namespace mirel
