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

// Uniform in lo..hi, on a grid of a thousand steps.
double Between(SimRandom& r, double lo, double hi) {
    return lo + (hi - lo) * r.Range(0, 1000) / 1000.0;
}

// Stages of 1 to 12 ms each, the first edge from 3 ms on.
std::array<int, 4> WideEdges(quint32 seed, int phase, int testIndex) {
    SimRandom r(seed, quint64(testIndex), quint64(phase), 0x31DE);
    const int s1 = r.Range(10, 120), s2 = r.Range(10, 120), s3 = r.Range(10, 120);
    const int start = r.Range(30, kSimSamples - 20 - s1 - s2 - s3);
    return {start, start + s1, start + s1 + s2, start + s1 + s2 + s3};
}

// Resistors unlike each other: the second 0.5 to 2 times the first, both in
// parallel while bridging; the new tap up to 10 % above or below the old.
// Drawn again while a step would vanish beside the others.
std::array<int, 5> UnlikeLevels(quint32 seed, int phase, int testIndex) {
    SimRandom r(seed, quint64(testIndex), quint64(phase), 0x1E7);
    std::array<int, 5> levels{};
    for (int attempt = 0; attempt < 100; ++attempt) {
        const double old = r.Range(100, 3000);
        const double r1 = old * Between(r, 0.5, 3);
        const double r2 = r1 * std::exp2(Between(r, -1, 1));
        const double next = old * (1 + Between(r, -0.1, 0.1));
        const double bridging = (old + next) / 2 + r1 * r2 / (r1 + r2);
        for (int k = 0; const double v : {old, old + r1, bridging, next + r2, next})
            levels[size_t(k++)] = int(std::nearbyint(v));
        int smallest = 1 << 30, largest = 0;
        for (int k = 0; k < 4; ++k) {
            smallest = std::min(smallest, std::abs(levels[k + 1] - levels[k]));
            largest = std::max(largest, std::abs(levels[k + 1] - levels[k]));
        }
        if (smallest >= std::max(20, largest / 15))
            break;
    }
    return levels;
}

// The clean waveform of a shape that is no transition, around the old tap's
// level, changing by about the first resistor; its own change in `size`.
std::array<double, kSimSamples> NoTransition(SimNone kind, const SimTransition& t, quint32 seed,
                                             int phase, int testIndex, int& size) {
    SimRandom r(seed, quint64(testIndex), quint64(phase), 0xE0 + quint64(kind));
    const double old = t.levels[0];
    const double sign = r.Range(0, 1) ? 1 : -1;
    const double a = std::abs(t.levels[1] - t.levels[0]) * Between(r, 0.05, 2);
    // Falling shapes start higher, so that no sample goes below zero.
    const double base = sign > 0 ? old : old + a;
    const int at = r.Range(30, kSimSamples - 30);
    size = int(std::nearbyint(a));
    std::array<double, kSimSamples> x{};
    for (int n = 1; n <= kSimSamples; ++n)
        x[size_t(n - 1)] = old;
    switch (kind) {
    case SimNone::Transition:
    case SimNone::Flat:
        break;
    case SimNone::Step:
        for (int n = at; n <= kSimSamples; ++n)
            x[size_t(n - 1)] = base + sign * a;
        break;
    case SimNone::TwoSteps: {
        const double second = (r.Range(0, 1) ? 1 : -1) * a * Between(r, 0.3, 1);
        const int then = std::min(kSimSamples, at + r.Range(10, 300));
        for (int n = at; n <= kSimSamples; ++n)
            x[size_t(n - 1)] = base + a + sign * a + (n >= then ? second : 0);
        size = int(std::nearbyint(std::min(a, std::abs(second))));
        break;
    }
    case SimNone::Spike:
        for (int n = at, end = at + r.Range(1, 3); n < end; ++n)
            x[size_t(n - 1)] = base + sign * a;
        break;
    case SimNone::Pulse:
        for (int n = at, end = std::min(kSimSamples + 1, at + r.Range(10, 300)); n < end; ++n)
            x[size_t(n - 1)] = base + sign * a;
        break;
    case SimNone::Square: {
        const int period = r.Range(20, 400), offset = r.Range(0, period - 1);
        for (int n = 1; n <= kSimSamples; ++n)
            x[size_t(n - 1)] = base + ((n + offset) % period < period / 2 ? sign * a : 0);
        break;
    }
    case SimNone::Ramp:
        for (int n = 1; n <= kSimSamples; ++n)
            x[size_t(n - 1)] = base + sign * a * (n - 1) / (kSimSamples - 1);
        break;
    case SimNone::Decay: {
        const double tau = r.Range(10, 1000);
        for (int n = 1; n <= kSimSamples; ++n)
            x[size_t(n - 1)] = base + sign * a * std::exp(-(n - 1) / tau);
        break;
    }
    case SimNone::Sine: {
        const double period = r.Range(50, 3000), offset = r.Range(0, 999) / 1000.0;
        for (int n = 1; n <= kSimSamples; ++n)
            x[size_t(n - 1)] =
                old + a / 2 + a / 2 * std::sin(2 * std::numbers::pi * (n / period + offset));
        break;
    }
    }
    return x;
}

} // namespace

SimCapture SimCaptureOf(quint32 seed, int phase, int testIndex, const SimShape& shape) {
    SimTransition t = SimTransitionOf(seed, phase, testIndex);
    if (shape.unlike)
        t.levels = UnlikeLevels(seed, phase, testIndex);
    if (shape.anywhere)
        t = Anywhere(t, seed, phase, testIndex);
    if (shape.wide)
        t.edges = WideEdges(seed, phase, testIndex);
    const bool flat = shape.flat || shape.none == SimNone::Flat;
    const bool transition = !flat && shape.none == SimNone::Transition;
    SimCapture capture;
    capture.smallestStep = 1 << 30;
    for (int k = 0; k < 4; ++k)
        capture.smallestStep =
            std::min(capture.smallestStep, std::abs(t.levels[k + 1] - t.levels[k]));
    if (shape.flat) // as it always was: the flat capture's steps are none
        capture.smallestStep = 0;
    if (flat)
        t.levels.fill(t.levels[0]);
    if (shape.inverted) {
        // Mirrored about the old tap's level, kept above zero.
        const int top = *std::max_element(t.levels.begin(), t.levels.end());
        const int old = t.levels[0];
        for (int& level : t.levels)
            level = top + old - level;
    }

    // The clean waveform: levels joined by linear ramps, never longer than
    // half the shorter stage beside them, or settling toward each level.
    std::array<double, kSimSamples> clean{};
    if (!transition && !flat) {
        clean = NoTransition(shape.none, t, seed, phase, testIndex, capture.smallestStep);
    } else if (shape.settle > 0) {
        const double keep = std::exp(-1 / shape.settle);
        double y = t.levels[0];
        int stage = 0;
        for (int n = 1; n <= kSimSamples; ++n) {
            while (stage < 4 && n >= t.edges[stage])
                ++stage;
            y = t.levels[stage] + (y - t.levels[stage]) * keep;
            clean[n - 1] = y;
        }
    } else {
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
    }
    if (transition) {
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
    if (shape.bounce && transition) {
        // After each contact the level springs part of the way back toward
        // the earlier one, once or twice, for one or two samples.
        for (int k = 0; k < 4; ++k) {
            const double from = t.levels[k];
            const int to = t.levels[k + 1];
            // Once the edge has settled on the new level (a settling edge:
            // within a tenth of its step).
            int at = capture.truth[k];
            const auto settled = [&](int n) {
                return shape.settle > 0 ? std::abs(clean[n - 1] - to) <= std::abs(to - from) / 10
                                        : clean[n - 1] == to;
            };
            while (at < kSimSamples && !settled(at))
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
    if (shape.backBounce && transition) {
        // The first and the last contact spring back once to the level
        // before them, within the stage they begin.
        SimRandom back(seed, quint64(testIndex), quint64(phase), 0xBAC);
        for (const int k : {0, 3}) {
            const int length = back.Range(1, 2);
            const int latest = k < 3 ? t.edges[k + 1] - 1 - length : kSimSamples - length;
            const int at = std::min(latest, t.edges[k] + back.Range(2, 15));
            for (int n = at; n < at + length; ++n)
                value[n - 1] = t.levels[k];
        }
    }
    if (shape.impulses) {
        SimRandom impulse(seed, quint64(testIndex), quint64(phase), 0x1A1);
        for (double& v : value)
            if (impulse.Range(0, 499) == 0)
                v += (impulse.Range(0, 1) ? 1 : -1) * capture.smallestStep * impulse.Range(0, 80) /
                     100.0;
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
