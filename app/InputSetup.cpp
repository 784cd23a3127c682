#include "app/InputSetup.h"

#include "capture/FileInput.h"
#include "capture/GeneratorInput.h"
#include "capture/PortAudioInput.h"

#include <algorithm>

namespace mirel {

std::unique_ptr<CompositeWaveInput> buildInput(const CommandLine& options, std::string& error, bool withSoundCards)
{
    std::unique_ptr<FileInput> file;
    if (!options.inputFile.empty()) {
        file = FileInput::open(options.inputFile, error);
        if (!file)
            return nullptr;
        file->setUnpaced(options.unpaced);
    }

    auto input = std::make_unique<CompositeWaveInput>();
    if (withSoundCards)
        input->add(std::make_unique<PortAudioInput>());
    if (options.generator) {
        auto generator = std::make_unique<GeneratorInput>(options.generatorSpec);
        generator->setUnpaced(options.unpaced);
        input->add(std::move(generator));
    }
    if (file)
        input->add(std::move(file));
    return input;
}

int highestSupportedRate(WaveInput& input, int id)
{
    WaveFormat format;
    format.channels = 2;
    format.bitsPerSample = 16;
    for (int rate = 100000; rate >= 1000; rate -= 1000) {
        format.samplesPerSec = rate;
        if (input.isFormatSupported(id, format) == MMSYSERR_NOERROR)
            return rate;
    }
    return 0;
}

int captureRate(WaveInput& input, int id)
{
    // A recording within reach is taken at its own rate, sample for sample.
    const int own = input.ownRate(id);
    if (own > 0 && own <= MaxCaptureRate && input.isFormatSupported(id, WaveFormat{2, own, 16}) == MMSYSERR_NOERROR)
        return own;
    return std::min(highestSupportedRate(input, id), MaxCaptureRate);
}

std::string deviceListText(WaveInput& input)
{
    std::string text;
    const int count = input.deviceCount();
    for (int id = 0; id < count; ++id) {
        std::string name;
        if (input.deviceName(id, name) != MMSYSERR_NOERROR)
            continue;
        const int rate = captureRate(input, id);
        text += std::to_string(id + 1) + ": " + name + "  " +
                (rate > 0 ? std::to_string(rate) + " Гц" : std::string("запись невозможна")) + "\n";
    }
    return text;
}

std::string noSoundCardText()
{
    return "mirel: звуковая карта не обнаружена; без нее можно запустить с --demo (встроенный генератор) или "
           "--input FILE (звуковой файл)\n";
}

}  // namespace mirel
