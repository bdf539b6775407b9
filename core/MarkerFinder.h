#pragma once

#include "TestRecord.h"

#include <QString>
#include <array>
#include <optional>

// The four instants of one phase's transition, found from its samples.
struct FoundMarkers {
    // Sample indices t1 <= t2 <= t3 <= t4: the first sample of the first
    // transition-resistor stage, of the bridging stage, of the second
    // resistor stage, and of the new tap's steady level. On a ramp, the
    // first sample past halfway between the two levels.
    std::array<int, 4> t{};
    std::array<double, 5> levels{}; // old tap, stage 1, bridging, stage 2, new tap; 0.01 ohm
    double noise = 0;               // estimated standard deviation of the noise, 0.01 ohm
    // How clearly the five levels stand out: the weakest of the margins by
    // which the steps clear the noise and the stages keep level, each as a
    // multiple of what the finder asks; a transition is reported from 1 on.
    double quality = 0;
};

// The transition of a phase (1 A, 2 B, 3 C), or nothing when its samples
// hold none: flat, all zeros, one or two steps, a pulse, a ramp, a decay,
// a square wave or a sine, or a disturbance too short or too small against
// the noise to be the three stages of a tap change.
std::optional<FoundMarkers> FindMarkers(const TestRecord& record, int phase);

// The same over bare samples (index 0 holds sample 1).
std::optional<FoundMarkers> FindMarkers(const qint32* samples, int count);

// FindMarkers for each phase the record's test draws (A, B, C); nothing for
// a phase that is not drawn or holds no transition.
std::array<std::optional<FoundMarkers>, 3> FindDrawnMarkers(const TestRecord& record);

// What the window's status bar says after placing them: "A、B、C 已自动定位",
// or with the drawn phases that hold no transition: "A 已自动定位，C 无跳变".
QString FoundPhasesText(const std::array<bool, 3>& drawn, const std::array<bool, 3>& found);
