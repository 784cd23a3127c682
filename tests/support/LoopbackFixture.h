#pragma once
// The private sound server's loopback for tests that play and record through PortAudio: the output
// player plays into the null sink "nullsink" and the capture records one of its sources. A test
// without the server (scripts/sound-server.sh start runs one) is skipped with the reason.

#include "capture/PortAudioInput.h"
#include "playback/SignalPlayer.h"

#include <QProcess>
#include <QStandardPaths>
#include <QStringList>
#include <cstdlib>
#include <gtest/gtest.h>
#include <memory>

namespace mirel::test {

// pactl's output; `ok` tells whether it ran and succeeded.
inline QString pactl(const QStringList& arguments, bool* ok)
{
    QProcess process;
    process.start("pactl", arguments);
    *ok = process.waitForFinished(5000) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished(1000);
    }
    return QString::fromLocal8Bit(process.readAllStandardOutput());
}

class LoopbackFixture : public ::testing::Test {
protected:
    // Plays into the null sink and records `source`: its monitor, or "nullsink.left", the monitor's
    // left channel on both channels, made again here when a test that reloaded the sink took it
    // along. Skips the test when something is missing; call IsSkipped() after it.
    void openLoopback(const char* source)
    {
        if (QStandardPaths::findExecutable("pactl").isEmpty())
            GTEST_SKIP() << "no sound-server test: 'pactl' is not installed";
        bool ok = false;
        pactl({"info"}, &ok);
        if (!ok)
            GTEST_SKIP() << "no sound-server test: no PulseAudio server answers 'pactl info' "
                            "(scripts/sound-server.sh start runs one)";
        if (!pactl({"list", "short", "sinks"}, &ok).contains("nullsink") || !ok)
            GTEST_SKIP() << "no sound-server test: the server has no sink named 'nullsink'";
        if (QString(source) == "nullsink.left" && !pactl({"list", "short", "sources"}, &ok).contains("nullsink.left"))
            pactl({"load-module", "module-remap-source", "source_name=nullsink.left", "master=nullsink.monitor",
                   "master_channel_map=front-left,front-left", "channel_map=front-left,front-right"},
                  &ok);
        // Set before the sound libraries start.
        setenv("PULSE_SINK", "nullsink", 1);
        setenv("PULSE_SOURCE", source, 1);
        input_ = std::make_unique<PortAudioInput>();
        player_ = std::make_unique<SignalPlayer>();
        for (int id = 0; id < input_->deviceCount() && inputDevice_ < 0; ++id) {
            std::string name;
            if (input_->deviceName(id, name) == MMSYSERR_NOERROR && name == "pulse")
                inputDevice_ = id;
        }
        outputDevice_ = player_->findDevice("pulse");
        if (inputDevice_ < 0 || outputDevice_ < 0)
            GTEST_SKIP() << "no sound-server test: PortAudio lists no 'pulse' input or output";
    }

    std::unique_ptr<PortAudioInput> input_;
    std::unique_ptr<SignalPlayer> player_;
    int inputDevice_ = -1;
    int outputDevice_ = -1;
};

}  // namespace mirel::test
