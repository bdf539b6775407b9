#include "SimWaveform.h"
#include "MarkerFinder.h"
#include "SimCapture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

int MeanOf(const std::array<quint16, 2688>& w, int from, int to) {
    int sum = 0;
    for (int n = from; n <= to; ++n)
        sum += w[size_t(n - 1)];
    return sum / (to - from + 1);
}

TEST(SimWaveform, LooksLikeATapChange) {
    for (quint32 seed : {1u, 2u, 99u, 0xFFFFFFFFu})
        for (int test = 0; test <= 4; ++test)
            for (int phase = 1; phase <= 3; ++phase) {
                SCOPED_TRACE(testing::Message()
                             << "seed " << seed << " test " << test << " phase " << phase);
                const SimTransition t = SimTransitionOf(seed, phase, test);
                const auto& e = t.edges;
                const auto& l = t.levels;
                // Stages in order, after the markers' start positions, well inside the record.
                EXPECT_GT(e[0], 400);
                EXPECT_GT(e[1] - e[0], 40);
                EXPECT_GT(e[2] - e[1], 10);
                EXPECT_GT(e[3] - e[2], 40);
                EXPECT_LT(e[3], 1200);
                // Both resistors raise the level; bridging lies below either stage.
                EXPECT_TRUE(l[0] >= 200 && l[0] <= 450);
                EXPECT_GT(l[1], l[0] + 300);
                EXPECT_GT(l[3], l[4] + 300);
                EXPECT_LT(l[2], l[1] - 100);
                EXPECT_LT(l[2], l[3] - 100);
                EXPECT_GT(l[2], std::max(l[0], l[4]));
                EXPECT_LE(std::abs(l[4] - l[0]), 30);

                const auto w = SimWaveform(seed, phase, test);
                const int bounds[] = {1, e[0], e[1], e[2], e[3], 2689};
                for (int s = 0; s < 5; ++s) {
                    // Past the ramp every sample sits within the noise of its level.
                    for (int n = bounds[s] + kSimRampSamples; n < bounds[s + 1]; ++n)
                        ASSERT_LE(std::abs(w[size_t(n - 1)] - l[size_t(s)]), kSimNoise)
                            << "stage " << s << " sample " << n;
                    EXPECT_NEAR(MeanOf(w, bounds[s] + kSimRampSamples, bounds[s + 1] - 1),
                                l[size_t(s)], 1);
                }
                // Each edge steps between the two levels within the ramp.
                for (int s = 1; s <= 4; ++s) {
                    const int mid = w[size_t(bounds[s] + 1 - 1)];
                    EXPECT_GT(mid, std::min(l[size_t(s - 1)], l[size_t(s)]) - kSimNoise - 1);
                    EXPECT_LT(mid, std::max(l[size_t(s - 1)], l[size_t(s)]) + kSimNoise + 1);
                }
            }
}

TEST(SimWaveform, PhasesDifferALittle) {
    const SimTransition a = SimTransitionOf(8, 1, 0);
    const SimTransition b = SimTransitionOf(8, 2, 0);
    const SimTransition c = SimTransitionOf(8, 3, 0);
    EXPECT_LT(a.edges[0], b.edges[0]);
    EXPECT_LT(b.edges[0], c.edges[0]);
    EXPECT_LE(c.edges[0] - a.edges[0], 30);
    for (int s = 0; s < 5; ++s) {
        EXPECT_NEAR(a.levels[size_t(s)], b.levels[size_t(s)], 70);
        EXPECT_NEAR(c.levels[size_t(s)], b.levels[size_t(s)], 70);
    }
    EXPECT_NE(SimWaveform(8, 1, 0), SimWaveform(8, 2, 0));
}

TEST(SimWaveform, DeterministicFromTheSeed) {
    EXPECT_EQ(SimWaveform(5, 2, 1), SimWaveform(5, 2, 1));
    EXPECT_NE(SimWaveform(5, 2, 1), SimWaveform(6, 2, 1));
    EXPECT_NE(SimWaveform(5, 2, 1), SimWaveform(5, 2, 2));
    EXPECT_EQ(SimRotation(5, 0), SimRotation(5, 0));
    int distinct = 0;
    for (quint32 seed = 0; seed < 20; ++seed) {
        const int r = SimRotation(seed, 0);
        EXPECT_TRUE(r >= 1800 && r < 11160) << r;
        distinct += r != SimRotation(seed + 1, 0);
    }
    EXPECT_GT(distinct, 15);
}

} // namespace

// The rough captures that measure the marker finder: each feature does what
// it says, and the true instants are where the clean waveform passes halfway.
TEST(SimCapture, KnowsItsOwnInstants) {
    for (quint32 seed : {3u, 40u, 777u}) {
        SCOPED_TRACE(testing::Message() << "seed " << seed);
        SimShape steps;
        steps.noise = 0;
        steps.ramp = 1;
        const SimTransition t = SimTransitionOf(seed, 2, 1);
        const SimCapture clean = SimCaptureOf(seed, 2, 1, steps);
        EXPECT_EQ(clean.truth, t.edges);
        for (int k = 0; k < 5; ++k)
            EXPECT_EQ(clean.samples[size_t(k == 0 ? 0 : t.edges[k - 1] - 1)], t.levels[k]);

        SimShape ramps = steps;
        ramps.ramp = 10; // past halfway on the fifth sample of each ramp
        const SimCapture ramped = SimCaptureOf(seed, 2, 1, ramps);
        for (int k = 0; k < 4; ++k)
            EXPECT_EQ(ramped.truth[k], t.edges[k] + 4);

        SimShape inverted = steps;
        inverted.inverted = true;
        const SimCapture falling = SimCaptureOf(seed, 2, 1, inverted);
        EXPECT_EQ(falling.truth, t.edges);
        EXPECT_LT(falling.samples[size_t(t.edges[0])], falling.samples[0] - 300);

        SimShape bounce = steps;
        bounce.bounce = true;
        const SimCapture bouncing = SimCaptureOf(seed, 2, 1, bounce);
        int changed = 0;
        for (int n = 1; n <= kSimSamples; ++n) {
            if (bouncing.samples[size_t(n - 1)] == clean.samples[size_t(n - 1)])
                continue;
            ++changed;
            const bool nearEdge = std::any_of(t.edges.begin(), t.edges.end(),
                                              [n](int e) { return n > e && n <= e + 10; });
            EXPECT_TRUE(nearEdge) << "sample " << n;
        }
        EXPECT_GE(changed, 4);

        SimShape flat = steps;
        flat.flat = true;
        flat.drift = 40;
        const SimCapture level = SimCaptureOf(seed, 2, 1, flat);
        EXPECT_EQ(level.truth, (std::array<int, 4>{}));
        EXPECT_NEAR(level.samples.back() - level.samples.front(), 40, 1);

        SimShape noisy = steps;
        noisy.noise = 5;
        const SimCapture rough = SimCaptureOf(seed, 2, 1, noisy);
        double sum = 0;
        for (int n = 1; n < t.edges[0]; ++n)
            sum += std::pow(rough.samples[size_t(n - 1)] - t.levels[0], 2);
        EXPECT_NEAR(std::sqrt(sum / (t.edges[0] - 1)), 5, 1);
    }
}

// oltc-sim --rough serves captures that the marker finder reads as a
// careful engineer would: within two samples of the true instants.
TEST(SimCapture, RoughCapturesAreFoundWhereTheyTrulyChange) {
    for (quint32 seed : {1u, 9u}) {
        for (int test = 0; test <= 2; ++test) {
            for (int phase = 1; phase <= 3; ++phase) {
                const auto rough = SimSamples(seed, phase, test, true);
                EXPECT_NE(rough, SimSamples(seed, phase, test, false));
                std::array<qint32, kSimSamples> x{};
                std::copy(rough.begin(), rough.end(), x.begin());
                const auto truth = SimCaptureOf(seed, phase, test, RoughShape()).truth;
                const auto found = FindMarkers(x.data(), kSimSamples);
                ASSERT_TRUE(found) << seed << "/" << test << "/" << phase;
                for (int j = 0; j < 4; ++j)
                    EXPECT_NEAR(found->t[j], truth[j], 2) << seed << "/" << test << "/" << phase;
            }
        }
    }
}
