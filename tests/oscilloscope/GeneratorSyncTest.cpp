// The generator's sines through the oscilloscope's trigger: every block of a steady sine starts its
// picture at the same phase, in every synchronisation mode that follows that channel.
#include "capture/GeneratorInput.h"
#include "capture/TWaveRecorder.h"
#include "oscilloscope/OscScales.h"
#include "oscilloscope/Synchronize.h"
#include "support/BlockCollector.h"

#include <gtest/gtest.h>
#include <ostream>
#include <set>
#include <string>

namespace mirel::osc {
namespace {

constexpr int Rate = 48000;
// Not a whole number of periods of either sine: each block starts at another phase.
constexpr int Frames = BlockLeadIn + TriggerWindow + 461;
constexpr int Blocks = 12;

struct SyncCase {
    const char* Spec;  // "" for the demo's default signals
    const char* Mode;
    bool FollowsA, FollowsB;  // the channels whose pictures start at a fixed phase of their signal
};

void PrintTo(const SyncCase& c, std::ostream* out)
{
    *out << '"' << (*c.Spec ? c.Spec : "demo") << "\" in mode \"" << c.Mode << '"';
}

class GeneratorSync : public ::testing::TestWithParam<SyncCase> {};

// Where the picture of `channel` starts in the signal: the first shown frame's phase, in frames
// since the start of the stream, modulo the channel's period (whole frequencies only).
int startPhase(int block, int trigger, double frequency)
{
    const long long frame = static_cast<long long>(block) * Frames + BlockLeadIn + trigger;
    return static_cast<int>(frame * static_cast<long long>(frequency) % Rate);
}

TEST_P(GeneratorSync, EveryBlockStartsAtTheSamePhase)
{
    const SyncCase& c = GetParam();
    GeneratorSpec spec = GeneratorSpec::defaults();
    std::string error;
    if (*c.Spec) {
        ASSERT_TRUE(parseGeneratorSpec(c.Spec, spec, error)) << error;
    }
    GeneratorInput input(spec);
    input.setUnpaced(true);
    TWaveRecorder recorder(input);
    test::BlockCollector window(recorder);
    ASSERT_TRUE(recorder.StartRecording(0, 2, Rate, 16, &window, Frames, &window.buffer)) << recorder.ErrorText;
    const bool allIn = window.waitForBlocks(Blocks, 10000);
    recorder.StopRecording();
    ASSERT_TRUE(allIn);

    std::set<int> phasesA, phasesB;
    for (int k = 0; k < Blocks; ++k) {
        ASSERT_EQ(window.lostBefore[static_cast<size_t>(k)], 0) << "the blocks follow each other";
        const TriggerOffsets t = Synchronize(c.Mode, BlockView(window.blocks[static_cast<size_t>(k)]));
        if (c.FollowsA)
            phasesA.insert(startPhase(k, t.TriggerA, spec.a.frequency));
        if (c.FollowsB)
            phasesB.insert(startPhase(k, t.TriggerB, spec.b.frequency));
    }
    EXPECT_LE(phasesA.size(), 1u) << "channel A's picture starts at " << phasesA.size() << " phases";
    EXPECT_LE(phasesB.size(), 1u) << "channel B's picture starts at " << phasesB.size() << " phases";
}

constexpr const char* Sines = "A=sine:1000:0.5,B=sine:3000:0.25";
INSTANTIATE_TEST_SUITE_P(Modes, GeneratorSync,
                         ::testing::Values(SyncCase{Sines, "AB", true, true}, SyncCase{Sines, "A", true, false},
                                           SyncCase{Sines, "B", false, true}, SyncCase{Sines, "2POA", true, true},
                                           SyncCase{Sines, "2POB", false, true}, SyncCase{"", "AB", true, false},
                                           SyncCase{"", "A", true, false}, SyncCase{"", "2POA", true, false}));

}  // namespace
}  // namespace mirel::osc
