#include "OtherCapture.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>

namespace {

constexpr int kN = 2688;
constexpr double kPi = std::numbers::pi;

class Draw {
public:
    Draw(quint32 seed, int family)
        : g_((quint64(seed) << 8 | quint64(family)) * 0x2545F4914F6CDD1DULL) {}
    double Uniform(double lo, double hi) {
        return lo + (hi - lo) * double(g_() >> 11) / 9007199254740992.0;
    }
    double LogUniform(double lo, double hi) {
        return std::exp(Uniform(std::log(lo), std::log(hi)));
    }
    bool Coin(double p = 0.5) { return Uniform(0, 1) < p; }
    double Sign() { return Coin() ? 1 : -1; }
    // Unit variance: Gaussian, Laplace or uniform.
    double Noise(int kind) {
        switch (kind) {
        case 0: {
            const double u = Uniform(1e-12, 1), v = Uniform(0, 1);
            return std::sqrt(-2 * std::log(u)) * std::cos(2 * kPi * v);
        }
        case 1: {
            const double u = Uniform(-0.5, 0.5);
            return -(u < 0 ? -1 : 1) * std::log(1 - 2 * std::abs(u)) / std::sqrt(2.0);
        }
        default:
            return Uniform(-std::sqrt(3.0), std::sqrt(3.0));
        }
    }

private:
    std::mt19937_64 g_;
};

double Logistic(double t, double rise) {
    // rise: 10 % to 90 % in samples.
    return 1 / (1 + std::exp(-t * 2 * std::log(9.0) / rise));
}

double SecondOrderStep(double t, double rise, double zeta) {
    if (t < 0)
        return 0;
    const double wn = 1.8 / rise, wd = wn * std::sqrt(1 - zeta * zeta);
    return 1 - std::exp(-zeta * wn * t) *
                   (std::cos(wd * t) + zeta / std::sqrt(1 - zeta * zeta) * std::sin(wd * t));
}

} // namespace

OtherCapture MakeOtherCapture(int family, quint32 seed, double noisePercent) {
    Draw d(seed, family);
    OtherCapture out;
    std::vector<double> clean(kN);

    // Levels: the tap's winding, the two transition resistors, and while
    // bridging the old branch and the new branch in parallel.
    const double winding = d.LogUniform(80, 4000);
    const double ra = winding * d.LogUniform(0.4, 3);
    const double rb = ra * d.LogUniform(0.5, 2);
    const double next = winding * (1 + d.Uniform(-0.1, 0.1));
    const double a = winding + ra, b = next + rb;
    std::array<double, 5> level{winding, a, a * b / (a + b), b, next};
    if (level[2] <= std::max(winding, next) * 1.02)
        level[2] = std::max(winding, next) * 1.02 + 0.1 * std::min(ra, rb);
    if (d.Coin()) // falling: mirrored below the steady level
        for (double& v : level)
            v = 2 * winding - v + (a + b);
    double smallest = 1e9;
    for (int k = 0; k < 4; ++k)
        smallest = std::min(smallest, std::abs(level[k + 1] - level[k]));

    // Stage lengths, log-uniform 1 to 12 ms; the centre of each edge.
    std::array<double, 4> centre{};
    const double s1 = d.LogUniform(10, 120), s2 = d.LogUniform(10, 120), s3 = d.LogUniform(10, 120);
    centre[0] = d.Uniform(32, kN - 25 - s1 - s2 - s3);
    centre[1] = centre[0] + s1;
    centre[2] = centre[1] + s2;
    centre[3] = centre[2] + s3;
    const double shortest = std::min({s1, s2, s3});
    const double rise = std::min(d.LogUniform(0.3, 8), shortest / 3);
    const double zeta = d.Uniform(0.5, 0.95);

    if (family != OtherNone) {
        for (int n = 1; n <= kN; ++n) {
            double v = level[0];
            for (int k = 0; k < 4; ++k) {
                const double h = family == OtherSecondOrder
                                     ? SecondOrderStep(n - centre[k] + rise / 2, rise, zeta)
                                     : Logistic(n - centre[k], rise);
                v += (level[k + 1] - level[k]) * h;
            }
            clean[size_t(n - 1)] = v;
        }
        std::array<int, 4> truth{};
        int from = 1;
        for (int k = 0; k < 4; ++k) {
            const double mid = (level[k] + level[k + 1]) / 2,
                         dir = level[k + 1] > level[k] ? 1 : -1;
            int n = std::max(from, int(k ? (centre[k - 1] + centre[k]) / 2 : centre[0] - 20));
            while (n < kN && dir * (clean[size_t(n - 1)] - mid) < 0)
                ++n;
            truth[size_t(k)] = n;
            from = n + 1;
        }
        out.truth = truth;
    } else {
        // Shapes that are no transition, changing by about a resistor.
        const double size = ra * d.Uniform(0.1, 2), s = d.Sign();
        const double base = s > 0 ? winding : winding + size;
        smallest = size;
        const int kind = int(seed % 7);
        const double at = d.Uniform(40, kN - 40), period = d.Uniform(30, 1500);
        const double swing = d.Uniform(20, 60);
        for (int n = 1; n <= kN; ++n) {
            double v = base;
            switch (kind) {
            case 0: // a triangle wave
                v += s * size * std::abs(2 * std::fmod(n / period, 1.0) - 1);
                break;
            case 1: // a charging curve
                v += s * size * (1 - std::exp(-(n - 1) / period));
                break;
            case 2: // a damped oscillation after a knock
                v += n < at ? 0
                            : s * size * std::exp(-(n - at) / period) *
                                  std::sin(2 * kPi * (n - at) / swing);
                break;
            case 3: // one smooth step
                v += s * size * Logistic(n - at, rise);
                break;
            case 4: // a staircase of three steps
                v += s * size * ((n >= at) + (n >= at + period / 8) + (n >= at + period / 4)) / 3;
                break;
            case 5: // a parabola
                v += s * size * std::pow((n - at) / kN, 2);
                break;
            default: // a sawtooth: slow rises, sudden falls
                v += s * size * std::fmod(n / period, 1.0);
                break;
            }
            clean[size_t(n - 1)] = v;
        }
    }

    // Disturbances: coloured or plain noise of one of three kinds, 50 Hz
    // ripple with its third harmonic, a curved drift, chatter, impulses.
    const double sigma = smallest * noisePercent / 100;
    const int kind = int(d.Uniform(0, 3));
    const double colour = family == OtherColoured ? d.Uniform(0.5, 0.9) : 0;
    const double ripple = d.Coin() ? smallest * d.Uniform(0, 0.02) : 0;
    const double drift = d.Coin() ? smallest * d.Uniform(-0.5, 0.5) : 0;
    const double phase0 = d.Uniform(0, 2 * kPi);
    double ar = 0;
    std::vector<double> x = clean;
    if (family == OtherChatter && out.truth) {
        for (int k = 0; k < 4; ++k) {
            int n = (*out.truth)[size_t(k)] + int(d.Uniform(2, 8));
            for (int c = int(d.Uniform(1, 4)); c > 0 && n < kN; --c, n += int(d.Uniform(2, 5)))
                x[size_t(n - 1)] = level[k] + (level[k + 1] - level[k]) * d.Uniform(0, 0.8);
        }
    }
    for (int n = 1; n <= kN; ++n) {
        ar = colour * ar + std::sqrt(1 - colour * colour) * d.Noise(kind);
        double v = x[size_t(n - 1)] + sigma * ar;
        v += ripple * (std::sin(2 * kPi * n / 200 + phase0) + 0.3 * std::sin(6 * kPi * n / 200));
        v += drift * std::pow(double(n) / kN, 2);
        if (family == OtherChatter && d.Uniform(0, 1) < 1.0 / 400)
            v += d.Sign() * smallest * d.Uniform(0, 0.8);
        out.samples.push_back(qint32(std::clamp(std::nearbyint(v), 0.0, 65535.0)));
    }
    return out;
}
