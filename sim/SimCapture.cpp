#include "SimCapture.h"

#include "SimRandom.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

double Gaussian(SimRandom& r) {
    // Box-Muller on two uniform numbers in (0, 1].
    const double u = (double(r.Next() >> 11) + 1) / 9007199254740992.0;
    const double v = double(r.Next() >> 11) / 9007199254740992.0;
    return std::sqrt(-2 * std::log(u)) * std::cos(2 * std::numbers::pi * v);
}

// Edges anywhere in the window, with stages from 1 to 12 ms.
SimTransition Anywhere(SimTransition t, quint32 seed, int phase, int testIndex) {
    SimRandom r(seed, quint64(testIndex), quint64(phase), 0xA11);
    const int s1 = r.Range(10, 120), s2 = r.Range(10, 60), s3 = r.Range(10, 120);
    const int start = r.Range(20, kSimSamples - 20 - s1 - s2 - s3);
    t.edges = {start, start + s1, start + s1 + s2, start + s1 + s2 + s3};
    return t;
}

} // namespace

SimCapture SimCaptureOf(quint32 seed, int phase, int testIndex, const SimShape& shape) {
    SimTransition t = SimTransitionOf(seed, phase, testIndex);
    if (shape.anywhere)
        t = Anywhere(t, seed, phase, testIndex);
    if (shape.flat)
        t.levels.fill(t.levels[0]);
    if (shape.inverted) {
        // Mirrored about the old tap's level, kept above zero.
        const int top = *std::max_element(t.levels.begin(), t.levels.end());
        const int old = t.levels[0];
        for (int& level : t.levels)
            level = top + old - level;
    }
    SimCapture capture;
    capture.smallestStep = 1 << 30;
    for (int k = 0; k < 4; ++k)
        capture.smallestStep =
            std::min(capture.smallestStep, std::abs(t.levels[k + 1] - t.levels[k]));

    // The clean waveform: levels joined by linear ramps, never longer than
    // half the shorter stage beside them.
    std::array<double, kSimSamples> clean{};
    int stage = 0;
    for (int n = 1; n <= kSimSamples; ++n) {
        while (stage < 4 && n >= t.edges[stage])
            ++stage;
        double value = t.levels[stage];
        if (stage > 0) {
            const int before = stage >= 2 ? t.edges[stage - 1] - t.edges[stage - 2] : 1 << 20;
            const int after = stage <= 3 ? t.edges[stage] - t.edges[stage - 1] : 1 << 20;
            const int ramp = std::max(1, std::min({shape.ramp, before / 2, after / 2}));
            const int into = n - t.edges[stage - 1] + 1;
            if (into < ramp) {
                const double from = t.levels[stage - 1];
                value = from + (value - from) * into / ramp;
            }
        }
        clean[n - 1] = value;
    }
    if (!shape.flat) {
        for (int k = 0; k < 4; ++k) {
            const double from = t.levels[k];
            const int to = t.levels[k + 1];
            const double mid = (from + to) / 2, dir = to > from ? 1 : -1;
            // Before its edge the clean waveform stands on the earlier level.
            int n = std::max(t.edges[k], k > 0 ? capture.truth[k - 1] + 1 : 1);
            while (n < kSimSamples && dir * (clean[n - 1] - mid) < 0)
                ++n;
            capture.truth[k] = n;
        }
    }

    std::array<double, kSimSamples> value = clean;
    SimRandom r(seed, quint64(testIndex), quint64(phase), 0xB0C);
    if (shape.bounce && !shape.flat) {
        // After each contact the level springs part of the way back toward
        // the earlier one, once or twice, for one or two samples.
        for (int k = 0; k < 4; ++k) {
            const double from = t.levels[k];
            const int to = t.levels[k + 1];
            // Once the edge has settled on the new level.
            int at = capture.truth[k];
            while (at < kSimSamples && clean[at - 1] != to)
                ++at;
            at += r.Range(1, 3);
            for (int spike = r.Range(1, 2); spike > 0; --spike) {
                const int length = r.Range(1, 2);
                const double depth = r.Range(30, 90) / 100.0;
                for (int n = at; n < at + length && n <= kSimSamples; ++n)
                    value[n - 1] -= (clean[n - 1] - from) * depth;
                at += length + r.Range(1, 2);
            }
        }
    }
    const double phase0 = r.Range(0, 99);
    for (int n = 1; n <= kSimSamples; ++n) {
        double v = value[n - 1];
        v += shape.ripple * std::sin(2 * std::numbers::pi * (n + phase0) / 100);
        v += shape.drift * (double(n) / kSimSamples - 0.5);
        v += shape.noise >= 0 ? shape.noise * Gaussian(r) : r.Range(-kSimNoise, kSimNoise);
        capture.samples[n - 1] = qint32(std::clamp(std::nearbyint(v), 0.0, 65535.0));
    }
    return capture;
}

SimShape RoughShape() {
    SimShape shape;
    shape.noise = 3;
    shape.ramp = 8;
    shape.bounce = true;
    shape.ripple = 2;
    shape.drift = 20;
    return shape;
}

std::array<quint16, kSimSamples> SimSamples(quint32 seed, int phase, int testIndex, bool rough) {
    if (!rough)
        return SimWaveform(seed, phase, testIndex);
    const SimCapture capture = SimCaptureOf(seed, phase, testIndex, RoughShape());
    std::array<quint16, kSimSamples> samples{};
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = quint16(capture.samples[i]);
    return samples;
}
