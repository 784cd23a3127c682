#include "capture/CompositeWaveInput.h"

namespace mirel {

void CompositeWaveInput::add(std::unique_ptr<WaveInput> input)
{
    inputs_.push_back(std::move(input));
}

int CompositeWaveInput::deviceCount()
{
    int count = 0;
    for (auto& input : inputs_)
        count += input->deviceCount();
    return count;
}

WaveInput* CompositeWaveInput::locate(int id, int& localId)
{
    if (id < 0)
        return nullptr;
    for (auto& input : inputs_) {
        const int count = input->deviceCount();
        if (id < count) {
            localId = id;
            return input.get();
        }
        id -= count;
    }
    return nullptr;
}

MMResult CompositeWaveInput::deviceName(int id, std::string& name)
{
    int local = 0;
    WaveInput* input = locate(id, local);
    return input ? input->deviceName(local, name) : MMSYSERR_BADDEVICEID;
}

MMResult CompositeWaveInput::isFormatSupported(int id, const WaveFormat& format)
{
    int local = 0;
    WaveInput* input = locate(id, local);
    return input ? input->isFormatSupported(local, format) : MMSYSERR_BADDEVICEID;
}

int CompositeWaveInput::ownRate(int id)
{
    int local = 0;
    WaveInput* input = locate(id, local);
    return input ? input->ownRate(local) : 0;
}

MMResult CompositeWaveInput::open(std::unique_ptr<WaveInHandle>& handle, int id, const WaveFormat& format,
                                  QObject* receiver)
{
    int local = 0;
    WaveInput* input = locate(id, local);
    lastOpened_ = input;
    return input ? input->open(handle, local, format, receiver) : MMSYSERR_BADDEVICEID;
}

std::string CompositeWaveInput::errorText(MMResult code)
{
    // The engine asks for the text of a failure of the device it opened last.
    return lastOpened_ ? lastOpened_->errorText(code) : standardErrorText(code);
}

}  // namespace mirel
