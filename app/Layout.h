#pragma once

#include <array>

// The main window's proportional layout. Its unit is a thirty-sixth of the
// chart's plot height, the unit of the chart's vertical scale, so that each
// results group stands level with its phase's band.
struct LayoutMetrics {
    int a = 0; // chart's top margin, pixels
    int b = 0; // plot height, pixels
    int resultGroup = 0;
    int titleA = 0;
    int titleBC = 0;
    int paramPanel = 0;
    int paramTitle = 0; // also the title of "系统设置"
    int systemGroup = 0;
    int cursorTitle = 0;
    int cursorGroup = 0;
    int invertGroup = 0;
    std::array<int, 10> R{}; // row tops R1..R9 within a group; R[0] unused
};

inline constexpr double kChartTopMarginPercent = 3;
inline constexpr int kTimeAxisRoom = 32;

LayoutMetrics ComputeLayout(int chartHeight);
