#pragma once

#include "SimFrames.h"

#include <QtGlobal>
#include <array>

// One phase of a tap change as the tester records it: the old tap's steady
// level, the first transition resistor in circuit, both resistors bridging
// the taps, the second resistor, then the new tap's level.
struct SimTransition {
    // First sample (1-based) of stage 1, bridging, stage 2, new tap.
    std::array<int, 4> edges{};
    // Old tap, stage 1, bridging, stage 2, new tap; 0.01 ohm.
    std::array<int, 5> levels{};
};

inline constexpr int kSimRampSamples = 4; // each edge takes this many samples
inline constexpr int kSimNoise = 2;       // samples stray at most this far from their level

// testIndex 0 is the live capture, 1..255 the tests kept in the tester.
// Phases 1 = A, 2 = B, 3 = C; the phases differ by small offsets.
SimTransition SimTransitionOf(quint32 seed, int phase, int testIndex);
// The samples the tester sends, 0.01 ohm each, 0.1 ms apart.
std::array<quint16, kSimSamples> SimWaveform(quint32 seed, int phase, int testIndex);
// The drive's rotation in degrees (several whole turns and a rest).
quint16 SimRotation(quint32 seed, int testIndex);
