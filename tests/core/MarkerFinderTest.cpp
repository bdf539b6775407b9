#include "MarkerFinder.h"
#include "Analysis.h"
#include "BothBouncesCapture.h"

#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <random>

namespace {

struct Shape {
    std::array<int, 4> edges{500, 600, 640, 720}; // first samples of the stages, 1-based
    std::array<int, 5> levels{300, 800, 550, 820, 310};
    int ramp = 1;                                 // samples an edge takes
    std::function<double(int n)> extra = nullptr; // added to sample n
    double settle = 0; // > 0: edges settle first-order with this time constant, samples
};

// Sample n of a transition: the levels, joined by linear ramps that start at
// each edge.
std::vector<qint32> Samples(const Shape& s) {
    std::vector<qint32> x(kSampleCount);
    double settled = s.levels[0];
    for (int n = 1; n <= kSampleCount; ++n) {
        int stage = 0;
        while (stage < 4 && n >= s.edges[stage])
            ++stage;
        double v = s.levels[stage];
        if (s.settle > 0) {
            settled = v + (settled - v) * std::exp(-1 / s.settle);
            v = settled;
        } else if (stage > 0 && n - s.edges[stage - 1] + 1 < s.ramp) {
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

// What the wider world of captures holds: each case has its markers within
// a sample of where an engineer puts them, and says how clearly.
TEST(FindMarkers, HoldsOnSettlingEdgesUnlikeStagesBounceAndImpulses) {
    std::mt19937 random(11);
    std::normal_distribution<double> gauss(0, 1);
    struct Case {
        const char* what;
        Shape shape;
        std::array<int, 4> expected;
    };
    // 31.7 -> 57.8 -> 45.8 -> 73.4 -> 29.1 ohm, stages of 9.9, 2.3 and 4.2 ms,
    // noise 3 % of the smallest step (12 ohm): once reported as none.
    Shape unlike{.edges = {600, 699, 722, 764}, .levels = {3170, 5780, 4580, 7340, 2910}};
    unlike.extra = [&](int) { return 36 * gauss(random); };
    // Falling: the stages below the steady level.
    Shape falling{.levels = {3000, 1200, 1900, 1500, 2800}, .ramp = 6};
    falling.extra = [&](int) { return 6 * gauss(random); };
    // Time constant 0.4 ms: past halfway on the third sample (1 - e^-0.75).
    Shape settling{.settle = 4};
    // Bounce back to the old level 0.5 ms after the first and the last contact.
    Shape back;
    back.extra = [](int n) { return n == 505 || n == 506 ? -500.0 : n == 726 ? 510.0 : 0.0; };
    // Single samples off by up to 80 % of the smallest step (250).
    Shape impulses;
    impulses.extra = [](int n) {
        return n == 300 ? 200.0 : n == 560 ? -200.0 : n == 660 ? 190.0 : n == 1500 ? -150.0 : 0.0;
    };
    const Case cases[] = {
        {"unlike stages", unlike, {600, 699, 722, 764}},
        {"falling", falling, {503, 603, 643, 723}},
        {"settling edges", settling, {502, 602, 642, 722}},
        {"bounce to the old level", back, {500, 600, 640, 720}},
        {"impulses", impulses, {500, 600, 640, 720}},
    };
    for (const Case& c : cases) {
        const auto found = Find(c.shape);
        ASSERT_TRUE(found) << c.what;
        for (int j = 0; j < 4; ++j)
            EXPECT_NEAR(found->t[j], c.expected[j], 1) << c.what << " t" << j + 1;
        EXPECT_GE(found->quality, 1) << c.what;
    }
    // Clean steps stand out more clearly than the same under noise.
    Shape noisy;
    noisy.extra = [&](int) { return 10 * gauss(random); };
    EXPECT_GT(Find(Shape{})->quality, 2 * Find(noisy)->quality);
}

// Where bounce and chatter crowd short stages, each marker stands on its own
// edge: never a stage off, never before a stray.
TEST(FindMarkers, PlacesEachMarkerOnItsEdgeThroughBounceAndChatter) {
    struct Case {
        const char* what;
        Shape shape;
        std::map<int, qint32> set; // samples n replaced by these values
        std::array<int, 4> expected;
        int tolerance;
    };
    // Two 2-sample spikes 60 % back after each edge: four of the ten samples
    // of a 1 ms stage. Once: no transition.
    Shape spikes{.edges = {500, 590, 680, 690}};
    spikes.extra = [s = spikes](int n) {
        for (int k = 0; k < 4; ++k)
            if (const int after = n - s.edges[k];
                after == 1 || after == 2 || after == 4 || after == 5)
                return 0.6 * (s.levels[k] - s.levels[k + 1]);
        return 0.0;
    };
    // Falling, settling (0.32 ms: past halfway on the third sample), a first
    // stage of 1 ms, bounce and a spring back to the old level after the
    // first and the last contact. Once: t2 a whole stage late (535), t3 and
    // t4 on the last edge and its bounce.
    const Shape shortFirst{
        .edges = {423, 433, 533, 604}, .levels = {3800, 2250, 2787, 925, 3790}, .settle = 3.2};
    const std::map<int, qint32> shortFirstBounce = {
        {431, 3165}, {432, 3790}, {434, 3212}, {545, 2336}, {546, 2326}, {549, 2444},
        {550, 2433}, {615, 2171}, {616, 2176}, {619, 931},  {620, 921}};
    // Chatter every third sample after each edge, halfway back, over stages
    // of 1.5 ms: the level is the samples between, not the chatter.
    const Shape chattering{.edges = {500, 515, 530, 545}};
    std::map<int, qint32> chatter;
    for (int k = 0; k < 4; ++k)
        for (const int after : {3, 6, 9})
            chatter[chattering.edges[k] + after] =
                (chattering.levels[k] + chattering.levels[k + 1]) / 2;
    const Shape quickRamps{.ramp = 4}, slowRamps{.ramp = 6};
    const Case cases[] = {
        {"chatter every third sample", chattering, chatter, {500, 515, 530, 545}, 0},
        // Chatter of the first edge 0.5 ms before the bridging edge ends,
        // past that edge's halfway (685). Once placed on it: t3 = 635.
        {"a stray sample before an edge", {}, {{635, 750}}, {500, 600, 640, 720}, 0},
        {"spikes over short stages", spikes, {}, {500, 590, 680, 690}, 0},
        // Chatter of the first edge out past the bridging edge's halfway
        // and back to the very level of the stage, twice, just before that
        // edge. Once placed on the first: t2 = 595.
        {"strays back to the stage's level", {}, {{595, 650}, {597, 660}}, {500, 600, 640, 720}, 0},
        // Out, back to near the level, out again, and the level holding for
        // three samples before the edge. Once: t2 = 594.
        {"strays and the level holding",
         {},
         {{594, 650}, {595, 790}, {596, 660}},
         {500, 600, 640, 720},
         0},
        {"a 1 ms first stage among bounce", shortFirst, shortFirstBounce, {425, 435, 535, 606}, 1},
        // The first contact springs back to the old level and then part of
        // the way: three samples back after two on the new level. Once: t1 =
        // 505.
        {"both bounces after reaching the level",
         {},
         {{502, 300}, {503, 300}, {504, 500}},
         {500, 600, 640, 720},
         0},
        // A 0.4 ms ramp whose halfway sample the noise puts just short of
        // halfway (550), then two samples back at the old level. Once: t1 =
        // 504, the first sample past halfway after the bounce.
        {"bounce breaking a ramp",
         quickRamps,
         {{501, 548}, {502, 300}, {503, 300}},
         {501, 601, 641, 721},
         0},
        // Chatter of the bridging edge past the next edge's halfway (685),
        // the sample before that edge's 0.6 ms ramp sets out. Once: t3 = 639.
        {"a stray just before a slow edge", slowRamps, {{639, 760}}, {502, 602, 642, 722}, 0},
    };
    for (const Case& c : cases) {
        auto x = Samples(c.shape);
        for (const auto& [n, v] : c.set)
            x[size_t(n - 1)] = v;
        const auto found = FindMarkers(x.data(), int(x.size()));
        if (!found) {
            ADD_FAILURE() << c.what << ": no transition";
            continue;
        }
        for (int j = 0; j < 4; ++j)
            EXPECT_NEAR(found->t[j], c.expected[j], c.tolerance) << c.what << " t" << j + 1;
    }
}

// Both kinds of bounce after one contact read, through the median of 9, as
// a short stage beside a stage missed. Once: no transition.
TEST(FindMarkers, SeesPastBothKindsOfBounceAtOnce) {
    // The recorded stretch in the middle of the window, each side filled out
    // with its first or last 50 samples over again (the same noise).
    const auto& w = kBothBouncesCapture;
    constexpr int kBefore = 15 * 50;
    std::vector<qint32> x;
    while (int(x.size()) < kBefore)
        x.insert(x.end(), w.begin(), w.begin() + 50);
    x.insert(x.end(), w.begin(), w.end());
    while (int(x.size()) < kSampleCount)
        x.insert(x.end(), w.end() - 50, w.end());
    x.resize(kSampleCount);
    const auto found = FindMarkers(x.data(), int(x.size()));
    ASSERT_TRUE(found);
    // Where the stretch's instants land: moved by what was put before it.
    constexpr std::array<int, 4> kInstants{741, 757, 855, 944};
    for (int j = 0; j < 4; ++j)
        EXPECT_NEAR(found->t[j], kInstants[j] + kBefore - 640, 1) << "t" << j + 1;
}

// Shapes that hold no tap change are never reported as one, however large.
TEST(FindMarkers, RampsDecaysAndWavesAreNoTransition) {
    std::mt19937 random(5);
    std::normal_distribution<double> gauss(0, 3);
    constexpr double pi = 3.14159265358979;
    const struct {
        const char* what;
        std::function<double(int)> sample;
    } cases[] = {
        // 4 to 14 ohm across the window: once found at T = 6.2 ms.
        {"a straight ramp", [](int n) { return 400 + 1000.0 * (n - 1) / (kSampleCount - 1); }},
        {"a steep ramp with noise",
         [&](int n) { return 9000 - 8000.0 * n / kSampleCount + gauss(random); }},
        {"a gentle ramp", [](int n) { return 300 + 40.0 * n / kSampleCount; }},
        {"an exponential decay", [](int n) { return 400 + 2000 * std::exp(-n / 150.0); }},
        {"a square wave", [](int n) { return n % 200 < 100 ? 300.0 : 800.0; }},
        {"a sine", [&](int n) { return 1000 + 500 * std::sin(2 * pi * n / 600) + gauss(random); }},
        {"a pulse of 8 ms", [](int n) { return n >= 900 && n < 980 ? 800.0 : 300.0; }},
        // Four steps, two of them one way: a stage would be missing. Both
        // once found as a transition.
        {"a staircase up, then back",
         [](int n) {
             return n < 900 ? 300.0 : n < 960 ? 500 : n < 1000 ? 700 : n < 1080 ? 900 : 300;
         }},
        {"a jump, then a staircase down",
         [](int n) {
             return n < 900 ? 300.0 : n < 960 ? 800 : n < 1000 ? 600 : n < 1080 ? 400 : 300;
         }},
        {"two steps", [](int n) { return n < 900    ? 300.0
                                         : n < 1000 ? 700.0
                                                    : 500.0; }},
        {"ringing after a knock",
         [](int n) {
             return n < 900 ? 300.0
                            : 300 + 600 * std::exp(-(n - 900) / 60.0) *
                                        std::cos(2 * pi * (n - 900) / 40);
         }},
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
