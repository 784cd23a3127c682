#include "InputSetup.h"

#include "FileInput.h"
#include "GeneratorInput.h"
#include "PortAudioInput.h"

namespace mirel {

std::unique_ptr<CompositeWaveInput> buildInput(const CommandLine& options, std::string& error,
                                               bool withSoundCards)
{
    std::unique_ptr<FileInput> file;
    if (!options.inputFile.empty()) {
        file = FileInput::open(options.inputFile, error);
        if (!file)
            return nullptr;
    }

    auto input = std::make_unique<CompositeWaveInput>();
    if (withSoundCards)
        input->add(std::make_unique<PortAudioInput>());
    if (options.generator)
        input->add(std::make_unique<GeneratorInput>(options.generatorSpec));
    if (file)
        input->add(std::move(file));
    return input;
}

}  // namespace mirel
