#include "TFormER.h"

#include "BlockHandoff.h"

#include <QCoreApplication>
#include <QProgressBar>

namespace mirel {

TFormER::TFormER(WaveInput& input, LauncherLink& launcher)
    : InstrumentWindow(input, launcher, QStringLiteral("Расчет ошибок"))
{
    setBufferReturn(BufferReturn::AfterCopying);
    pbTime = new QProgressBar(clientArea());
    pbTime->setObjectName("pbTime");
    pbTime->setRange(0, 100);
    pbTime->setValue(0);
    pbTime->setTextVisible(false);
    pbTime->setGeometry(16, 134 - ToolbarHeight, 460, 11);
}

bool TFormER::Start()
{
    if (Running) {
        Stop();
        while (Running)
            QCoreApplication::processEvents();
    }
    if (!StartCapture(8, SampleRate / 5))
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

void TFormER::ProcessData() {}

}  // namespace mirel
