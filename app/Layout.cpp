#include "Layout.h"

#include <algorithm>
#include <cmath>

LayoutMetrics ComputeLayout(int chartHeight) {
    LayoutMetrics m;
    m.a = int(std::nearbyint(kChartTopMarginPercent * chartHeight / 100));
    m.b = std::max(0, chartHeight - m.a - kTimeAxisRoom);
    const auto units = [&](int k) { return int(std::ceil(k * double(m.b) / 36)); };
    m.resultGroup = units(10);
    m.titleA = m.a + units(1);
    m.titleBC = units(2);
    m.paramPanel = units(16);
    m.paramTitle = units(2);
    m.systemGroup = units(7);
    m.cursorTitle = m.a + units(1);
    m.cursorGroup = units(7);
    m.invertGroup = units(2);
    const double c = 10 * double(m.b) / 36;
    for (int k = 1; k <= 9; ++k)
        m.R[k] = int(std::ceil(c * k / 8));
    return m;
}
