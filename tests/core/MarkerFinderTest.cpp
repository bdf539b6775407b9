#include "MarkerFinder.h"
#include "Analysis.h"

#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <random>

namespace {

struct Shape {
    std::array<int, 4> edges{500, 600, 640, 720}; // first samples of the stages, 1-based
    std::array<int, 5> levels{300, 800, 550, 820, 310};
    int ramp = 1;                                 // samples an edge takes
    std::function<double(int n)> extra = nullptr; // added to sample n
};

// Sample n of a transition: the levels, joined by linear ramps that start at
// each edge.
std::vector<qint32> Samples(const Shape& s) {
    std::vector<qint32> x(kSampleCount);
    for (int n = 1; n <= kSampleCount; ++n) {
        int stage = 0;
        while (stage < 4 && n >= s.edges[stage])
            ++stage;
        double v = s.levels[stage];
        if (stage > 0 && n - s.edges[stage - 1] + 1 < s.ramp) {
            const double from = s.levels[stage - 1];
            v = from + (v - from) * (n - s.edges[stage - 1] + 1) / s.ramp;
        }
        if (s.extra)
            v += s.extra(n);
        x[n - 1] = qint32(std::nearbyint(v));
    }
    return x;
}

std::optional<FoundMarkers> Find(const Shape& s) {
    const auto x = Samples(s);
    return FindMarkers(x.data(), int(x.size()));
}

} // namespace

TEST(FindMarkers, FindsTheFirstSampleOfEachStageThroughWhatCapturesCarry) {
    std::mt19937 random(7);
    std::normal_distribution<double> gauss(0, 5); // 2 % of the smallest step
    const auto bounce = [](const Shape& s) {
        // Two samples springing 60 % back, two samples after each edge has settled.
        return [s](int n) {
            for (int k = 0; k < 4; ++k)
                if (n == s.edges[k] + s.ramp + 1 || n == s.edges[k] + s.ramp + 2)
                    return 0.6 * (s.levels[k] - s.levels[k + 1]);
            return 0.0;
        };
    };
    struct Case {
        const char* what;
        Shape shape;
        std::array<int, 4> expected;
    };
    std::vector<Case> cases = {
        {"clean steps", {}, {500, 600, 640, 720}},
        // A 10-sample ramp from an edge is past halfway on its fifth sample.
        {"1 ms ramps", {.ramp = 10}, {504, 604, 644, 724}},
        {"short stages", {.edges = {500, 510, 520, 530}}, {500, 510, 520, 530}},
        {"inverted", {.levels = {820, 310, 560, 300, 815}}, {500, 600, 640, 720}},
        {"at the start", {.edges = {30, 90, 130, 200}}, {30, 90, 130, 200}},
        {"at the end", {.edges = {2500, 2560, 2600, 2660}}, {2500, 2560, 2600, 2660}},
        {"drift of 1 ohm", {.extra = [](int n) { return n / 26.88; }}, {500, 600, 640, 720}},
        {"100 Hz ripple",
         {.extra = [](int n) { return 6 * std::sin(2 * 3.14159265 * n / 100); }},
         {500, 600, 640, 720}},
        {"noise", {.extra = [&](int) { return gauss(random); }}, {500, 600, 640, 720}},
    };
    Shape bouncing;
    bouncing.extra = bounce(bouncing);
    cases.push_back({"contact bounce", bouncing, {500, 600, 640, 720}});
    // A 7-sample ramp is past halfway on its fourth sample (4/7), clear of the noise.
    Shape rough{.ramp = 7};
    rough.extra = [&, b = bounce(rough)](int n) { return b(n) + gauss(random); };
    cases.push_back({"ramps, bounce and noise", rough, {503, 603, 643, 723}});

    for (const Case& c : cases) {
        const auto found = Find(c.shape);
        ASSERT_TRUE(found) << c.what;
        for (int j = 0; j < 4; ++j)
            EXPECT_NEAR(found->t[j], c.expected[j], c.shape.extra ? 1 : 0)
                << c.what << " t" << j + 1;
        for (int k = 0; k < 5; ++k)
            EXPECT_NEAR(found->levels[k], c.shape.levels[k], 30) << c.what << " level " << k;
    }
}

TEST(FindMarkers, APhaseWithoutATransitionSaysSo) {
    std::mt19937 random(3);
    std::normal_distribution<double> gauss(0, 20);
    const struct {
        const char* what;
        std::function<double(int)> sample;
    } cases[] = {
        {"all zeros", [](int) { return 0.0; }},
        {"flat", [](int) { return 300.0; }},
        {"flat with noise", [&](int) { return 300 + gauss(random); }},
        {"flat with drift and ripple",
         [](int n) { return 300 + n / 20.0 + 5 * std::sin(2 * 3.14159265 * n / 100); }},
        {"a single step", [](int n) { return n < 900 ? 300.0 : 700.0; }},
        {"a three-sample spike", [](int n) { return n >= 900 && n < 903 ? 900.0 : 300.0; }},
        {"a 0.3 ms disturbance",
         [](int n) { return n >= 900 && n < 903   ? 800.0
                            : n >= 903 && n < 906 ? 550.0
                                                  : 300.0; }},
        {"stages lost in the noise",
         [&](int n) {
             static const auto x = Samples({.levels = {300, 360, 330, 365, 305}});
             return x[n - 1] + gauss(random);
         }},
        {"steps in the last digit", [](int n) { return n < 900   ? 300.0
                                                       : n < 960 ? 302
                                                                 : 300; }},
    };
    for (const auto& c : cases) {
        std::vector<qint32> x(kSampleCount);
        for (int n = 1; n <= kSampleCount; ++n)
            x[n - 1] = qint32(std::nearbyint(c.sample(n)));
        EXPECT_FALSE(FindMarkers(x.data(), kSampleCount)) << c.what;
    }
}

TEST(FindMarkers, ReadsTheRecordsPhase) {
    TestRecord r;
    const auto x = Samples({});
    std::copy(x.begin(), x.end(), r.WaveB.begin());
    EXPECT_FALSE(FindMarkers(r, kPhaseA));
    const auto found = FindMarkers(r, kPhaseB);
    ASSERT_TRUE(found);
    EXPECT_EQ(found->t, (std::array<int, 4>{500, 600, 640, 720}));
    // ComputeResults takes them unchanged: T1 = 10.0 ms; R1 over samples
    // 500..600, the last of them bridging: (100 * 800 + 550) / 101 - 300.
    TransitionMarkers markers;
    markers.phase[1] = found->t;
    const TransitionResults res = ComputeResults(markers, r);
    EXPECT_EQ(res.phase[1].T1, 100);
    EXPECT_EQ(res.phase[1].R1, 498);
}
