#include "Analysis.h"
#include "ResultBoxes.h"

#include <functional>
#include <gtest/gtest.h>

namespace {

// Sample k of a phase is level(k), for k = 1..2688.
void Fill(TestRecord& r, int phase, const std::function<qint32(int)>& level) {
    for (int k = 1; k <= kSampleCount; ++k)
        r.WaveOf(phase)[k - 1] = level(k);
}

// 0 for the first ten samples, then 300: a step well before the markers.
qint32 StepAt11(int k) {
    return k <= 10 ? 0 : 300;
}

} // namespace

TEST(Analysis, DefaultMarkersOnAStepGiveHandWorkedResults) {
    TestRecord r;
    for (int p : {kPhaseA, kPhaseB, kPhaseC})
        Fill(r, p, StepAt11);
    const TransitionResults res = ComputeResults(StartMarkers(r.params), r);
    for (const PhaseResults& p : res.phase) {
        EXPECT_EQ(p.T1, 100);
        EXPECT_EQ(p.T2, 100);
        EXPECT_EQ(p.T3, 100);
        EXPECT_EQ(p.T, 300);
        EXPECT_EQ(p.R1, 300);
        EXPECT_EQ(p.R2, 300);
    }
    EXPECT_EQ(res.dT0, 0);
    EXPECT_EQ(res.dT1, 0);
    EXPECT_EQ(res.dR1, 0);
}

TEST(Analysis, ResistancesAreIntervalMeansAboveTheBaseline) {
    struct Case {
        const char* name;
        std::function<qint32(int)> level;
        std::array<int, 4> t;
        qint32 T1, R1, R2;
    };
    const Case cases[] = {
        // The stage lies below the level at 1.0 ms: never negative.
        {"below baseline",
         [](int k) { return k <= 150 ? 500 : 200; },
         {100, 200, 300, 400},
         100,
         0,
         0},
        // Baseline 500 at sample 10; stage 1 mean (51*500 + 50*800) / 101 = 648.51 -> 649.
        {"mixed stage",
         [](int k) { return k <= 150 ? 500 : 800; },
         {100, 200, 300, 400},
         100,
         149,
         300},
        // One-sample interval: sample 250 minus the baseline.
        {"one sample", [](int k) { return k == 250 ? 777 : 7; }, {250, 250, 300, 400}, 0, 770, 0},
        // Index 0 reads 0 and counts: 40000 / 101 = 396 lies below the baseline 400.
        {"index zero counts",
         [](int k) { return k <= 100 ? 400 : 1000; },
         {0, 100, 300, 400},
         100,
         0,
         600},
        // Two samples 12, 13: 12.5 -> 12; 13, 14: 13.5 -> 14 (baseline 0).
        {"half to even down",
         [](int k) { return k == 500   ? 12
                            : k == 501 ? 13
                                       : 0; },
         {500, 501, 501, 501},
         1,
         12,
         13},
        {"half to even up",
         [](int k) { return k == 500   ? 13
                            : k == 501 ? 14
                                       : 0; },
         {500, 501, 501, 501},
         1,
         14,
         14},
        // Markers at the very end: sample 2688 is the last one.
        {"last sample",
         [](int k) { return k == 2688 ? 900 : 0; },
         {2688, 2688, 2688, 2688},
         0,
         900,
         900},
        // Reversed markers: negative durations, an empty range sums to 0.
        {"reversed", [](int) { return 50; }, {300, 200, 100, 0}, -100, 0, 0},
    };
    for (const Case& c : cases) {
        TestRecord r;
        Fill(r, kPhaseA, c.level);
        TransitionMarkers m;
        m.phase[0] = c.t;
        const PhaseResults a = ComputeResults(m, r).phase[0];
        EXPECT_EQ(a.T1, c.T1) << c.name;
        EXPECT_EQ(a.R1, c.R1) << c.name;
        EXPECT_EQ(a.R2, c.R2) << c.name;
        EXPECT_EQ(a.T, c.t[3] - c.t[0]) << c.name;
    }
}

TEST(Analysis, IntervalMeanAndSpreadEdges) {
    TestRecord r;
    Fill(r, kPhaseA, [](int k) { return k <= 100 ? 400 : 0; });
    Fill(r, kPhaseB, [](int k) { return k % 2 ? -25 : 0; }); // odd samples -25
    struct Case {
        int phase, a, b;
        qint32 mean;
    };
    const Case cases[] = {
        {kPhaseA, 0, 100, 396},                         // index 0 reads 0 and counts: 40000 / 101
        {kPhaseA, 1, 100, 400},   {kPhaseB, 1, 2, -12}, // -12.5: halves go to the even neighbour
        {kPhaseB, 1, 10, -12},                          // -125 / 10
        {kPhaseB, 1, 5, -15},     {kPhaseB, 1, 3, -17}, // -16.67
        {kPhaseB, 2, 2, 0},       {kPhaseB, 5, 4, 0}, // empty: sum 0 over a count of 0, taken as 1
        {kPhaseB, 5, 2, 0},                           // empty: sum 0 over 2
        {kPhaseB, -10, 0, 0},                         // outside the samples
        {kPhaseB, 2689, 3000, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IntervalMean(r, c.phase, c.a, c.b), c.mean)
            << c.phase << ": " << c.a << ".." << c.b;

    const std::array<std::array<qint32, 4>, 5> spreads = {
        {{1, 2, 3, 2}, {3, 1, 2, 2}, {-5, 0, 5, 10}, {7, 7, 7, 0}, {0, -100, 0, 100}}};
    for (const auto& [x, y, z, s] : spreads)
        EXPECT_EQ(Spread(x, y, z), s) << x << "," << y << "," << z;
}

TEST(Analysis, DrawnPhasesFollowSwitchTypeAndMode) {
    struct Case {
        quint8 type, mode;
        std::array<bool, 3> drawn;
    };
    const Case cases[] = {
        {0, 0, {true, true, true}},     {0, 5, {true, true, true}},   {1, 0, {true, false, true}},
        {1, 1, {true, true, false}},    {1, 2, {true, false, false}}, {2, 0, {true, false, false}},
        {255, 1, {true, false, false}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DrawnPhases(c.type, c.mode), c.drawn) << int(c.type) << "/" << int(c.mode);
        TestParams params;
        params.iSwitchType = c.type;
        params.iTestMode = c.mode;
        const TransitionMarkers m = StartMarkers(params);
        for (int p = 0; p < 3; ++p)
            EXPECT_EQ(m.phase[p], (c.drawn[p] ? kStartMarkers : std::array<int, 4>{}))
                << int(c.type) << "/" << int(c.mode) << " phase " << p;
    }
}

TEST(Analysis, UndrawnPhaseTakesPartInTheSpreadsWithZeros) {
    TestRecord r;
    r.params.iSwitchType = 1; // (A.C)->B: B is not drawn
    r.params.iTestMode = 0;
    for (int p : {kPhaseA, kPhaseB, kPhaseC})
        Fill(r, p, StepAt11);
    TransitionMarkers m = StartMarkers(r.params);
    m.phase[2] = {120, 250, 300, 400}; // C moved
    const char rotation[] = {char(1000 >> 8), char(1000 & 0xFF)};
    r.StoreRotation(QByteArrayView(rotation, 2));

    const TransitionResults res = ComputeResults(m, r);
    EXPECT_EQ(res.phase[1].T, 0);
    EXPECT_EQ(res.phase[1].R1, 0);
    EXPECT_EQ(res.dT0, 120);
    EXPECT_EQ(res.dT1, 130); // the larger of A.T1 = 100 and C.T1 = 130
    EXPECT_EQ(res.dT2, 100);
    EXPECT_EQ(res.dR1, 300);
    EXPECT_EQ(res.Loops, 2);
    EXPECT_EQ(res.Angle, 280);

    const std::array<qint32, 26> expected = {100, 100, 100, 300, 300, 300, // A
                                             0,   0,   0,   0,   0,   0,   // B
                                             130, 50,  100, 280, 300, 300, // C
                                             130, 100, 100, 120, 300, 300, 2, 280};
    EXPECT_EQ(res.Values(), expected);

    const auto boxes = ResultBoxTexts(res);
    ASSERT_EQ(boxes.size(), 26u);
    const std::pair<const char*, const char*> shown[] = {
        {"EdtAT1", "10.0"}, {"EdtAR1", "3.00"}, {"EdtBT1", "0.0"}, {"EdtBR2", "0.00"},
        {"EdtCT1", "13.0"}, {"EdtCT2", "5.0"},  {"EdtCT", "28.0"}, {"EdtDT1", "13.0"},
        {"EdtDT", "12.0"},  {"EdtDR1", "3.00"}, {"EdtLoop", "2"},  {"EdtAngle", "280"},
    };
    for (const auto& [name, text] : shown) {
        const auto it = std::find_if(boxes.begin(), boxes.end(), [&](const ResultBox& b) {
            return qstrcmp(b.name, name) == 0;
        });
        ASSERT_NE(it, boxes.end()) << name;
        EXPECT_EQ(it->text, QLatin1String(text)) << name;
    }
}
