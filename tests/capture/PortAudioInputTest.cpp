// The sound-card input where no sound server can be reached: the device list, the format probe
// and every refusal must work without one, and must not crash.
#include "capture/PortAudioInput.h"

#include <QObject>
#include <cstdlib>
#include <gtest/gtest.h>
#include <iostream>

#if defined(__unix__)
#include "support/StderrCapture.h"
#endif

using namespace mirel;

namespace {

WaveFormat format(int bits, int rate = 48000)
{
    WaveFormat f;
    f.channels = 2;
    f.samplesPerSec = rate;
    f.bitsPerSample = bits;
    return f;
}

class PortAudioInputWithoutServer : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        // Point the sound-server clients at a socket that does not exist, whatever runs here.
        setenv("PULSE_SERVER", "unix:/nonexistent/mirel-no-server", 1);
    }
};

}  // namespace

TEST_F(PortAudioInputWithoutServer, EveryListedDeviceHasANameAndAnswersTheFormatProbe)
{
    PortAudioInput input;
    const int count = input.deviceCount();
    ASSERT_GE(count, 0);
    for (int id = 0; id < count; ++id) {
        std::string name;
        EXPECT_EQ(input.deviceName(id, name), MMSYSERR_NOERROR) << "device " << id;
        EXPECT_FALSE(name.empty()) << "device " << id;
        // Whatever the answer, it comes without a crash, and a refusal has a text.
        for (int bits : {16, 8}) {
            const MMResult result = input.isFormatSupported(id, format(bits));
            if (result != MMSYSERR_NOERROR) {
                EXPECT_FALSE(input.errorText(result).empty());
            }
        }
    }
}

TEST_F(PortAudioInputWithoutServer, DeviceIdsOutsideTheListAreRefused)
{
    PortAudioInput input;
    const int count = input.deviceCount();
    QObject receiver;
    for (int id : {-1, count, count + 7}) {
        std::string name = "unchanged";
        EXPECT_EQ(input.deviceName(id, name), MMSYSERR_BADDEVICEID) << id;
        EXPECT_EQ(name, "unchanged");
        EXPECT_EQ(input.isFormatSupported(id, format(16)), MMSYSERR_BADDEVICEID) << id;

        std::unique_ptr<WaveInHandle> handle;
        const MMResult result = input.open(handle, id, format(16), &receiver);
        EXPECT_EQ(result, MMSYSERR_BADDEVICEID) << id;
        EXPECT_FALSE(handle) << id;
        EXPECT_EQ(input.errorText(result), standardErrorText(MMSYSERR_BADDEVICEID));
    }
}

TEST_F(PortAudioInputWithoutServer, TwoInputsCanLiveSideBySide)
{
    // PortAudio's initialisation is counted: the second input's end must not end the first's.
    auto first = std::make_unique<PortAudioInput>();
    const int count = first->deviceCount();
    {
        PortAudioInput second;
        EXPECT_EQ(second.deviceCount(), count);
    }
    for (int id = 0; id < count; ++id) {
        std::string name;
        EXPECT_EQ(first->deviceName(id, name), MMSYSERR_NOERROR);
        first->isFormatSupported(id, format(16));
    }
}

#if defined(__unix__)
TEST_F(PortAudioInputWithoutServer, TheSoundLibrariesKeepQuietAndOurOwnMessagesStay)
{
    // ALSA complains about every device it cannot open and JACK about its missing server; none of
    // that may reach the terminal, neither at start-up nor while devices are probed and opened.
    test::StderrCapture terminal;
    ASSERT_TRUE(terminal.active());
    {
        PortAudioInput input;
        QObject receiver;
        for (int id = 0; id < input.deviceCount(); ++id) {
            WaveFormat odd = format(16, 1);
            input.isFormatSupported(id, odd);
            std::unique_ptr<WaveInHandle> handle;
            if (input.open(handle, id, odd, &receiver) == MMSYSERR_NOERROR)
                handle->close();
        }
    }
    EXPECT_EQ(terminal.text(), "");

    test::StderrCapture ours;
    std::cerr << "a message of the program" << std::endl;
    qWarning("a warning through Qt");
    const std::string text = ours.text();
    EXPECT_NE(text.find("a message of the program"), std::string::npos) << text;
    EXPECT_NE(text.find("a warning through Qt"), std::string::npos) << text;
}
#endif
