#pragma once

#include "Analysis.h"
#include "TestRecord.h"

#include <utility>
#include <vector>

// Each phase has its own band of the chart's common vertical scale 0..36:
// A on top, C at the bottom; inversion swaps which end of a band is high.
// For a vertical range a..b: (lower, upper).
std::pair<double, double> PhaseBand(int phase, bool inverted, double a = 0, double b = 36);

double ScaleFactor(double largest, double smallest, double upper, double lower);

// The levels samples 1..2688 of a phase are drawn at within the band
// lower..upper: the smallest sample on lower, the largest on upper (all on
// lower when they are equal).
std::vector<double> BandLevels(const TestRecord& record, int phase, double lower, double upper);

// The samples of a phase of `other` on the scale that BandLevels gives the
// same phase of `shown`, kept within the band.
std::vector<double> LevelsOnScale(const TestRecord& shown, const TestRecord& other, int phase,
                                  double lower, double upper);

// Markers 1..12: marker tj of phase p is 4(p - 1) + j.
inline constexpr int MarkerNumber(int phase, int j) {
    return 4 * (phase - 1) + j;
}

// The sample index under a time in ms, halves to even.
int IndexAtTime(double ms);

// Largest sample of the three phases, or 1000 when that is 0.
qint32 MaxSample(const TestRecord& record);

// The range (both ends included) marker tj (j = 1..4) of one phase may move in.
std::pair<int, int> DragLimits(const std::array<int, 4>& phaseMarkers, int j);
