#include "spectrum/SpectrumReadings.h"

#include "common/ValueFormat.h"

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
constexpr double SubtractedShare = 1e-5;  // of the fundamental: smaller components are only left out

// Linear least squares by Householder reflections on fixed arrays: A[column][row], b per row.
struct LeastSquares {
    double A[MaxColumns][MaxRows];
    double B[MaxRows];
    int Rows = 0;
    int Columns = 0;

    // The solution into x[0 … Columns − 1]; false when the columns are (nearly) dependent.
    bool Solve(double* x)
    {
        double diagonal[MaxColumns];
        for (int j = 0; j < Columns; ++j) {
            double norm = 0;
            for (int i = j; i < Rows; ++i)
                norm += A[j][i] * A[j][i];
            norm = std::sqrt(norm);
            const double alpha = A[j][j] > 0 ? -norm : norm;
            diagonal[j] = alpha;
            if (norm == 0)
                return false;
            A[j][j] -= alpha;
            double length = 0;
            for (int i = j; i < Rows; ++i)
                length += A[j][i] * A[j][i];
            const auto reflect = [&](double* column) {
                double dot = 0;
                for (int i = j; i < Rows; ++i)
                    dot += A[j][i] * column[i];
                const double f = 2 * dot / length;
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

// Bin k of component h (1 for the fundamental at bin ν) of complex amplitude a.
Complex ComponentBin(Complex a, int h, double nu, int k, int n)
{
    return static_cast<double>(n) * (a * Kernel(h * nu - k, n) + std::conj(a) * Kernel(-h * nu - k, n));
}

// Complex amplitudes a of the fundamental at bin ν and its harmonics 2 … `harmonics`, fitted
// together: X(k) / N = Σ a·D(ω − θk) / N + ā·D(−ω − θk) / N over the bins around each. The bins
// used go to fitted[], one per row pair.
bool FitComponents(std::span<const Complex> bins, double nu, int harmonics, Complex* amplitude, int* fitted)
{
    const int half = static_cast<int>(bins.size()) - 1;
    const int n = 2 * half;
    LeastSquares ls;
    ls.Columns = 2 * harmonics;
    for (int h = 1; h <= harmonics; ++h) {
        const int first = FitStart(h * nu, half);
        for (int k = first; k < first + FitBins; ++k) {
            fitted[ls.Rows / 2] = k;
            const Complex x = bins[static_cast<std::size_t>(k)] / static_cast<double>(n);
            const int re = ls.Rows++, im = ls.Rows++;
            for (int c = 1; c <= harmonics; ++c) {
                const Complex plus = Kernel(c * nu - k, n), minus = Kernel(-c * nu - k, n);
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
    const auto at = [&](int k) { return bins[static_cast<std::size_t>(k)]; };

    int m = 1;
    for (int k = 2; k <= half; ++k)
        if (std::norm(at(k)) > std::norm(at(m)))
            m = k;
    if (std::norm(at(m)) == 0)
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
    if (harmonics > 1) {
        // Strong harmonics leak into the fundamental's bins: once more without them.
        for (int k = first; k < first + FitBins; ++k)
            for (int h = 2; h <= harmonics; ++h)
                near[k - first] -= ComponentBin(amplitude[h - 1], h, nu, k, n);
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

    // Noise: every bin but DC and the fitted ones, less the components' whole leakage
    // (P·e^(iθk) − Q) / (2·(cos θk − cos ω)).
    struct Leak {
        double P, Q, Cosine;
    } leaks[MaxHarmonic];
    int leakCount = 0;
    for (int h = 0; h < harmonics; ++h) {
        if (2 * std::abs(amplitude[h]) < SubtractedShare * fundamental)
            continue;
        const double omega = 2 * Pi * (h + 1) * nu / n;
        const Complex c = amplitude[h] * (1.0 - std::polar(1.0, omega * n));
        leaks[leakCount++] = {2 * c.real(), 2 * (c * std::polar(1.0, -omega)).real(), std::cos(omega)};
    }
    std::sort(fitted, fitted + fittedCount);
    fittedCount = static_cast<int>(std::unique(fitted, fitted + fittedCount) - fitted);
    const double step = 2 * Pi / n;
    const Complex turn = std::polar(1.0, step);
    Complex e;  // e^(iθk), anchored every 256 bins so that rounding cannot build up
    double noise = 0;
    int counted = 0;
    for (int k = 1, next = 0; k <= half; ++k) {
        e = k % 256 == 1 ? std::polar(1.0, step * k) : e * turn;
        if (next < fittedCount && fitted[next] == k) {
            ++next;
            continue;
        }
        Complex rest = at(k);
        for (int i = 0; i < leakCount; ++i)
            rest -= (leaks[i].P * e - leaks[i].Q) / (2 * (e.real() - leaks[i].Cosine));
        noise += std::norm(rest);
        ++counted;
    }
    // A bin of white noise of mean square σ² holds N·σ² on average; the sine's mean square is A² / 2.
    if (counted > 0)
        readings.SnrDb = 10 * std::log10(fundamental * fundamental / 2 / (noise / counted / n));
    return readings;
}

namespace {

// `value` to three significant digits with the engineering prefix that puts it between 1 and
// 1000 (when `prefixed`), then `unit`; «—» when it was not measured.
std::string ReadingText(double value, const char* unit, bool prefixed)
{
    if (!std::isfinite(value))
        return "—";
    const double size = std::fabs(value);
    int exponent = 0;
    if (prefixed && size >= 1e-12)
        exponent = std::clamp(static_cast<int>(std::floor(std::log10(size) / 3)) * 3, -12, 9);
    double units = size / std::pow(10.0, exponent);
    const double scale = units >= 100 ? 1 : units >= 10 ? 10 : 100;
    units = std::round(units * scale) / scale;
    if (prefixed && units >= 1000 && exponent < 9) {
        units /= 1000;
        exponent += 3;
    }
    return ValueToStr(exponent, std::copysign(units, value) * std::pow(10.0, exponent)).append(unit);
}

}  // namespace

std::vector<SpectrumReadingLine> ReadingLines(const SpectrumReadings& r, bool amplitudeMode)
{
    const double a = r.PeakAmplitude;
    return {
        {"Частота", ReadingText(r.PeakFrequency, "Гц", true)},
        amplitudeMode ? SpectrumReadingLine{"Амплитуда", ReadingText(a, "В", true)}
                      : SpectrumReadingLine{"Мощность", ReadingText(a * a, "Вт", true)},
        {"КНИ", ReadingText(r.ThdPercent, "%", false)},
        {"С/Ш", ReadingText(r.SnrDb, "дБ", false)},
    };
}

}  // namespace mirel::spectrum
