// The main window's interactive work, through its real handlers, under the
// offscreen platform.
#include "Application.h"
#include "ChartMath.h"
#include "TestFile.h"
#include "UDataCenter.h"
#include "UMain.h"
#include "WaveChart.h"

#include <QButtonGroup>
#include <QCursor>
#include <QMouseEvent>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <benchmark/benchmark.h>

namespace {

QString WriteTransition(const QTemporaryDir& dir) {
    TestRecord r;
    for (int p : {kPhaseA, kPhaseB, kPhaseC})
        for (int k = 1; k <= kSampleCount; ++k)
            r.WaveOf(p)[k - 1] = (k < 300 ? 20 : k < 600 ? 350 : k < 900 ? 40 : 330) + (k * 7) % 5;
    const QString path = dir.filePath("t.cty");
    WriteTestFile(path, r);
    return path;
}

// Everything the user waits for: queued replots done, boxes and chart painted.
void Settle(TFrmMain&) {
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
}

void BM_DragStep(benchmark::State& state) {
    QTemporaryDir dir;
    TFrmMain window(dir.path());
    window.show();
    (void)QTest::qWaitForWindowExposed(&window);
    window.OpenTestFile(WriteTransition(dir));
    window.sbbt->click();
    window.RGT->button(2)->click(); // t3 of phase B, free between 200 and 400
    QCoreApplication::processEvents();
    TWaveChart* chart = window.ChartA;
    const int left = int(chart->xAxis->coordToPixel(25));
    const int right = int(chart->xAxis->coordToPixel(35));
    int x = left;
    for (auto _ : state) {
        x = x == left ? right : left;
        const QPoint local(x, chart->height() / 2);
        const QPointF global = chart->mapToGlobal(QPointF(local));
        QCursor::setPos(global.toPoint());
        QMouseEvent move(QEvent::MouseMove, QPointF(local), global, Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QCoreApplication::sendEvent(chart, &move);
        Settle(window);
    }
    if (chart->MarkerIndex(MarkerNumber(kPhaseB, 3)) == 300)
        state.SkipWithError("the marker did not follow the pointer");
}
BENCHMARK(BM_DragStep)->Unit(benchmark::kMicrosecond);

void BM_ReplotOnly(benchmark::State& state) {
    QTemporaryDir dir;
    TFrmMain window(dir.path());
    window.show();
    (void)QTest::qWaitForWindowExposed(&window);
    window.OpenTestFile(WriteTransition(dir));
    for (auto _ : state)
        window.ChartA->replot(QCustomPlot::rpImmediateRefresh);
}
BENCHMARK(BM_ReplotOnly)->Unit(benchmark::kMicrosecond);

void BM_ShowResultsOnly(benchmark::State& state) {
    QTemporaryDir dir;
    TFrmMain window(dir.path());
    window.show();
    (void)QTest::qWaitForWindowExposed(&window);
    window.OpenTestFile(WriteTransition(dir));
    for (auto _ : state) {
        window.ShowResults();
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_ShowResultsOnly)->Unit(benchmark::kMicrosecond);

void BM_OpenAndShow(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = WriteTransition(dir);
    TFrmMain window(dir.path());
    window.show();
    (void)QTest::qWaitForWindowExposed(&window);
    for (auto _ : state) {
        window.OpenTestFile(path);
        Settle(window);
    }
}
BENCHMARK(BM_OpenAndShow)->Unit(benchmark::kMicrosecond);

void BM_CreateAndShowWindow(benchmark::State& state) {
    QTemporaryDir dir;
    for (auto _ : state) {
        TFrmMain window(dir.path());
        window.show();
        (void)QTest::qWaitForWindowExposed(&window);
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_CreateAndShowWindow)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    Application app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
