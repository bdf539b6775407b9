#include "SimWaveform.h"

#include "SimRandom.h"

#include <algorithm>

SimTransition SimTransitionOf(quint32 seed, int phase, int testIndex) {
    // What the three phases share: the tap changer's timing and resistors.
    SimRandom test(seed, quint64(testIndex), 0x7A9);
    const int baseLevel = test.Range(250, 400);
    const int resistor1 = test.Range(400, 700);
    const int resistor2 = resistor1 + test.Range(-30, 30);
    const int tapStep = test.Range(5, 20) * (test.Range(0, 1) ? 1 : -1);
    const int start = test.Range(450, 650);
    const int t1 = test.Range(60, 120);
    const int t2 = test.Range(20, 60);
    const int t3 = test.Range(60, 120);

    // Each phase's contacts move a little apart from the others.
    SimRandom own(seed, quint64(testIndex), quint64(phase), 0x9F3);
    const int shift = (phase - 2) * own.Range(3, 15);
    auto spread = [&](int value) { return value + value * own.Range(-30, 30) / 1000; };
    const int level0 = spread(baseLevel);
    const int r1 = spread(resistor1);
    const int r2 = spread(resistor2);
    const int level1 = level0 + tapStep;

    SimTransition t;
    t.edges[0] = start + shift;
    t.edges[1] = t.edges[0] + t1 + own.Range(-5, 5);
    t.edges[2] = t.edges[1] + t2 + own.Range(-3, 3);
    t.edges[3] = t.edges[2] + t3 + own.Range(-5, 5);
    t.levels = {level0, level0 + r1, (level0 + level1) / 2 + r1 * r2 / (r1 + r2), level1 + r2,
                level1};
    return t;
}

std::array<quint16, kSimSamples> SimWaveform(quint32 seed, int phase, int testIndex) {
    const SimTransition t = SimTransitionOf(seed, phase, testIndex);
    SimRandom noise(seed, quint64(testIndex), quint64(phase), 0x401);
    std::array<quint16, kSimSamples> samples{};
    int stage = 0;
    for (int n = 1; n <= kSimSamples; ++n) {
        while (stage < 4 && n >= t.edges[stage])
            ++stage;
        int value = t.levels[stage];
        if (stage > 0) {
            const int into = n - t.edges[stage - 1] + 1;
            if (into < kSimRampSamples) {
                const int from = t.levels[stage - 1];
                value = from + (value - from) * into / kSimRampSamples;
            }
        }
        value += noise.Range(-kSimNoise, kSimNoise);
        samples[n - 1] = quint16(std::clamp(value, 0, 65535));
    }
    return samples;
}

quint16 SimRotation(quint32 seed, int testIndex) {
    SimRandom r(seed, quint64(testIndex), 0x207);
    return quint16(360 * r.Range(5, 30) + r.Range(0, 359));
}
