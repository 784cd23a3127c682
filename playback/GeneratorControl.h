#pragma once
// The generator as the window sees it: one for the program's life, behind the toolbar's generator
// buttons and the dialog «Генератор». It makes its output player only when first used, plays and
// stops it, watches it while it plays (underruns, a lost output device, which it reopens about
// once a second) and stops it when the program ends.

#include "playback/SignalPlayer.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>
#include <cstdint>
#include <memory>
#include <vector>

namespace mirel {

class GeneratorControl : public QObject {
    Q_OBJECT

public:
    static constexpr int PollIntervalMs = 500;    // the player is watched this often while on
    static constexpr int RetryIntervalMs = 1000;  // a lost device is reopened this often

    explicit GeneratorControl(QObject* parent = nullptr);
    ~GeneratorControl() override;  // stops playing

    // The output devices, default first; the player is made at the first call.
    const std::vector<OutputDevice>& devices();
    // The device to play on, an index into devices(); while on, the generator moves to it at once.
    int device() const { return device_; }
    void setDevice(int device);

    // What both channels play: a sine of 1000 Hz, 0.5 V on A and on B until set. While on, a new
    // signal is heard from the player's next block.
    const GeneratorSpec& spec() const { return spec_; }
    void setSpec(const GeneratorSpec& spec);
    // The dialog's «Тот же сигнал на оба канала», kept between its openings.
    bool sameOnBoth() const { return sameOnBoth_; }
    void setSameOnBoth(bool same) { sameOnBoth_ = same; }
    // The dialog's unit of each channel's level (0 = A, 1 = B): dBFS, else volts.
    bool levelInDbfs(int channel) const { return dbfs_[channel == 0 ? 0 : 1]; }
    void setLevelInDbfs(int channel, bool dbfs) { dbfs_[channel == 0 ? 0 : 1] = dbfs; }

    // The rate to play at when the device offers it: the capture rate of the chosen input. A change
    // while on restarts the output at the new rate.
    int preferredRate() const { return preferredRate_; }
    void setPreferredRate(int rate);

    // Starts playing; false (and failed() with the reason) when the device cannot play.
    bool play();
    void stop();
    // Switched on by the user: playing, or waiting for its lost device to come back.
    bool isOn() const { return on_; }
    // On, but the output device went away; reopened about once a second.
    bool lost() const { return lost_; }
    bool playing() const;
    int sampleRate() const;
    std::int64_t underruns() const;

    // The generator's state in a sentence: off, playing (device, rate, underruns) or lost.
    QString stateText() const;

    // The player, or null while the generator was never used.
    SignalPlayer* player() const { return player_.get(); }

signals:
    // On, off, lost or back, a new underrun count, a new device or signal.
    void changed();
    // The device could not play; the generator is off.
    void failed(const QString& message);

private:
    SignalPlayer& ensurePlayer();
    bool startPlayer(QString& error);
    // Plays again with a new device or rate, if on.
    void restart();
    void poll();

    std::unique_ptr<SignalPlayer> player_;
    GeneratorSpec spec_;
    int device_ = 0;
    int preferredRate_ = 48000;
    bool sameOnBoth_ = true;
    bool dbfs_[2] = {false, false};
    bool on_ = false;
    bool lost_ = false;
    std::int64_t shownUnderruns_ = 0;
    QTimer poll_;
    QElapsedTimer sinceAttempt_;  // since the last attempt to reopen a lost device
};

}  // namespace mirel
