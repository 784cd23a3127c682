#pragma once
// The generator's signals as sample values, for the pretend input and for the sound card's output
// alike. Everything a signal needs (tables, filter coefficients) is prepared when a source is made;
// rendering then allocates nothing, takes no lock and makes no system call, so that it can run in
// an audio callback.

#include "capture/SignalSpec.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace mirel {

// One channel's signal at one sample rate.
class SignalSource {
public:
    // May allocate and take a few milliseconds (the pink tables): made off the audio thread, on
    // the thread that makes the program's other FFTW plans (the window's or the command's), as
    // FFTW's planner is not thread-safe.
    SignalSource(const SignalSpec& spec, int sampleRate, std::uint32_t seed);
    ~SignalSource();
    SignalSource(SignalSource&&) noexcept;
    SignalSource& operator=(SignalSource&&) noexcept;

    // The values in volts of frames first, first + 1, ... first + count - 1 of a stream that runs at
    // the source's rate, written to out[0], out[stride], ... Frames count from the stream's start;
    // the periodic signals (sine, square, pulse, sweep, the pink tables) depend only on the frame,
    // so a source made later with another level continues the same waveform. The Gaussian noise
    // (`noise`, and the added noise) draws from the source's own random sequence.
    void render(std::int64_t first, int count, double* out, int stride);

    const SignalSpec& spec() const { return spec_; }
    int sampleRate() const { return rate_; }

private:
    SignalSpec spec_;
    int rate_;
    struct State;
    std::unique_ptr<State> state_;
};

// Both channels: A on the left, B on the right.
class StereoSource {
public:
    StereoSource(const GeneratorSpec& spec, int sampleRate, std::uint32_t seed);

    // Interleaved frames A, B, A, B ... of frames first .. first + count - 1.
    void render(std::int64_t first, int count, double* interleaved);

    const GeneratorSpec& spec() const { return spec_; }
    int sampleRate() const { return a_.sampleRate(); }

private:
    GeneratorSpec spec_;
    SignalSource a_;
    SignalSource b_;
};

}  // namespace mirel
