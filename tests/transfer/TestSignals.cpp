#include "TestSignals.h"

#include <fftw3.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>
#include <span>

namespace mirel::transfer::test {

std::vector<double> WhiteNoise(std::size_t count, double rms, unsigned seed)
{
    std::mt19937 random(seed);
    std::normal_distribution<double> normal(0, rms);
    std::vector<double> out(count);
    for (double& x : out)
        x = normal(random);
    return out;
}

NoisePair PeriodicNoisePair(int period, int repeat, double delay, double rms, unsigned seed)
{
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> phase(0, 2 * std::numbers::pi);
    const int bins = period / 2 + 1;
    std::vector<std::complex<double>> a(static_cast<std::size_t>(bins)), b(a.size());
    // Bins 1 … period/2 − 1 at one level: the Nyquist bin stays empty, as it has no phase to shift.
    for (int k = 1; k < period / 2; ++k) {
        const auto i = static_cast<std::size_t>(k);
        a[i] = std::polar(1.0, phase(random));
        b[i] = a[i] * std::polar(1.0, -2 * std::numbers::pi * k * delay / period);
    }
    const auto inverse = [&](std::vector<std::complex<double>>& spectrum) {
        std::vector<double> one(static_cast<std::size_t>(period));
        fftw_plan plan =
            fftw_plan_dft_c2r_1d(period, reinterpret_cast<fftw_complex*>(spectrum.data()), one.data(), FFTW_ESTIMATE);
        fftw_execute(plan);
        fftw_destroy_plan(plan);
        return one;
    };
    std::vector<double> oneA = inverse(a), oneB = inverse(b);
    double power = 0;
    for (double x : oneA)
        power += x * x;
    const double scale = rms / std::sqrt(power / period);
    NoisePair pair;
    for (int r = 0; r < repeat; ++r)
        for (int n = 0; n < period; ++n) {
            pair.A.push_back(scale * oneA[static_cast<std::size_t>(n)]);
            pair.B.push_back(scale * oneB[static_cast<std::size_t>(n)]);
        }
    return pair;
}

LowPass::LowPass(double cornerHz, double q)
{
    const double w0 = 2 * std::numbers::pi * cornerHz / Rate;
    const double alpha = std::sin(w0) / (2 * q), c = std::cos(w0), a0 = 1 + alpha;
    B0 = (1 - c) / 2 / a0;
    B1 = (1 - c) / a0;
    B2 = B0;
    A1 = -2 * c / a0;
    A2 = (1 - alpha) / a0;
}

std::vector<double> LowPass::Filter(const std::vector<double>& in) const
{
    std::vector<double> out(in.size());
    double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
    for (std::size_t n = 0; n < in.size(); ++n) {
        const double y = B0 * in[n] + B1 * x1 + B2 * x2 - A1 * y1 - A2 * y2;
        x2 = x1;
        x1 = in[n];
        y2 = y1;
        y1 = y;
        out[n] = y;
    }
    return out;
}

std::complex<double> LowPass::Response(double hz) const
{
    const std::complex<double> z1 = std::polar(1.0, -2 * std::numbers::pi * hz / Rate), z2 = z1 * z1;
    return (B0 + B1 * z1 + B2 * z2) / (1.0 + A1 * z1 + A2 * z2);
}

std::vector<std::int16_t> Stereo(const std::vector<double>& a, const std::vector<double>& b)
{
    const auto sample = [](double x) {
        return static_cast<std::int16_t>(std::clamp(std::round(x), -32768.0, 32767.0));
    };
    std::vector<std::int16_t> out;
    out.reserve(2 * a.size());
    for (std::size_t n = 0; n < a.size() && n < b.size(); ++n) {
        out.push_back(sample(a[n]));
        out.push_back(sample(b[n]));
    }
    return out;
}

int FeedInPieces(TransferAnalyser& analyser, const std::vector<std::int16_t>& frames, unsigned seed, int maxBlock)
{
    std::mt19937 random(seed);
    std::uniform_int_distribution<std::size_t> size(1, static_cast<std::size_t>(maxBlock));
    const std::span<const std::int16_t> all(frames);
    int made = 0;
    for (std::size_t at = 0; at < all.size();) {
        const std::size_t take = std::min(2 * size(random), all.size() - at);
        made += analyser.Feed(all.subspan(at, take));
        at += take;
    }
    return made;
}

}  // namespace mirel::transfer::test
