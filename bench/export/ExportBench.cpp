// The exports in process: what "导出" costs after the dialog, and the
// offscreen chart of the command line.
#include "ChartPicture.h"
#include "ChartStyle.h"
#include "Document.h"
#include "WaveformCsv.h"
#include "Workbook.h"

#include <QApplication>
#include <QFont>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

ShownTest Sample() {
    TestRecord r;
    for (int p : {kPhaseA, kPhaseB, kPhaseC})
        for (int k = 1; k <= kSampleCount; ++k)
            r.WaveOf(p)[k - 1] = (k < 100   ? 50
                                  : k < 200 ? 1500
                                  : k < 300 ? 900
                                  : k < 400 ? 1400
                                            : 52) +
                                 (k * 7) % 5;
    r.strTestTime.Set("2026-12-09 10:31:07");
    r.HasData = true;
    return ShownTestOf(r, StartMarkers(r.params), false, {}, 1);
}

// The window's chart, drawn once, as "导出" grabs it.
const QImage& Chart() {
    static const QImage chart = DrawChartPicture(Sample());
    return chart;
}

void BM_Workbook(benchmark::State& state) {
    QTemporaryDir dir;
    const ShownTest shown = Sample();
    for (auto _ : state)
        if (!WriteWorkbook(shown, Chart(), dir.filePath("t.xlsx")).ok())
            state.SkipWithError("not written");
}
BENCHMARK(BM_Workbook)->Unit(benchmark::kMillisecond);

void BM_Document(benchmark::State& state) {
    QTemporaryDir dir;
    const ShownTest shown = Sample();
    for (auto _ : state)
        if (!WriteDocument(shown, Chart(), QStringLiteral(OLTC_TEMPLATE_PATH),
                           dir.filePath("t.docx"))
                 .ok())
            state.SkipWithError("not written");
}
BENCHMARK(BM_Document)->Unit(benchmark::kMillisecond);

void BM_WaveformCsv(benchmark::State& state) {
    QTemporaryDir dir;
    const ShownTest shown = Sample();
    for (auto _ : state)
        if (!WriteWaveformCsv(shown.record, dir.filePath("t.csv")).ok())
            state.SkipWithError("not written");
}
BENCHMARK(BM_WaveformCsv)->Unit(benchmark::kMillisecond);

void BM_PngOfChart(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(PngOf(Chart()));
}
BENCHMARK(BM_PngOfChart)->Unit(benchmark::kMillisecond);

void BM_OffscreenChart(benchmark::State& state) {
    const ShownTest shown = Sample();
    for (auto _ : state)
        benchmark::DoNotOptimize(DrawChartPicture(shown));
}
BENCHMARK(BM_OffscreenChart)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    app.setFont(QFont(SongtiFamily(), 9)); // the window's font, for the chart's labels
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
