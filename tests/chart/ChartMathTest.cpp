#include "ChartMath.h"
#include "Ruler.h"

#include <gtest/gtest.h>

TEST(ChartMath, PhaseBandsSwapWithInversion) {
    struct Case {
        int phase;
        bool inverted;
        double lower, upper;
    };
    const Case cases[] = {{1, false, 1, 11}, {2, false, 13, 23}, {3, false, 25, 35},
                          {1, true, 25, 35}, {2, true, 13, 23},  {3, true, 1, 11}};
    for (const Case& c : cases) {
        const auto [lower, upper] = PhaseBand(c.phase, c.inverted);
        EXPECT_DOUBLE_EQ(lower, c.lower) << c.phase << c.inverted;
        EXPECT_DOUBLE_EQ(upper, c.upper) << c.phase << c.inverted;
    }
    // The report's own range: 10..46 scales the same way.
    const auto [lower, upper] = PhaseBand(2, false, 10, 46);
    EXPECT_DOUBLE_EQ(lower, 23);
    EXPECT_DOUBLE_EQ(upper, 33);
    EXPECT_DOUBLE_EQ(ScaleFactor(7, 7, 11, 1), 0);
    EXPECT_DOUBLE_EQ(ScaleFactor(2687, 0, 11, 1), 10.0 / 2687);
}

TEST(ChartMath, PointerIndexRoundsHalvesToEven) {
    const std::pair<double, int> cases[] = {{12.34, 123},   {12.25, 122}, {12.35, 124},
                                            {0.05, 0},      {0.04, 0},    {268.85, 2688},
                                            {268.86, 2689}, {-3, -1},     {1e9, 2689}};
    for (const auto& [ms, index] : cases)
        EXPECT_EQ(IndexAtTime(ms), index) << ms;
}

TEST(ChartMath, MaxSampleAndDragLimits) {
    TestRecord r;
    EXPECT_EQ(MaxSample(r), 1000) << "all zero";
    r.WaveC[2687] = 4321;
    r.WaveB[0] = 77;
    EXPECT_EQ(MaxSample(r), 4321);
    r.WaveC[kSampleCount] = 99999; // the spare slot is not a sample
    EXPECT_EQ(MaxSample(r), 4321);

    const std::array<int, 4> t = {300, 400, 500, 600};
    EXPECT_EQ(DragLimits(t, 1), std::make_pair(0, 400));
    EXPECT_EQ(DragLimits(t, 2), std::make_pair(300, 500));
    EXPECT_EQ(DragLimits(t, 3), std::make_pair(400, 600));
    EXPECT_EQ(DragLimits(t, 4), std::make_pair(500, 2688));
    EXPECT_EQ(MarkerNumber(2, 2), 6);
    EXPECT_EQ(MarkerNumber(3, 4), 12);
}

TEST(Ruler, BandLabelsScaleToMaxValues) {
    const char* const expected[11] = {"0.0", "1.2", "2.5", "3.7",  "4.9", "6.2",
                                      "7.4", "8.6", "9.9", "11.1", "12.3"};
    for (int r = 1; r <= 11; ++r) {
        EXPECT_EQ(RulerText(r, 1234, false), QLatin1String(expected[r - 1])) << r;
        EXPECT_EQ(RulerText(12 + r, 1234, true), QLatin1String(expected[r - 1])) << r;
    }
    const std::tuple<int, bool, const char*> letters[] = {
        {0, false, "A"}, {12, false, "B"}, {24, false, "C"}, {36, false, ""}, {-12, false, ""},
        {0, true, ""},   {12, true, "C"},  {24, true, "B"},  {36, true, "A"}, {-5, false, "-6.0"}};
    for (const auto& [level, inverted, text] : letters)
        EXPECT_EQ(RulerText(level, 1000, inverted), QLatin1String(text)) << level << inverted;
    const std::tuple<int, bool, QColor> colors[] = {
        {0, false, QColor(255, 255, 0)}, {11, false, QColor(255, 255, 0)},
        {12, false, QColor(0, 128, 0)},  {35, false, QColor(255, 0, 0)},
        {36, false, QColor(0, 0, 0)},    {-1, false, QColor(0, 0, 0)},
        {12, true, QColor(255, 0, 0)},   {13, true, QColor(0, 128, 0)},
        {37, true, QColor(255, 255, 0)}, {38, true, QColor(0, 0, 0)}};
    for (const auto& [level, inverted, color] : colors)
        EXPECT_EQ(RulerColor(level, inverted), color) << level << inverted;
}

TEST(Ruler, LabelsStandLevelWithTheAxisUnits) {
    RulerProps p{0, 3600, 0, 1000, false, 8, 10};
    auto labels = RulerLabels(p, 512); // a chart of 551 pixels
    ASSERT_EQ(labels.size(), 36u) << "level 36 falls below the strip";
    EXPECT_EQ(labels.front().level, 0);
    EXPECT_EQ(labels.front().y, 3);
    EXPECT_EQ(labels.front().text, u"A");
    EXPECT_EQ(labels.front().pointSize, 13);
    EXPECT_EQ(labels.front().x, 10);
    EXPECT_EQ(labels.back().level, 35);
    EXPECT_EQ(labels.back().y, 491);
    EXPECT_EQ(labels[1].pointSize, 9);
    EXPECT_EQ(labels[1].x, 5);

    // Zoomed to 3.5 .. 20.2: labels start at level 4.
    p.IniAxis = 350;
    p.Partition = 1670;
    labels = RulerLabels(p, 512);
    ASSERT_FALSE(labels.empty());
    EXPECT_EQ(labels.front().level, 4);
    EXPECT_EQ(labels.back().level, 20);

    // Inverted: the range runs upward from the bottom.
    p = RulerProps{0, 3600, 0, 1000, true, 8, 10};
    labels = RulerLabels(p, 512);
    ASSERT_FALSE(labels.empty());
    EXPECT_EQ(labels.front().level, 1) << "level 0 falls below the strip";
    EXPECT_EQ(labels.back().level, 36);
    EXPECT_EQ(labels.back().text, u"A");

    // Panned above level 0: negative levels in black with negative values.
    p = RulerProps{0, 3600, -300, 1000, false, 8, 10};
    labels = RulerLabels(p, 512);
    EXPECT_EQ(labels.front().level, -3);
    EXPECT_EQ(labels.front().color, QColor(0, 0, 0));
    EXPECT_EQ(labels.front().text, u"-4.0");

    p.Partition = 0;
    EXPECT_TRUE(RulerLabels(p, 512).empty());
}
