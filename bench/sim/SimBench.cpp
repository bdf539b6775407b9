#include "SimEngine.h"
#include "SimWaveform.h"

#include <benchmark/benchmark.h>

namespace {

// A phase block is the largest answer; it must stay far below its 2.8 s on the line.
void BM_UploadPhaseBlock(benchmark::State& state) {
    SimConfig config;
    config.pollsBeforeReady = 1;
    SimEngine engine(config);
    engine.Respond(QByteArray::fromHex("F700000000000000"), false);
    engine.Respond(QByteArray::fromHex("F800000000000000"), false);
    const QByteArray request = QByteArray::fromHex("FA01000000000000");
    for (auto _ : state)
        benchmark::DoNotOptimize(engine.Respond(request, false));
}
BENCHMARK(BM_UploadPhaseBlock);

void BM_Waveform(benchmark::State& state) {
    quint32 seed = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(SimWaveform(++seed, 2, 0));
}
BENCHMARK(BM_Waveform);

} // namespace

BENCHMARK_MAIN();
