// How well FindMarkers finds the simulated tester's true instants: over
// thousands of captures with varied seeds and shapes, for each noise level,
// the share of markers within 2 samples (0.2 ms), the 99th percentile of
// the error, phases wrongly reported without a transition, flat phases
// wrongly reported with one, and the time per phase.
#include "MarkerFinder.h"
#include "SimCapture.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <vector>

namespace {

struct Tally {
    std::vector<int> errors;
    int phases = 0, missed = 0, flats = 0, flatFound = 0;
    double seconds = 0;
    int calls = 0;
};

// Shape k of a run: every feature on and off across the captures.
SimShape ShapeOf(int k, double noise) {
    SimShape s;
    s.noise = noise;
    s.anywhere = true;
    s.ramp = 1 + k % 11; // steps to 1 ms ramps
    s.bounce = k % 3 == 0;
    s.inverted = k % 4 == 1;
    s.ripple = k % 5 == 2 ? 3 : 0; // 0.03 ohm
    s.drift = k % 7 == 3 ? 40 : 0; // 0.4 ohm over the window
    return s;
}

void Run(double noisePercent, int captures, Tally& tally) {
    for (int k = 0; k < captures; ++k) {
        const quint32 seed = quint32(1000 + k);
        const int phase = 1 + k % 3;
        // The noise is a share of the smallest level step of this capture.
        const int step = SimCaptureOf(seed, phase, 1 + k % 200, ShapeOf(k, 0)).smallestStep;
        SimShape shape = ShapeOf(k, step * noisePercent / 100);
        const SimCapture capture = SimCaptureOf(seed, phase, 1 + k % 200, shape);
        const auto start = std::chrono::steady_clock::now();
        const auto found = FindMarkers(capture.samples.data(), kSimSamples);
        tally.seconds +=
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        ++tally.calls;
        ++tally.phases;
        if (!found) {
            ++tally.missed;
            for (int j = 0; j < 4; ++j)
                tally.errors.push_back(1 << 20);
            continue;
        }
        for (int j = 0; j < 4; ++j)
            tally.errors.push_back(std::abs(found->t[j] - capture.truth[j]));
    }
    // Flat phases of the same noise, drift and ripple.
    for (int k = 0; k < captures / 3; ++k) {
        const quint32 seed = quint32(5000 + k);
        const int step = SimCaptureOf(seed, 1, 1, ShapeOf(k, 0)).smallestStep;
        SimShape shape = ShapeOf(k, step * noisePercent / 100);
        shape.flat = true;
        const SimCapture capture = SimCaptureOf(seed, 1, 1, shape);
        const auto start = std::chrono::steady_clock::now();
        tally.flatFound += FindMarkers(capture.samples.data(), kSimSamples).has_value();
        tally.seconds +=
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        ++tally.calls;
        ++tally.flats;
    }
}

} // namespace

int main(int argc, char** argv) {
    const int captures = argc > 1 ? std::atoi(argv[1]) : 3000;
    std::printf("%-7s %7s %9s %10s %10s %9s %11s %9s\n", "noise", "phases", "<=0.2ms", "p99/samp",
                "max/samp", "missed", "flat found", "us/phase");
    for (double noise : {0.0, 1.0, 2.0, 3.0, 5.0}) {
        Tally t;
        Run(noise, captures, t);
        // Markers of missed phases count as outside 0.2 ms; the percentile and
        // the largest error are over the phases found.
        std::vector<int> e = t.errors;
        std::sort(e.begin(), e.end());
        const auto within = std::count_if(e.begin(), e.end(), [](int v) { return v <= 2; });
        std::vector<int> found;
        std::copy_if(e.begin(), e.end(), std::back_inserter(found),
                     [](int v) { return v < (1 << 20); });
        const int p99 = found.empty() ? 0 : found[size_t(0.99 * double(found.size() - 1))];
        const int largest = found.empty() ? 0 : found.back();
        std::printf("%5.1f %% %7d %8.2f%% %10d %10d %8.2f%% %5d of %3d %9.1f\n", noise, t.phases,
                    100.0 * double(within) / double(e.size()), p99, largest,
                    100.0 * t.missed / t.phases, t.flatFound, t.flats, 1e6 * t.seconds / t.calls);
    }
    return 0;
}
