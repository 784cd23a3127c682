#pragma once
// The transfer function from channel A (into the device) to channel B (out of it): interleaved
// 16-bit frames come in blocks of any size; every quarter transform length a result is made from
// the last FftLength frames (75 % overlap), averaged, and turned into the per-bin output of the
// band: magnitude, phase and coherence. The last seconds of both channels are kept for finding the
// delay. Everything is allocated when the rate or the transform length changes; feeding and the
// results allocate nothing.

#include "spectrum/RealFft.h"
#include "spectrum/WindowFunctions.h"
#include "transfer/CrossSpectra.h"
#include "transfer/DelayFinder.h"
#include "transfer/OctaveSmoothing.h"
#include "transfer/TransferSettings.h"

#include <cstdint>
#include <span>
#include <vector>

namespace mirel::transfer {

// One bin of the output.
struct TransferPoint {
    double Frequency = 0;    // Hz
    double MagnitudeDb = 0;  // 20·lg|H|
    double PhaseDeg = 0;     // (−180, 180]
    double Coherence = 0;    // γ², 0 … 1
};

class TransferAnalyser {
public:
    // Prepares for `sampleRate` (allocates the kept seconds and plans their transforms) and starts
    // afresh; nothing happens when it is the rate prepared.
    void SetRate(int sampleRate);
    int Rate() const { return rate_; }

    // A new transform length or window starts the average afresh; the averaging applies from the
    // next result; smoothing, band and delay compensation remake the output at once.
    void SetSettings(const TransferSettings& settings);
    const TransferSettings& Settings() const { return settings_; }

    // Forgets the average, the kept frames and the delay found.
    void Reset();
    // The frames fed next do not follow those before (the capture paused): the next result waits
    // for a whole transform of them, and a delay search looks at them only; the average and the
    // delay found stay.
    void Discontinue();

    // Takes interleaved frames A, B, A, B …; returns how many results they completed (the output
    // then shows the last).
    int Feed(std::span<const std::int16_t> interleaved);

    int Results() const { return spectra_.Count(); }  // results in the average
    std::span<const TransferPoint> Points() const { return points_; }

    // Correlates the frames kept since the last gap (the ring: 2.7 s at 48 kHz) over lags up to ±1 s
    // and half the stretch; the result stays for the delay compensation until the next search or
    // reset. While the delay is compensated, the records of A and B are taken its whole samples
    // apart, so that both hold the same stretch of the signal (a delay of d samples would otherwise
    // leave d/N of each record unmatched, which reads as noise); a change of that distance makes the
    // average again from the kept frames, and only the fraction of a sample left is turned out of
    // the phase.
    const DelayResult& FindDelay();
    // Whether 2 s have come since the last gap: the lags of ±1 s need them all, and a shorter
    // stretch would miss a longer delay and report the largest of the rest.
    bool DelaySearchReady() const { return rate_ > 0 && frames_ - keptFrom_ >= 2 * static_cast<std::int64_t>(rate_); }
    const DelayResult& Delay() const { return delay_; }

    // The averaged spectra as the output uses them (smoothed when smoothing is on).
    SpectraView Spectra() { return smoother_.Apply(spectra_.View()); }

private:
    void Prepare();
    bool MakeResult(std::int64_t end);
    void MakePoints();
    // The whole samples B lags A by in the records: those of the delay compensated, else none.
    int WantedShift() const;
    void Realign(int shift);

    int rate_ = 0;
    TransferSettings settings_;
    int fftLength_ = 0;
    spectrum::WindowKind window_ = spectrum::WindowKind::Hann;

    // The kept frames, a ring of a power of two per channel; frame f lies at f & (size − 1).
    std::vector<std::int16_t> ringA_, ringB_;
    std::int64_t frames_ = 0;      // frames taken since the reset
    std::int64_t nextResult_ = 0;  // the frame count at which the next result is due
    std::int64_t keptFrom_ = 0;    // the first frame that follows on without a gap
    int shift_ = 0;                // A's record ends shift_ frames before B's (B's before A's when negative)

    std::vector<std::int16_t> blockA_, blockB_, keptA_, keptB_;
    spectrum::WindowTable windowTable_;
    spectrum::RealFft fftA_, fftB_;
    CrossSpectra spectra_;
    OctaveSmoother smoother_;
    DelayFinder delayFinder_;
    DelayResult delay_;
    std::vector<TransferPoint> points_;
};

}  // namespace mirel::transfer
