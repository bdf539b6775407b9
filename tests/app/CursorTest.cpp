#include "ChartMath.h"
#include "Helpers.h"
#include "MainWindowFixture.h"
#include "Screenshot.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCursor>
#include <QLineEdit>
#include <QToolButton>

namespace {

// Points of a series as (x, y) pairs.
std::vector<std::pair<double, double>> Points(const QCPGraph* graph) {
    std::vector<std::pair<double, double>> points;
    for (auto it = graph->data()->constBegin(); it != graph->data()->constEnd(); ++it)
        points.emplace_back(it->key, it->value);
    return points;
}

} // namespace

class CursorTest : public MainWindowTest {
protected:
    void OpenTest(quint8 switchType = 0) {
        answer = WriteTest("t.cty", switchType);
        window->BtnOpen->click();
        ASSERT_TRUE(Record().HasData);
    }
    // Points the mouse at a time (ms) of the chart and lets the chart see it.
    void MoveTo(double ms) {
        TWaveChart* chart = window->ChartA;
        const QPoint local(int(std::lround(chart->xAxis->coordToPixel(ms))), chart->height() / 2);
        // The same position twice makes no move event: step off it first.
        QTest::mouseMove(chart, local + QPoint(0, 1));
        QCursor::setPos(chart->mapToGlobal(local));
        QTest::mouseMove(chart, local);
    }
    // Fine pixels: a tenth of a millisecond is several pixels wide.
    void ZoomAround(double ms) {
        window->ChartA->xAxis->setRange(ms - 5, ms + 5);
        window->ChartA->replot();
    }
};

TEST_F(CursorTest, RampFillsItsBandAndInversionMovesItAndTheMarkers) {
    for (int k = 1; k <= kSampleCount; ++k)
        Record().WaveA[k - 1] = k - 1;
    Record().params.iSwitchType = 1; // (A.C)->B
    Record().params.iTestMode = 0;
    window->RedrawChart();
    TWaveChart* chart = window->ChartA;
    auto a = Points(chart->Series(0));
    ASSERT_EQ(a.size(), 2688u);
    EXPECT_DOUBLE_EQ(a.front().first, 0.1);
    EXPECT_DOUBLE_EQ(a.front().second, 1);
    EXPECT_DOUBLE_EQ(a.back().first, 268.8);
    EXPECT_DOUBLE_EQ(a.back().second, 11);
    // C is flat zeros: on its band's lower limit. B is not drawn.
    EXPECT_DOUBLE_EQ(Points(chart->Series(2)).front().second, 25);
    EXPECT_DOUBLE_EQ(Points(chart->Series(2)).back().second, 25);
    EXPECT_TRUE(chart->Series(1)->data()->isEmpty());
    EXPECT_EQ(chart->Markers().phase[1], (std::array<int, 4>{0, 0, 0, 0}));

    Record().HasData = true;
    chart->PlaceMarker(1, 777);
    window->cbInverted->click();
    a = Points(chart->Series(0));
    EXPECT_DOUBLE_EQ(a.front().second, 25);
    EXPECT_DOUBLE_EQ(a.back().second, 35);
    EXPECT_FALSE(chart->yAxis->rangeReversed());
    EXPECT_EQ(chart->Markers().phase[0], (std::array<int, 4>{100, 200, 300, 400}));
    EXPECT_EQ(Box("EdtAT1"), u"10.0") << "results follow the markers back";
    window->cbInverted->click();
    EXPECT_TRUE(chart->yAxis->rangeReversed());
}

TEST_F(CursorTest, InversionWithoutATestRedrawsTheEmptyChart) {
    TWaveChart* chart = window->ChartA;
    window->ClearTestDisplay();
    window->cbInverted->click();
    const QCPRange full = chart->xAxis->range();
    chart->xAxis->setRange(50, 60);
    window->cbInverted->click();
    EXPECT_EQ(chart->xAxis->range(), full) << "the zoom is undone";
    // Zero samples lie flat on phase A's lower limit (upright: 1).
    const auto a = Points(chart->Series(0));
    ASSERT_EQ(a.size(), 2688u);
    EXPECT_DOUBLE_EQ(a.front().second, 1);
    EXPECT_DOUBLE_EQ(a.back().second, 1);
    EXPECT_EQ(chart->Markers().phase[0], (std::array<int, 4>{100, 200, 300, 400}));
    EXPECT_FALSE(Record().HasData);
    EXPECT_TRUE(Box("EdtAT1").isEmpty()) << "no results without a test";
    window->ChartA->replot();
    KeepScreenshot(window.get(), "main-inverted-without-test.png");
}

TEST_F(CursorTest, PlaceMarkerDrawsAcrossItsBandOnly) {
    TWaveChart* chart = window->ChartA;
    chart->PlaceMarker(6, 1234);
    const auto points = Points(chart->MarkerSeries(6));
    ASSERT_EQ(points.size(), 2u);
    EXPECT_DOUBLE_EQ(points[0].first, 123.4);
    EXPECT_DOUBLE_EQ(points[0].second, 13);
    EXPECT_DOUBLE_EQ(points[1].first, 123.4);
    EXPECT_DOUBLE_EQ(points[1].second, 23);
    EXPECT_EQ(chart->MarkerIndex(6), 1234);
    const TransitionMarkers before = chart->Markers();
    chart->PlaceMarker(0, 100);
    chart->PlaceMarker(13, 100);
    EXPECT_EQ(chart->Markers(), before);
    EXPECT_EQ(chart->MarkerSeries(6)->pen().style(), Qt::DotLine);
    EXPECT_EQ(chart->MarkerSeries(6)->pen().color(), QColor(0, 0, 255));
}

TEST_F(CursorTest, ReadOutShowsTheSamplesUnderThePointer) {
    MoveTo(30);
    EXPECT_TRUE(window->EdtMouseTime->text().isEmpty()) << "no test: the read-out stays";
    OpenTest();
    ZoomAround(12.34);
    MoveTo(12.34);
    EXPECT_EQ(window->EdtMouseTime->text(), u"12.3");
    EXPECT_EQ(window->EdtXA->text(), u"3.00");
    ZoomAround(40);
    MoveTo(40);
    EXPECT_EQ(window->EdtMouseTime->text(), u"40.0");
    EXPECT_EQ(window->EdtXB->text(), u"3.22");
    ZoomAround(0);
    MoveTo(0);
    EXPECT_EQ(window->EdtXC->text(), u"0.00") << "index 0 lies outside the samples";

    const QString last = window->EdtMouseTime->text();
    window->ClearTestDisplay();
    MoveTo(30);
    EXPECT_EQ(window->EdtMouseTime->text(), last) << "kept after the read-out stops";
}

TEST_F(CursorTest, AChosenMarkerFollowsThePointerBetweenItsNeighbours) {
    OpenTest();
    TWaveChart* chart = window->ChartA;
    chart->PlaceMarker(MarkerNumber(kPhaseB, 1), 300);
    chart->PlaceMarker(MarkerNumber(kPhaseB, 3), 500);
    chart->PlaceMarker(MarkerNumber(kPhaseB, 2), 400);
    chart->PlaceMarker(MarkerNumber(kPhaseB, 4), 600);
    window->sbbt->click();
    EXPECT_FALSE(window->SBat->isChecked());
    window->RGT->button(1)->click(); // t2
    QApplication::processEvents();   // the posted Escape
    ASSERT_TRUE(window->DragMode());

    struct Step {
        double ms;
        int t2;
    };
    for (const Step s : {Step{45.0, 450}, Step{52.0, 450}, Step{30.0, 300}, Step{50.0, 500}}) {
        ZoomAround(s.ms);
        MoveTo(s.ms);
        EXPECT_EQ(window->EdtMouseTime->text(), FixedText(qint64(s.ms * 10), 1));
        EXPECT_EQ(chart->MarkerIndex(MarkerNumber(kPhaseB, 2)), s.t2) << s.ms;
        EXPECT_EQ(Box("EdtBT1"), FixedText(s.t2 - 300, 1)) << s.ms;
    }
    EXPECT_EQ(chart->MarkerIndex(MarkerNumber(kPhaseA, 2)), 200) << "other phases stay";

    // A left click fixes the marker: no marker chosen, no more dragging.
    QTest::mouseClick(chart, Qt::LeftButton, {}, QPoint(chart->width() / 2, chart->height() / 2));
    QApplication::processEvents();
    EXPECT_FALSE(window->DragMode());
    EXPECT_EQ(window->RGT->checkedId(), -1);
    QTest::mousePress(chart, Qt::RightButton, {}, QPoint(100, 100));
    QApplication::processEvents();
    EXPECT_TRUE(window->DragMode());
    EXPECT_TRUE(window->PanButtonDown());
    QTest::mouseRelease(chart, Qt::RightButton, {}, QPoint(100, 100));
    EXPECT_FALSE(window->PanButtonDown());
    ZoomAround(42.0);
    MoveTo(42.0);
    EXPECT_EQ(chart->MarkerIndex(MarkerNumber(kPhaseB, 2)), 500) << "no marker chosen";

    // Clicking the phase that is down releases it: no phase, no dragging of any marker.
    window->RGT->button(1)->click();
    window->sbbt->click();
    QApplication::processEvents();
    EXPECT_FALSE(window->sbbt->isChecked());
    MoveTo(41.0);
    EXPECT_EQ(chart->MarkerIndex(MarkerNumber(kPhaseB, 2)), 500);
}

TEST_F(CursorTest, ArrowKeysNudgeThePointerAndTheWheelDoesNothing) {
    OpenTest();
    TWaveChart* chart = window->ChartA;
    const QPoint start = chart->mapToGlobal(QPoint(200, 100));
    QCursor::setPos(start);
    QTest::keyClick(window->EdtUser, Qt::Key_Left);
    EXPECT_EQ(QCursor::pos(), start - QPoint(1, 0));
    QTest::keyClick(chart, Qt::Key_Right);
    QTest::keyClick(chart, Qt::Key_Right);
    EXPECT_EQ(QCursor::pos(), start + QPoint(1, 0));
    EXPECT_EQ(QApplication::focusWidget(), chart);

    const QCPRange x = chart->xAxis->range();
    QWheelEvent wheel(QPointF(200, 100), chart->mapToGlobal(QPointF(200, 100)), {}, {0, 120},
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(chart, &wheel);
    EXPECT_EQ(chart->xAxis->range(), x);
}

TEST_F(CursorTest, RectangleZoomsLeftwardsUndoesAndTheRightButtonPans) {
    OpenTest();
    TWaveChart* chart = window->ChartA;
    const QRect plot = chart->axisRect()->rect();
    const auto drag = [&](Qt::MouseButton button, QPoint from, QPoint to) {
        QTest::mousePress(chart, button, {}, from);
        QMouseEvent move(QEvent::MouseMove, QPointF(to), chart->mapToGlobal(QPointF(to)), button,
                         button, Qt::NoModifier);
        QApplication::sendEvent(chart, &move);
        QTest::mouseRelease(chart, button, {}, to);
        QApplication::processEvents();
    };
    drag(Qt::LeftButton, plot.topLeft() + QPoint(100, 50), plot.topLeft() + QPoint(200, 250));
    ASSERT_TRUE(chart->IsZoomed());
    const RulerProps zoomed = chart->Ruler()->Props();
    EXPECT_LT(zoomed.Partition, 3600);
    EXPECT_EQ(zoomed.IniAxis, int(std::nearbyint(chart->yAxis->range().lower * 100)));

    drag(Qt::LeftButton, plot.topLeft() + QPoint(200, 250), plot.topLeft() + QPoint(100, 50));
    EXPECT_FALSE(chart->IsZoomed()) << "a rectangle dragged leftwards undoes the zoom";
    EXPECT_EQ(chart->Ruler()->Props().Partition, 3600);

    const QPoint middle = plot.center();
    drag(Qt::RightButton, middle, middle + QPoint(-50, 40));
    EXPECT_GT(chart->xAxis->range().lower, 0) << "dragged left: later times come into view";
    EXPECT_LT(chart->yAxis->range().lower, 0) << "dragged down on the reversed axis";
    EXPECT_EQ(chart->Ruler()->Props().IniAxis,
              int(std::nearbyint(chart->yAxis->range().lower * 100)))
        << "the strip follows the panning";
    EXPECT_FALSE(window->PanButtonDown());
}
