#include "SampleTests.h"

#include "TestFile.h"

#include <memory>
#include <random>

QByteArray SampleTestBytes(unsigned seed, const QString& place, const QString& user, int step,
                           const QString& time) {
    std::mt19937 rng(seed);
    auto record = std::make_unique<TestRecord>();
    record->params.iTestStep = quint8(step);
    record->strTestTime.SetText(time);
    record->strTestUser.SetText(user);
    record->strTestAdd.SetText(place);
    std::normal_distribution<double> noise(0, 8);
    for (int phase = kPhaseA; phase <= kPhaseC; ++phase) {
        const int start = 300 + int(rng() % 200);
        const double steady = 400 + rng() % 300, r1 = 2000 + rng() % 1500;
        const double levels[] = {steady, r1, r1 / 2, r1 * 0.9, steady};
        const int edges[] = {start, start + 40, start + 80, start + 120};
        Wave& wave = record->WaveOf(phase);
        for (int i = 0; i < kSampleCount; ++i) {
            int stage = 0;
            while (stage < 4 && i >= edges[stage])
                ++stage;
            wave[i] = std::clamp(int(std::nearbyint(levels[stage] + noise(rng))), 0, 65535);
        }
    }
    record->iLoops = 3;
    record->iAngle = int(rng() % 360);
    return EncodeTestFile(*record);
}
