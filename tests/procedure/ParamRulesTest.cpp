#include "ParamRules.h"

#include <gtest/gtest.h>

namespace {

TEST(ParamRules, ThresholdsAndPreSamplesAsThePanelReadsThem) {
    // Single precision, then halves to even: 2.25 is 22, 0.05 just above a
    // half is 1, 0.04 is nothing.
    const std::pair<const char*, std::optional<int>> thresholds[] = {
        {"0.1", 1},    {"20", 200},         {" 2.25 ", 22}, {"0.05", 1}, {".3", 3},   {"12.", 120},
        {"20.01", {}}, {"0.04", {}},        {"", {}},       {"abc", {}}, {"1e1", {}}, {"-1", {}},
        {"1.2.3", {}}, {"99999999999", {}},
    };
    for (const auto& [text, tenths] : thresholds)
        EXPECT_EQ(ThresholdTenths(text), tenths) << text;

    const std::pair<const char*, std::optional<int>> points[] = {
        {"0", 0}, {" 255 ", 255}, {"256", {}}, {"12.5", {}}, {"", {}}, {"+5", {}}, {"-1", {}},
    };
    for (const auto& [text, n] : points)
        EXPECT_EQ(PreSamplePoints(text), n) << text;

    // The time box converts any number; 25.6 ms is 256 samples.
    EXPECT_EQ(TenthsOf("25.6"), 256);
    EXPECT_EQ(TenthsOf("4.5"), 45);
    EXPECT_EQ(TenthsOf("x"), std::nullopt);
}

} // namespace
