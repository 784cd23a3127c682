#pragma once
// One block of the built-in generator as a window receives it: the generator opened unpaced as an
// input device, captured through the engine into the window's buffer, the first block copied out.

#include "capture/GeneratorInput.h"
#include "capture/TWaveRecorder.h"
#include "support/BlockCollector.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace mirel::test {

// `spec` in the command line's form (`A=sine:1000:0.5,B=silence`); empty on a failure, which is
// reported to the test.
inline std::vector<std::uint8_t> GeneratorBlock(const std::string& spec, int sampleRate, int bitsPerSample, int frames)
{
    GeneratorSpec generator = GeneratorSpec::defaults();
    std::string error;
    if (!parseGeneratorSpec(spec, generator, error)) {
        ADD_FAILURE() << error;
        return {};
    }
    GeneratorInput input(generator);
    input.setUnpaced(true);
    TWaveRecorder recorder(input);
    BlockCollector window(recorder);
    if (!recorder.StartRecording(0, 2, sampleRate, bitsPerSample, &window, frames, &window.buffer)) {
        ADD_FAILURE() << recorder.ErrorText;
        return {};
    }
    const bool in = window.waitForBlocks(1, 10000);
    recorder.StopRecording();
    if (!in) {
        ADD_FAILURE() << "no block from the generator";
        return {};
    }
    return window.blocks.front();
}

}  // namespace mirel::test
