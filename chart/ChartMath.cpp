#include "ChartMath.h"

#include <algorithm>
#include <cmath>

std::pair<double, double> PhaseBand(int phase, bool inverted, double a, double b) {
    const int q = inverted ? 3 - phase : phase - 1;
    return {a + (b - a) * (12 * q + 1) / 36, a + (b - a) * (12 * q + 11) / 36};
}

double ScaleFactor(double largest, double smallest, double upper, double lower) {
    return largest == smallest ? 0 : (upper - lower) / (largest - smallest);
}

std::vector<double> BandLevels(const TestRecord& record, int phase, double lower, double upper) {
    qint32 largest = record.SampleAt(phase, 1);
    qint32 smallest = largest;
    for (int i = 1; i <= kSampleCount; ++i) {
        largest = std::max(largest, record.SampleAt(phase, i));
        smallest = std::min(smallest, record.SampleAt(phase, i));
    }
    const double f = ScaleFactor(largest, smallest, upper, lower);
    std::vector<double> levels(kSampleCount);
    for (int i = 1; i <= kSampleCount; ++i)
        levels[size_t(i - 1)] = lower + (double(record.SampleAt(phase, i)) - smallest) * f;
    return levels;
}

std::vector<double> LevelsOnScale(const TestRecord& shown, const TestRecord& other, int phase,
                                  double lower, double upper) {
    qint32 largest = shown.SampleAt(phase, 1);
    qint32 smallest = largest;
    for (int i = 1; i <= kSampleCount; ++i) {
        largest = std::max(largest, shown.SampleAt(phase, i));
        smallest = std::min(smallest, shown.SampleAt(phase, i));
    }
    const double f = ScaleFactor(largest, smallest, upper, lower);
    const auto [low, high] = std::minmax(lower, upper);
    std::vector<double> levels(kSampleCount);
    for (int i = 1; i <= kSampleCount; ++i)
        levels[size_t(i - 1)] =
            std::clamp(lower + (double(other.SampleAt(phase, i)) - smallest) * f, low, high);
    return levels;
}

int IndexAtTime(double ms) {
    const double index = std::nearbyint(ms * 10);
    // Far outside the chart reads as outside the samples, never as overflow.
    return index < -1 ? -1 : index > kSampleCount + 1 ? kSampleCount + 1 : int(index);
}

qint32 MaxSample(const TestRecord& record) {
    qint32 largest = record.SampleAt(kPhaseA, 1);
    for (int p : {kPhaseA, kPhaseB, kPhaseC})
        for (int i = 1; i <= kSampleCount; ++i)
            largest = std::max(largest, record.SampleAt(p, i));
    return largest == 0 ? 1000 : largest;
}

std::pair<int, int> DragLimits(const std::array<int, 4>& t, int j) {
    const int lower = j == 1 ? 0 : t[j - 2];
    const int upper = j == 4 ? kSampleCount : t[j];
    return {lower, upper};
}
