// The main window's interactive work, through its real handlers, under the
// offscreen platform.
#include "Application.h"
#include "ChartMath.h"
#include "PortNames.h"
#include "ReportPainter.h"
#include "SerialFront.h"
#include "TQRMain.h"
#include "TestFile.h"
#include "UDataCenter.h"
#include "UDlgPreview.h"
#include "UMain.h"
#include "UQRMain.h"
#include "WaveChart.h"

#include <QButtonGroup>
#include <QCursor>
#include <QMouseEvent>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
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

// "打印" to the preview on screen with its page laid out. Argument 1: the
// simulated tester answers the brand query at 115200 bit/s, with the link's
// fixed pauses of 200 ms; 0: no USB bridge, the query fails at once, which
// leaves the program's own work.
void BM_PrintToPreview(benchmark::State& state) {
    const bool tester = state.range(0) == 1;
    QTemporaryDir dir;
    SimConfig config;
    config.baudIndex = 12;
    SerialFront front(config);
    QString error;
    if (tester && !front.Start(dir.path(), 1, &error)) {
        state.SkipWithError(error.toStdString().c_str());
        return;
    }
    SetPortsFolder(dir.filePath("ports"));
    TFrmMain window(dir.path());
    UDataCenter().settings.giCommStyle = tester ? 1 : 0;
    UDataCenter().settings.giCommPort = 1;
    UDataCenter().settings.giBaudRate = 12;
    window.show();
    (void)QTest::qWaitForWindowExposed(&window);
    window.OpenTestFile(WriteTransition(dir));
    for (auto _ : state) {
        QTimer::singleShot(0, &window, [&] {
            TFrmPreview* preview = window.QRMain->OpenPreview();
            if (!preview || !QTest::qWaitForWindowExposed(preview))
                state.SkipWithError("no preview");
            state.PauseTiming();
            if (preview)
                preview->close();
        });
        window.BtnPrint->click();
        state.ResumeTiming();
    }
    if (window.Link().State().Brand != (tester ? 1 : 0))
        state.SkipWithError("the brand query went otherwise");
    front.Stop();
    SetPortsFolder({});
}
BENCHMARK(BM_PrintToPreview)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_ReportPdf(benchmark::State& state) {
    QTemporaryDir dir;
    TFrmMain window(dir.path());
    window.OpenTestFile(WriteTransition(dir));
    const ReportPage page = ReportFill(window.ShownNow());
    for (auto _ : state)
        benchmark::DoNotOptimize(ReportPdf(page));
}
BENCHMARK(BM_ReportPdf)->Unit(benchmark::kMillisecond);

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
