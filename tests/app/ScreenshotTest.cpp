#include "Screenshot.h"
#include "ChartMath.h"
#include "MainWindowFixture.h"

#include <QImage>
#include <QPushButton>
#include <QToolButton>

namespace {

int CountColor(const QImage& image, const QRect& area, const QColor& color) {
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            n += image.pixelColor(x, y) == color;
    return n;
}

} // namespace

TEST_F(MainWindowTest, TheWindowShowsTheWaveformsInTheirColours) {
    const QImage empty = KeepScreenshot(window.get(), "main-empty.png");
    // The plot, without the scale strip and its coloured labels.
    const QRect plot = window->ChartA->axisRect()->rect();
    const QRect chartArea(window->ChartA->mapTo(window.get(), plot.topLeft()), plot.size());
    EXPECT_EQ(CountColor(empty, chartArea, QColor(255, 255, 0)), 0);

    answer = WriteTest("t.cty");
    window->BtnOpen->click();
    window->ChartA->PlaceMarker(MarkerNumber(kPhaseB, 1), 50);
    window->ChartA->PlaceMarker(MarkerNumber(kPhaseB, 2), 250);
    window->ShowResults();
    window->ChartA->replot();
    const QImage shown = KeepScreenshot(window.get(), "main-test.png");
    EXPECT_GT(CountColor(shown, chartArea, QColor(255, 255, 0)), 200) << "phase A in yellow";
    EXPECT_GT(CountColor(shown, chartArea, QColor(0, 128, 0)), 200) << "phase B in green";
    EXPECT_GT(CountColor(shown, chartArea, QColor(255, 0, 0)), 200) << "phase C in red";
    EXPECT_GT(CountColor(shown, chartArea, QColor(0, 0, 255)), 50) << "dotted blue markers";
}
