// The spectrum readings' estimators: the peak's frequency from three bins, the components fitted
// together, and the noise with their whole leakage taken out.
#include "spectrum/SpectrumReadings.h"
#include "spectrum/SpectrumResidual.h"

#include "common/WideVectors.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace mirel::spectrum {

namespace {

using Complex = std::complex<double>;
constexpr double Pi = std::numbers::pi;
constexpr double CountsPerVolt = 32768;  // the capture's full scale, as the display's norm has it
constexpr int MaxHarmonic = 10;
constexpr int FitBins = 3;  // bins each component is fitted on: its nearest bin and both neighbours
constexpr int MaxColumns = 2 * MaxHarmonic;
constexpr int MaxRows = 2 * FitBins * MaxHarmonic;
// Components below a quarter of a count are only left out, not subtracted: the leakage outside their
// own bins holds at most 14 % of their power, below a twentieth of the 16-bit quantisation noise.
constexpr double SubtractedCounts = 0.25;

// Σ a[i]·b[i] over i = from … to − 1, in four runs that vectorise; a and b hold zeros for at least
// three more, so that the runs need no tail.
[[gnu::always_inline]] inline double Dot(const double* a, const double* b, int from, int to)
{
    double run[4] = {};
    for (int i = from; i < to; i += 4)
        for (int r = 0; r < 4; ++r)
            run[r] += a[i + r] * b[i + r];
    return (run[0] + run[2]) + (run[1] + run[3]);
}

// Linear least squares by Householder reflections on fixed arrays: A[column][row], b per row, each
// with room for the zeros Dot runs over.
struct LeastSquares {
    static constexpr int Padding = 3;
    double A[MaxColumns][MaxRows + Padding];
    double B[MaxRows + Padding];
    int Rows = 0;
    int Columns = 0;

    // The solution into x[0 … Columns − 1]; false when the columns are (nearly) dependent.
    bool Solve(double* x)
    {
        for (int i = Rows; i < Rows + Padding; ++i) {
            for (int c = 0; c < Columns; ++c)
                A[c][i] = 0;
            B[i] = 0;
        }
        double diagonal[MaxColumns];
        for (int j = 0; j < Columns; ++j) {
            const double square = Dot(A[j], A[j], j, Rows);
            const double norm = std::sqrt(square);
            const double alpha = A[j][j] > 0 ? -norm : norm;
            diagonal[j] = alpha;
            if (norm == 0)
                return false;
            // The reflection's vector is the column with alpha taken off its first element.
            const double length = 2 * (square - A[j][j] * alpha);
            A[j][j] -= alpha;
            const auto reflect = [&](double* column) {
                const double f = 2 * Dot(A[j], column, j, Rows) / length;
                for (int i = j; i < Rows; ++i)
                    column[i] -= f * A[j][i];
            };
            for (int c = j + 1; c < Columns; ++c)
                reflect(A[c]);
            reflect(B);
        }
        double largest = 0;
        for (int j = 0; j < Columns; ++j)
            largest = std::max(largest, std::fabs(diagonal[j]));
        for (int j = Columns - 1; j >= 0; --j) {
            if (std::fabs(diagonal[j]) <= 1e-12 * largest)
                return false;
            double sum = B[j];
            for (int c = j + 1; c < Columns; ++c)
                sum -= A[c][j] * x[c];
            x[j] = sum / diagonal[j];
        }
        return true;
    }
};

// D(2πd/N) / N: one complex exponential's bin at d bins from it, of a block of n points.
Complex Kernel(double d, int n)
{
    const double below = n * std::sin(Pi * d / n);
    const double ratio =
        std::fabs(below) > 1e-9 ? std::sin(Pi * d) / below : std::cos(Pi * d) / std::cos(Pi * d / n);  // limit
    return std::polar(ratio, Pi * d * (n - 1) / n);
}

// The same at bin k for a component at bin `at`, given `scale` = e^(iπ·at)·sin(π·at) / N: since
// e^(iπd)·sin(πd) does not change with the whole part of d and e^(−ix) / sin x = cot x − i, only
// cot x is left per bin, x = a − b with a = π·at / N and b = πk / N, from their cosines and sines.
Complex KernelAt(double at, int k, int n, Complex scale, Complex a, Complex b)
{
    const double sine = a.imag() * b.real() - a.real() * b.imag();
    const double cosine = a.real() * b.real() + a.imag() * b.imag();
    if (!(std::fabs(sine) > 1e-9))
        return Kernel(at - k, n);
    // scale · (cot − i), written out: the product of std::complex checks for infinities on every call.
    const double cot = cosine / sine;
    return {scale.real() * cot + scale.imag(), scale.imag() * cot - scale.real()};
}

Complex KernelScale(double at, int n)
{
    return std::polar(std::sin(Pi * at) / n, Pi * at);
}

// The first of the FitBins bins around fractional bin `at`, inside 1 … half.
int FitStart(double at, int half)
{
    return std::clamp(static_cast<int>(std::lround(at)) - 1, 1, half - FitBins + 1);
}

// The frequency in bins of the component whose largest bin is m, from x[0 … 2], the bins from
// `first` on: the least-squares solution of 2·X(k)·(cos θk − cos θm − d) = P·(cos θk − cos θm) + S +
// i·P·sin θk, with S = P·cos θm − Q, so that cos ω = cos θm + d.
double PeakBin(const Complex* x, int first, int m, int n)
{
    const double step = 2 * Pi / n;
    const double scale = 1 / std::abs(x[m - first]);
    LeastSquares ls;
    ls.Columns = 3;
    for (int k = first; k < first + FitBins; ++k) {
        const Complex v = x[k - first] * scale;
        const double apart = -2 * std::sin(step * (k + m) / 2) * std::sin(step * (k - m) / 2);  // cos θk − cos θm
        const int re = ls.Rows++, im = ls.Rows++;
        ls.A[0][re] = 2 * v.real();
        ls.A[1][re] = apart;
        ls.A[2][re] = 1;
        ls.B[re] = 2 * v.real() * apart;
        ls.A[0][im] = 2 * v.imag();
        ls.A[1][im] = std::sin(step * k);
        ls.A[2][im] = 0;
        ls.B[im] = 2 * v.imag() * apart;
    }
    double solution[3];
    if (!ls.Solve(solution))
        return m;
    const double cosine = std::clamp(std::cos(step * m) + solution[0], -1.0, 1.0);
    return std::acos(cosine) / step;
}

// Bins first … first + FitBins − 1 of component h (1 for the fundamental at bin ν) of complex
// amplitude a, into x[], given e^(iπk/N) of each of those bins.
void ComponentBins(Complex a, int h, double nu, int first, int n, const Complex* binAngles, Complex* x)
{
    const double at = h * nu;
    const Complex plusScale = KernelScale(at, n), minusScale = KernelScale(-at, n);
    const Complex angle = std::polar(1.0, Pi * at / n);
    for (int i = 0; i < FitBins; ++i) {
        const int k = first + i;
        x[i] =
            static_cast<double>(n) * (a * KernelAt(at, k, n, plusScale, angle, binAngles[i]) +
                                      std::conj(a) * KernelAt(-at, k, n, minusScale, std::conj(angle), binAngles[i]));
    }
}

// Complex amplitudes a of the fundamental at bin ν and its harmonics 2 … `harmonics`, fitted
// together: X(k) / N = Σ a·D(ω − θk) / N + ā·D(−ω − θk) / N over the bins around each. The bins
// used go to fitted[], one per row pair.
MIREL_WIDE_VECTORS bool FitComponents(std::span<const Complex> bins, double nu, int harmonics, Complex* amplitude,
                                      int* fitted)
{
    const int half = static_cast<int>(bins.size()) - 1;
    const int n = 2 * half;
    Complex plusScale[MaxHarmonic], minusScale[MaxHarmonic], angle[MaxHarmonic];
    for (int c = 1; c <= harmonics; ++c) {
        plusScale[c - 1] = KernelScale(c * nu, n);
        minusScale[c - 1] = KernelScale(-c * nu, n);
        angle[c - 1] = std::polar(1.0, Pi * c * nu / n);
    }
    LeastSquares ls;
    ls.Columns = 2 * harmonics;
    for (int h = 1; h <= harmonics; ++h) {
        const int first = FitStart(h * nu, half);
        for (int k = first; k < first + FitBins; ++k) {
            fitted[ls.Rows / 2] = k;
            const Complex x = bins[static_cast<std::size_t>(k)] / static_cast<double>(n);
            const int re = ls.Rows++, im = ls.Rows++;
            const Complex bin = std::polar(1.0, Pi * k / n);
            for (int c = 1; c <= harmonics; ++c) {
                const Complex plus = KernelAt(c * nu, k, n, plusScale[c - 1], angle[c - 1], bin);
                const Complex minus = KernelAt(-c * nu, k, n, minusScale[c - 1], std::conj(angle[c - 1]), bin);
                const Complex real = plus + minus, imaginary = Complex(0, 1) * (plus - minus);
                ls.A[2 * c - 2][re] = real.real();
                ls.A[2 * c - 2][im] = real.imag();
                ls.A[2 * c - 1][re] = imaginary.real();
                ls.A[2 * c - 1][im] = imaginary.imag();
            }
            ls.B[re] = x.real();
            ls.B[im] = x.imag();
        }
    }
    double solution[MaxColumns];
    if (!ls.Solve(solution))
        return false;
    for (int h = 0; h < harmonics; ++h)
        amplitude[h] = {solution[2 * h], solution[2 * h + 1]};
    return true;
}

}  // namespace

SpectrumReadings MeasureSpectrum(std::span<const Complex> bins, int sampleRate)
{
    SpectrumReadings readings;
    const int half = static_cast<int>(bins.size()) - 1;
    const int n = 2 * half;
    if (half < 4 || sampleRate <= 0)
        return readings;
    const auto [m, largest] = LargestBin(bins);
    if (largest == 0)
        return readings;
    const int first = FitStart(m, half);
    Complex near[FitBins];
    std::copy_n(bins.begin() + first, FitBins, near);
    double nu = PeakBin(near, first, m, n);

    int harmonics = 1;
    if (nu >= 2)
        while (harmonics < MaxHarmonic && (harmonics + 1) * nu < half)
            ++harmonics;
    Complex amplitude[MaxHarmonic];
    int fitted[MaxHarmonic * FitBins];
    if (!FitComponents(bins, nu, harmonics, amplitude, fitted))
        return readings;
    // Strong harmonics leak into the fundamental's bins: once more without them, unless their share
    // there is too small to move the frequency (a millionth of the largest bin moves it by about a
    // millionth of a bin, 1.5 µHz at 32768 points).
    double leaked = 0;
    Complex binAngles[FitBins];
    for (int i = 0; i < FitBins; ++i)
        binAngles[i] = std::polar(1.0, Pi * (first + i) / n);
    for (int h = 2; h <= harmonics; ++h) {
        Complex leak[FitBins];
        ComponentBins(amplitude[h - 1], h, nu, first, n, binAngles, leak);
        for (int i = 0; i < FitBins; ++i) {
            near[i] -= leak[i];
            leaked = std::max(leaked, std::abs(leak[i]));
        }
    }
    if (leaked > 1e-6 * std::sqrt(largest)) {
        nu = PeakBin(near, first, m, n);
        if (!FitComponents(bins, nu, harmonics, amplitude, fitted))
            return readings;
    }
    readings.PeakFrequency = nu * sampleRate / n;
    int fittedCount = harmonics * FitBins;
    double distortion = 0;
    for (int h = 1; h < harmonics; ++h)
        distortion += std::norm(amplitude[h]);
    const double fundamental = 2 * std::abs(amplitude[0]);  // counts
    readings.PeakAmplitude = fundamental / CountsPerVolt;
    if (harmonics > 1)
        readings.ThdPercent = 100 * 2 * std::sqrt(distortion) / fundamental;

    // Noise: every bin but DC and the fitted ones, less the components' whole leakage.
    ComponentLeak leaks[MaxHarmonic];
    int leakCount = 0;
    for (int h = 0; h < harmonics; ++h) {
        if (2 * std::abs(amplitude[h]) < SubtractedCounts)
            continue;
        const double omega = 2 * Pi * (h + 1) * nu / n;
        const Complex c = amplitude[h] * (1.0 - std::polar(1.0, omega * n));
        const double p = 2 * c.real(), q = 2 * (c * std::polar(1.0, -omega)).real(), w = std::cos(omega);
        leaks[leakCount++] = {p, p * w - q, w};
    }
    std::sort(fitted, fitted + fittedCount);
    fittedCount = static_cast<int>(std::unique(fitted, fitted + fittedCount) - fitted);
    const double noise = ResidualPower(bins, {leaks, static_cast<std::size_t>(leakCount)},
                                       {fitted, static_cast<std::size_t>(fittedCount)});
    const int counted = half - fittedCount;
    // A bin of white noise of mean square σ² holds N·σ² on average; the sine's mean square is A² / 2.
    if (counted > 0)
        readings.SnrDb = 10 * std::log10(fundamental * fundamental / 2 / (noise / counted / n));
    return readings;
}

}  // namespace mirel::spectrum
