#pragma once
// One device list made of several inputs, in the order they were added: the sound cards first,
// then the built-in generator or the audio file.

#include "capture/WaveInput.h"

#include <memory>
#include <vector>

namespace mirel {

class CompositeWaveInput : public WaveInput {
public:
    void add(std::unique_ptr<WaveInput> input);

    int deviceCount() override;
    MMResult deviceName(int id, std::string& name) override;
    MMResult isFormatSupported(int id, const WaveFormat& format) override;
    int ownRate(int id) override;
    MMResult open(std::unique_ptr<WaveInHandle>& handle, int id, const WaveFormat& format, QObject* receiver) override;
    std::string errorText(MMResult code) override;

private:
    // The input that holds device `id`, and the device's number within it.
    WaveInput* locate(int id, int& localId);

    std::vector<std::unique_ptr<WaveInput>> inputs_;
    WaveInput* lastOpened_ = nullptr;
};

}  // namespace mirel
