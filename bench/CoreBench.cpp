// Timing of the work a marker drag, an opened file and a save repeat.
#include "Analysis.h"
#include "TestFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

TestRecord Transition() {
    TestRecord r;
    for (int p : {kPhaseA, kPhaseB, kPhaseC})
        for (int k = 1; k <= kSampleCount; ++k)
            r.WaveOf(p)[k - 1] = k < 300 ? 20 : k < 600 ? 350 : k < 900 ? 40 : 330;
    return r;
}

void BM_ComputeResults(benchmark::State& state) {
    const TestRecord r = Transition();
    TransitionMarkers m;
    // Wide intervals: the most samples a mean can cover.
    for (auto& phase : m.phase)
        phase = {0, 1300, 1400, 2688};
    for (auto _ : state)
        benchmark::DoNotOptimize(ComputeResults(m, r));
}
BENCHMARK(BM_ComputeResults);

void BM_ComputeResultsStartMarkers(benchmark::State& state) {
    const TestRecord r = Transition();
    const TransitionMarkers m = StartMarkers(r.params);
    for (auto _ : state)
        benchmark::DoNotOptimize(ComputeResults(m, r));
}
BENCHMARK(BM_ComputeResultsStartMarkers);

void BM_ReadTestFile(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = dir.filePath("t.cty");
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(EncodeTestFile(Transition()));
    f.close();
    TestRecord r;
    for (auto _ : state)
        benchmark::DoNotOptimize(ReadTestFile(path, r));
}
BENCHMARK(BM_ReadTestFile);

// A save: written beside the old file, synced to the disk, put in its place.
void BM_WriteTestFile(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = dir.filePath("t.cty");
    const TestRecord r = Transition();
    for (auto _ : state)
        if (!WriteTestFile(path, r))
            state.SkipWithError("the test file could not be written");
}
BENCHMARK(BM_WriteTestFile)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
