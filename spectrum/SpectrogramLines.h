#pragma once
// The spectrogram's lines: the spectra of both channels at evenly spaced moments of a contiguous
// input, in decibels per shown bin, the newest ones kept in a ring, and their data as CSV.

#include "spectrum/RealFft.h"
#include "spectrum/SpectrumBins.h"
#include "spectrum/SpectrumView.h"
#include "spectrum/WindowFunctions.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace mirel::spectrum {

struct SpectrogramSettings {
    int SampleRate = 48000;
    int FftLength = 2048;     // a power of two, 256 … 65536
    int LinesPerSecond = 25;  // 10, 25, 50 or 100
    WindowKind Window = WindowKind::Rectangular;
    bool AmplitudeMode = true;  // dBV of a sine's peak; otherwise dB re 1 V², as the spectrum reads
    int LowFrequency = 0;       // the band, shown as the spectrum shows it
    int HighFrequency = 24000;
    bool LogFrequency = false;  // the logarithmic axis shows one more bin of a band from 0 Hz
    int Capacity = 0;           // lines kept: at least the plot's height

    bool operator==(const SpectrogramSettings&) const = default;
};

// The frequency axis of a stripe: the band on the spectrum's axis, linear or logarithmic.
struct SpectrogramAxis {
    int SampleRate = 48000;
    int FftLength = 2048;
    int LowFrequency = 0;
    int HighFrequency = 24000;
    bool Logarithmic = false;

    bool operator==(const SpectrogramAxis&) const = default;
};

// Line k (k = 0, 1, …) is the transform of the FftLength samples that end at input sample
// E_k = FftLength + floor(k × SampleRate / LinesPerSecond), of each channel; its time is
// k / LinesPerSecond seconds. Nothing is padded: lines overlap when the transform is longer than
// their step. Allocates only in Configure().
class SpectrogramLines {
public:
    // Takes `settings` and starts again from no input, unless they are those already taken.
    // Changing only the capacity keeps the newest lines that fit, changing only the axis keeps
    // them all. Returns whether the lines were dropped.
    bool Configure(const SpectrogramSettings& settings);
    const SpectrogramSettings& Settings() const { return settings_; }
    // The axis of the shown bins, for the pictures.
    SpectrogramAxis Axis() const;
    // Drops the lines and the input's history: the next line is line 0, ending FftLength samples on.
    void Reset();

    // Takes the next stretch of both channels' input, of any length (b may be shorter: its missing
    // samples count as 0) and makes every line that falls due within it. Returns how many.
    int Feed(std::span<const std::int16_t> a, std::span<const std::int16_t> b);
    int LastFed() const { return lastFed_; }

    // The shown bins, FirstBin + 1 … LastBin − 1, as the spectrum shows them (PixelsPerBin aside).
    const BinRange& Bins() const { return shown_; }
    int BinCount() const { return shown_.Count(); }
    double BinFrequency(int index) const;  // Hz of shown bin `index`, 0 … BinCount() − 1

    // The stored lines, age 0 the newest.
    int Count() const { return count_; }
    // Channel 0 (A) or 1 (B): the level of each shown bin in dB, −∞ where there is none.
    std::span<const float> LineDb(int channel, int age) const;
    std::int64_t LineNumber(int age) const;  // k
    double LineTime(int age) const;          // k / LinesPerSecond, in seconds
    std::int64_t LineEnd(int age) const;     // E_k: the samples of the input up to the line's end

    // The stored lines as text: a header `channel,time_s,<Hz of each shown bin>`, then for each
    // line, oldest first, a row per shown channel: its letter, the seconds since the oldest line,
    // and the levels in dB; numbers as the other CSV files write them ("-inf" for silence), lines
    // ended with CR LF.
    std::string Csv(bool showA, bool showB) const;

private:
    bool Valid() const;
    std::int64_t EndOf(std::int64_t line) const;
    void Resize(int capacity);
    void MakeLine();
    std::size_t SlotOf(int age) const;  // index of the age's first float in db_

    SpectrogramSettings settings_;
    bool configured_ = false;
    bool ready_ = false;       // the settings make lines
    BinRange stored_, shown_;  // stored_ holds shown_ on either axis
    int stride_ = 0;           // floats per channel of a line
    RealFft fft_;
    WindowTable window_;
    std::vector<std::int16_t> history_;  // per channel the last FftLength samples, twice
    int position_ = 0;                   // where the next sample goes in each channel's history
    std::int64_t fed_ = 0;               // samples of each channel so far
    std::int64_t next_ = 0;              // the line that falls due next
    std::vector<float> db_;              // capacity × 2 channels × stride_
    std::vector<std::int64_t> numbers_;  // k of each slot
    int newest_ = -1;                    // slot of age 0
    int count_ = 0;
    int lastFed_ = 0;
};

}  // namespace mirel::spectrum
