#pragma once

#include "SimWaveform.h"

#include <array>
#include <vector>

// What real captures carry besides clean stages. The default is the plain
// model of SimWaveform: four-sample ramps, a little uniform noise.
struct SimShape {
    double noise = -1; // standard deviation of Gaussian noise, 0.01 ohm; < 0: the plain noise
    int ramp = kSimRampSamples; // samples an edge takes (1: a step)
    bool bounce = false;        // contacts bounce: short spikes back after each edge
    double ripple = 0;          // amplitude of a 100 Hz ripple, 0.01 ohm
    double drift = 0;           // how far the level wanders over the window, 0.01 ohm
    bool inverted = false;      // levels fall where they would rise
    bool anywhere = false;      // the transition anywhere in the window, stages of 1 to 12 ms
    bool flat = false;          // no transition at all: the old tap's level throughout
};

struct SimCapture {
    std::array<qint32, kSimSamples> samples{};
    // The true instants, as sample indices (1-based): the first sample at or
    // past halfway between two stages' levels on the clean waveform; all 0
    // for a flat capture.
    std::array<int, 4> truth{};
    // The smallest of the four level steps, 0.01 ohm.
    int smallestStep = 0;
};

// Phases 1 = A, 2 = B, 3 = C; testIndex 0 is the live capture.
SimCapture SimCaptureOf(quint32 seed, int phase, int testIndex, const SimShape& shape);

// What oltc-sim --rough serves: noise, 1 ms ramps, bounce, ripple, drift.
SimShape RoughShape();

// The samples the tester sends: the plain model, or with `rough` a capture
// of RoughShape.
std::array<quint16, kSimSamples> SimSamples(quint32 seed, int phase, int testIndex, bool rough);
