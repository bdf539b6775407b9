#pragma once

#include "SimWaveform.h"

#include <array>
#include <vector>

// Shapes that hold no tap change, for checking that none is reported.
enum class SimNone {
    Transition, // not one of them: a tap change
    Flat,       // the old tap's level (with whatever noise, drift, ripple)
    Step,       // one step anywhere
    TwoSteps,   // two steps of any signs, 1 to 30 ms apart
    Spike,      // 1 to 3 samples off the level
    Pulse,      // a level away and back, 1 to 30 ms
    Square,     // a square wave of 2 to 40 ms period
    Ramp,       // a straight line across the window, of any slope
    Decay,      // an exponential decay from the window's start
    Sine,       // a sine of 5 to 300 ms period
};

// What real captures carry besides clean stages. The default is the plain
// model of SimWaveform: four-sample ramps, a little uniform noise. The
// fields from `settle` on widen the world; off, seeds give what they gave.
struct SimShape {
    double noise = -1; // standard deviation of Gaussian noise, 0.01 ohm; < 0: the plain noise
    int ramp = kSimRampSamples; // samples an edge takes (1: a step)
    bool bounce = false;        // contacts bounce: short spikes back after each edge
    double ripple = 0;          // amplitude of a 100 Hz ripple, 0.01 ohm
    double drift = 0;           // how far the level wanders over the window, 0.01 ohm
    bool inverted = false;      // levels fall where they would rise
    bool anywhere = false;      // the transition anywhere in the window, stages of 1 to 12 ms
    bool flat = false;          // no transition at all: the old tap's level throughout
    double settle = 0;          // > 0: edges settle first-order with this time constant, samples
    bool unlike = false;        // second resistor 0.5 to 2 times the first, new tap up to 10 % off
    bool wide = false;          // stages of 1 to 12 ms each, the first edge from 3 ms on
    bool backBounce = false;    // 1 to 2 samples back at the level before the first and
                                // the last contact, 0.2 to 1.5 ms after it
    bool impulses = false;      // one sample in 500 off by up to 80 % of the smallest step
    SimNone none = SimNone::Transition;
};

struct SimCapture {
    std::array<qint32, kSimSamples> samples{};
    // The true instants, as sample indices (1-based): the first sample at or
    // past halfway between two stages' levels on the clean waveform; all 0
    // for a flat capture.
    std::array<int, 4> truth{};
    // The smallest of the four level steps, 0.01 ohm; for a shape that is
    // no transition, the size of its own change (the flat one's: that of
    // the transition it stands for).
    int smallestStep = 0;
};

// Phases 1 = A, 2 = B, 3 = C; testIndex 0 is the live capture.
SimCapture SimCaptureOf(quint32 seed, int phase, int testIndex, const SimShape& shape);

// What oltc-sim --rough serves: noise, 1 ms ramps, bounce, ripple, drift.
SimShape RoughShape();

// The samples the tester sends: the plain model, or with `rough` a capture
// of RoughShape.
std::array<quint16, kSimSamples> SimSamples(quint32 seed, int phase, int testIndex, bool rough);
