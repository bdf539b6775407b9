// The instant of one edge, fitted on the samples around it.
#include "EdgeFit.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

// Fitting an edge: a sample's misfit counts up to this share of the step,
// or this many noise deviations; one falling back after the instant, this
// share of that.
constexpr double kFitCap = 0.25;
constexpr double kFitNoiseCap = 3;
constexpr double kFitBounce = 0.6;
constexpr int kMaxRoom = 32; // samples each side, at most

} // namespace

int FittedSplit(const qint32* raw, int lo, int hi, int split, double a, double b, double noise,
                int room) {
    const double step = b - a;
    room = std::min(room, kMaxRoom);
    const int from = std::max(lo, split - room), to = std::min(hi, split + room);
    if (to - from < 2 || step == 0)
        return split;
    const int n = to - from + 1;
    const double cap = std::max(kFitCap, kFitNoiseCap * noise / std::abs(step));
    const double back = kFitBounce * cap;
    std::array<double, 2 * kMaxRoom + 1> p{};
    // The misfits of the old level and the new one, summed up to each sample.
    std::array<double, 2 * kMaxRoom + 2> before{}, after{};
    // Bounce springs back toward the old level, never beyond it.
    const auto misfit = [&](double v, double model, bool late) {
        const double r = v - model;
        return std::min(std::abs(r), late && r < 0 && v > -cap ? back : cap);
    };
    for (int k = 0; k < n; ++k) {
        p[size_t(k)] = (raw[from + k] - a) / step;
        before[size_t(k + 1)] = before[size_t(k)] + misfit(p[size_t(k)], 0, false);
        after[size_t(k + 1)] = after[size_t(k)] + misfit(p[size_t(k)], 1, true);
    }
    // The cost of the instant at sample s (s - from of the window), the
    // ramp `length` samples long crossing halfway at s - 1 + f.
    const auto cost = [&](int s, int length, double f) {
        const double c = s - 1 + f;
        if (length == 0)
            return before[size_t(s)] + after[size_t(n)] - after[size_t(s)];
        const int first = std::clamp(int(std::floor(c - length / 2.0)) + 1, 0, n);
        const int end = std::clamp(int(std::ceil(c + length / 2.0)), first, n);
        double sum = before[size_t(first)] + after[size_t(n)] - after[size_t(end)];
        for (int k = first; k < end; ++k) {
            const double model = std::clamp((k - c) / length + 0.5, 0.0, 1.0);
            sum += misfit(p[size_t(k)], model, k >= s);
        }
        return sum;
    };
    const auto best = [&](int s) {
        double least = cost(s, 0, 1);
        for (const int length : {1, 2, 3, 4, 6, 8, 11, 16})
            for (const double f : {0.25, 0.5, 0.75, 1.0})
                least = std::min(least, cost(s, length, f));
        return least;
    };
    const double kept = best(split - from);
    double least = kept;
    int at = split;
    for (int s = 1; s < n; ++s)
        if (const double v = best(s); v < least) {
            least = v;
            at = from + s;
        }
    return at;
}
