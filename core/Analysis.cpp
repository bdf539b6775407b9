#include "Analysis.h"

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <numeric>

namespace {

// Exact quotient of two integers, rounded to nearest with halves to even.
qint64 DivideRoundEven(qint64 sum, qint64 count) {
    qint64 q = sum / count;
    const qint64 r = sum % count; // same sign as sum
    const qint64 twice = 2 * std::llabs(r);
    if (twice > count || (twice == count && q % 2 != 0))
        q += sum < 0 ? -1 : 1;
    return q;
}

qint32 Clamp32(qint64 v) {
    return qint32(std::clamp<qint64>(v, std::numeric_limits<qint32>::min(),
                                     std::numeric_limits<qint32>::max()));
}

qint32 LevelAbove(qint64 mean, qint64 base) {
    return mean - base > 0 ? Clamp32(mean - base) : 0;
}

} // namespace

std::array<qint32, 26> TransitionResults::Values() const {
    std::array<qint32, 26> v{};
    int i = 0;
    for (const PhaseResults& p : phase)
        for (qint32 x : {p.T1, p.T2, p.T3, p.T, p.R1, p.R2})
            v[i++] = x;
    for (qint32 x : {dT1, dT2, dT3, dT0, dR1, dR2, Loops, Angle})
        v[i++] = x;
    return v;
}

std::array<bool, 3> DrawnPhases(quint8 switchType, quint8 testMode) {
    if (switchType == 0)
        return {true, true, true};
    if (switchType == 1 && testMode == 0)
        return {true, false, true};
    if (switchType == 1 && testMode == 1)
        return {true, true, false};
    return {true, false, false};
}

TransitionMarkers StartMarkers(const TestParams& params) {
    TransitionMarkers markers;
    const auto drawn = DrawnPhases(params.iSwitchType, params.iTestMode);
    for (int p = 0; p < 3; ++p)
        if (drawn[p])
            markers.phase[p] = kStartMarkers;
    return markers;
}

qint32 IntervalMean(const TestRecord& record, int phase, int a, int b) {
    // Indices outside 1..2688 read 0 (SampleAt), so only the overlap adds to the sum.
    const Wave& wave = record.WaveOf(phase);
    const int first = std::max(a, 1);
    const int last = std::min(b, kSampleCount);
    const qint64 sum =
        first > last ? 0 : std::accumulate(&wave[first - 1], &wave[last - 1] + 1, qint64(0));
    qint64 count = std::llabs(qint64(b) - a + 1);
    if (count == 0)
        count = 1;
    return Clamp32(DivideRoundEven(sum, count));
}

qint32 Spread(qint32 x, qint32 y, qint32 z) {
    return Clamp32(qint64(std::max({x, y, z})) - std::min({x, y, z}));
}

qint32 Baseline(const TestRecord& record, int phase) {
    return record.SampleAt(phase, 10);
}

TransitionResults ComputeResults(const TransitionMarkers& markers, const TestRecord& record) {
    TransitionResults r;
    for (int p = 0; p < 3; ++p) {
        const auto [t1, t2, t3, t4] = markers.phase[p];
        const int code = kPhaseA + p;
        PhaseResults& out = r.phase[p];
        out.T1 = t2 - t1;
        out.T2 = t3 - t2;
        out.T3 = t4 - t3;
        out.T = out.T1 + out.T2 + out.T3;
        const qint64 base = Baseline(record, code);
        out.R1 = LevelAbove(IntervalMean(record, code, t1, t2), base);
        out.R2 = LevelAbove(IntervalMean(record, code, t3, t4), base);
    }
    const auto& [a, b, c] = r.phase;
    r.dT1 = Spread(a.T1, b.T1, c.T1);
    r.dT2 = Spread(a.T2, b.T2, c.T2);
    r.dT3 = Spread(a.T3, b.T3, c.T3);
    r.dT0 = Spread(markers.phase[0][0], markers.phase[1][0], markers.phase[2][0]);
    r.dR1 = Spread(a.R1, b.R1, c.R1);
    r.dR2 = Spread(a.R2, b.R2, c.R2);
    r.Loops = record.iLoops;
    r.Angle = record.iAngle;
    return r;
}
