// The spectrum readings' loops over every bin: the largest bin, and the power that is left once the
// fitted components' whole leakage is taken out.
#include "spectrum/SpectrumResidual.h"

#include "common/WideVectors.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <utility>

namespace mirel::spectrum {

namespace {

using Complex = std::complex<double>;
constexpr double Pi = std::numbers::pi;
constexpr int MaxComponents = 10;
// The loops go in stretches of this many bins, their values in arrays that vectorise.
constexpr int Stretch = 256;

// The power of the count bins of a stretch less the leakage of Count components, into power[];
// e^(iθk) of the stretch's first bin is `start`, the table holds e^(iθj) for j < Stretch. The
// components' terms are put over one denominator, the product of theirs: each numerator is
// multiplied by the others' denominators (the running products of those before it and of those
// after it), so that a bin takes one division however many there are.
template <int Count>
MIREL_WIDE_VECTORS void ResidualStretch(const ComponentLeak* leaks, const Complex* bins, Complex start,
                                        const double* tableCos, const double* tableSin, double* power, int count)
{
    const double c0 = start.real(), s0 = start.imag();
    double w[Count + 1], p[Count + 1], r[Count + 1];  // one more, so that none is empty
    double sumP = 0;
    for (int i = 0; i < Count; ++i) {
        w[i] = leaks[i].Cosine;
        p[i] = leaks[i].P;
        r[i] = leaks[i].R;
        sumP += p[i];
    }
    const double* __restrict x = reinterpret_cast<const double*>(bins);
    double* __restrict out = power;
    for (int j = 0; j < count; ++j) {
        const double c = c0 * tableCos[j] - s0 * tableSin[j];
        double re = x[2 * j], im = x[2 * j + 1];
        if constexpr (Count > 0) {
            double before[Count];
            double product = 1;
            for (int i = 0; i < Count; ++i) {
                before[i] = product;
                product *= c - w[i];
            }
            double after = 1, sumR = 0, sumQuotientP = 0;
            for (int i = Count - 1; i >= 0; --i) {
                const double others = before[i] * after;
                sumR += r[i] * others;
                sumQuotientP += p[i] * others;
                after *= c - w[i];
            }
            const double f = 0.5 / product;
            re -= 0.5 * sumP + sumR * f;
            im -= sumQuotientP * (s0 * tableCos[j] + c0 * tableSin[j]) * f;
        }
        out[j] = re * re + im * im;
    }
}

using ResidualStretchFunction = void (*)(const ComponentLeak*, const Complex*, Complex, const double*, const double*,
                                         double*, int);

template <int... Counts>
constexpr std::array<ResidualStretchFunction, sizeof...(Counts)>
ResidualStretchTable(std::integer_sequence<int, Counts...>)
{
    return {&ResidualStretch<Counts>...};
}

// Σ x[j] over a stretch, in runs that do not wait on each other.
double Sum(const double* x)
{
    constexpr int Runs = 8;
    double run[Runs] = {};
    for (int j = 0; j < Stretch; j += Runs)
        for (int r = 0; r < Runs; ++r)
            run[r] += x[j + r];
    return ((run[0] + run[4]) + (run[2] + run[6])) + ((run[1] + run[5]) + (run[3] + run[7]));
}

// The angles the residual is worked out from, for one length: e^(iθj) for j < Stretch, and e^(iθk)
// at the first bin of each of the first CachedStretches stretches (all those of the longest
// transform the display makes).
struct StretchAngles {
    static constexpr int CachedStretches = 64;
    int Length = 0;
    double Cos[Stretch], Sin[Stretch];
    Complex Start[CachedStretches];
};

// The angles for length n, worked out again only when the length differs from the last one this
// thread measured.
const StretchAngles& AnglesFor(int n)
{
    thread_local StretchAngles angles;
    if (angles.Length == n)
        return angles;
    const double step = 2 * Pi / n;
    for (int j = 0; j < 16; ++j) {
        angles.Cos[j] = std::cos(step * j);
        angles.Sin[j] = std::sin(step * j);
    }
    for (int j = 16; j < Stretch; j += 16) {
        const double c = std::cos(step * j), s = std::sin(step * j);
        for (int i = 0; i < 16; ++i) {
            angles.Cos[j + i] = c * angles.Cos[i] - s * angles.Sin[i];
            angles.Sin[j + i] = s * angles.Cos[i] + c * angles.Sin[i];
        }
    }
    for (int i = 0; i < StretchAngles::CachedStretches; ++i)
        angles.Start[i] = std::polar(1.0, step * (1 + i * Stretch));
    angles.Length = n;
    return angles;
}

}  // namespace

// Each stretch's largest power by halving, each half an elementwise loop that vectorises; the
// position is looked up among the same powers, in the first stretch that holds the largest.
MIREL_WIDE_VECTORS std::pair<int, double> LargestBin(std::span<const Complex> bins)
{
    const int half = static_cast<int>(bins.size()) - 1;
    double largest = 0;
    int at = 1;
    double power[Stretch], larger[Stretch / 2];
    for (int start = 1; start <= half; start += Stretch) {
        const int count = std::min(Stretch, half - start + 1);
        const double* x = reinterpret_cast<const double*>(bins.data() + start);
        for (int j = 0; j < count; ++j)
            power[j] = x[2 * j] * x[2 * j] + x[2 * j + 1] * x[2 * j + 1];
        for (int j = count; j < Stretch; ++j)
            power[j] = 0;
        for (int j = 0; j < Stretch / 2; ++j)
            larger[j] = power[j + Stretch / 2] > power[j] ? power[j + Stretch / 2] : power[j];
        for (int width = Stretch / 4; width > 0; width /= 2)
            for (int j = 0; j < width; ++j)
                larger[j] = larger[j + width] > larger[j] ? larger[j + width] : larger[j];
        if (larger[0] > largest) {
            largest = larger[0];
            at = start + static_cast<int>(std::find(power, power + count, largest) - power);
        }
    }
    return {at, largest};
}

// Stretch by stretch, e^(iθk) from the stretch's first bin and the table, so that the bins of a
// stretch are independent of each other.
double ResidualPower(std::span<const Complex> bins, std::span<const ComponentLeak> leaks, std::span<const int> skipped)
{
    static constexpr auto residual = ResidualStretchTable(std::make_integer_sequence<int, MaxComponents + 1>());
    const int half = static_cast<int>(bins.size()) - 1;
    const int n = 2 * half;
    const StretchAngles& angles = AnglesFor(n);
    double power[Stretch];
    double noise = 0;
    std::size_t next = 0;
    for (int start = 1, index = 0; start <= half; start += Stretch, ++index) {
        const int count = std::min(Stretch, half - start + 1);
        const Complex first =
            index < StretchAngles::CachedStretches ? angles.Start[index] : std::polar(1.0, 2 * Pi * start / n);
        residual[leaks.size()](leaks.data(), bins.data() + start, first, angles.Cos, angles.Sin, power, count);
        for (; next < skipped.size() && skipped[next] < start + count; ++next)
            power[skipped[next] - start] = 0;
        for (int j = count; j < Stretch; ++j)
            power[j] = 0;
        noise += Sum(power);
    }
    return noise;
}

}  // namespace mirel::spectrum
