#pragma once

#include "TestRecord.h"

#include <array>

// Four sample indices t1..t4 (0..2688) per phase; a phase whose markers are
// not placed reads 0 for all four.
struct TransitionMarkers {
    std::array<std::array<int, 4>, 3> phase{}; // [0] A, [1] B, [2] C

    bool operator==(const TransitionMarkers&) const = default;
};

struct PhaseResults {
    qint32 T1 = 0, T2 = 0, T3 = 0, T = 0; // 0.1 ms
    qint32 R1 = 0, R2 = 0;                // 0.01 ohm
};

struct TransitionResults {
    std::array<PhaseResults, 3> phase{};
    qint32 dT1 = 0, dT2 = 0, dT3 = 0, dT0 = 0; // 0.1 ms
    qint32 dR1 = 0, dR2 = 0;                   // 0.01 ohm
    qint32 Loops = 0, Angle = 0;

    // The 26 values in their fixed order: A T1..R2, B, C, dT1 dT2 dT3 dT0 dR1 dR2 Loops Angle.
    std::array<qint32, 26> Values() const;
};

inline constexpr std::array<int, 4> kStartMarkers = {100, 200, 300, 400}; // 10..40 ms

// The phases the chart draws for a switch type and test mode.
std::array<bool, 3> DrawnPhases(quint8 switchType, quint8 testMode);

// Where a redraw puts the markers: start positions on drawn phases, 0 elsewhere.
TransitionMarkers StartMarkers(const TestParams& params);

// Mean of the samples a..b, both included, rounded halves to even; an
// empty range (b < a) sums to 0 over a count of |b - a + 1|, at least 1.
qint32 IntervalMean(const TestRecord& record, int phase, int a, int b);
qint32 Spread(qint32 x, qint32 y, qint32 z);
// The level at 1.0 ms that the resistances are measured above.
qint32 Baseline(const TestRecord& record, int phase);

TransitionResults ComputeResults(const TransitionMarkers& markers, const TestRecord& record);
