// One device list out of several inputs: numbering, routing and error texts.
#include "capture/CompositeWaveInput.h"
#include "support/FakeWaveInput.h"

#include <QObject>
#include <gtest/gtest.h>

using namespace mirel;
using mirel::test::FakeWaveInput;

TEST(CompositeWaveInput, DevicesAreNumberedAcrossTheInputsInOrder)
{
    auto cards = std::make_unique<FakeWaveInput>();
    cards->devices = {{"Card 1"}, {"Card 2", true, 44100}};
    auto generator = std::make_unique<FakeWaveInput>();
    generator->devices = {{"Generator", true, 100000}};
    FakeWaveInput* cardsSeen = cards.get();
    FakeWaveInput* generatorSeen = generator.get();
    CompositeWaveInput all;
    all.add(std::move(cards));
    all.add(std::move(generator));

    ASSERT_EQ(all.deviceCount(), 3);
    std::string name;
    EXPECT_EQ(all.deviceName(2, name), MMSYSERR_NOERROR);
    EXPECT_EQ(name, "Generator");
    EXPECT_EQ(all.deviceName(3, name), MMSYSERR_BADDEVICEID);
    EXPECT_EQ(all.deviceName(-1, name), MMSYSERR_BADDEVICEID);

    WaveFormat format;
    format.samplesPerSec = 48000;
    EXPECT_EQ(all.isFormatSupported(1, format), WAVERR_BADFORMAT) << "card 2 stops at 44100 Hz";
    EXPECT_EQ(all.isFormatSupported(2, format), MMSYSERR_NOERROR);

    QObject receiver;
    std::unique_ptr<WaveInHandle> handle;
    ASSERT_EQ(all.open(handle, 2, format, &receiver), MMSYSERR_NOERROR);
    EXPECT_EQ(generatorSeen->lastDevice, 0) << "the generator's own device number";
    EXPECT_TRUE(cardsSeen->calls.empty());
    handle->close();

    cardsSeen->openResult = MMSYSERR_ALLOCATED;
    EXPECT_EQ(all.open(handle, 0, format, &receiver), MMSYSERR_ALLOCATED);
    EXPECT_EQ(all.errorText(MMSYSERR_ALLOCATED), standardErrorText(MMSYSERR_ALLOCATED));
}
