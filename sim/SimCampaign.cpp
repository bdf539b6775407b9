#include "SimCampaign.h"

#include <QStringList>
#include <algorithm>
#include <cmath>
#include <random>

std::optional<SimCampaignFault> ParseCampaignFault(const QString& text) {
    const QStringList parts = text.split(u':');
    if (parts.size() < 2 || parts.size() > 3)
        return std::nullopt;
    SimCampaignFault fault;
    if (parts[0] == u"interruption")
        fault.kind = SimCampaignFault::Interruption;
    else if (parts[0] == u"slow")
        fault.kind = SimCampaignFault::SlowPhase;
    else if (parts[0] == u"worn")
        fault.kind = SimCampaignFault::WornResistor;
    else
        return std::nullopt;
    bool ok = false;
    fault.test = parts[1].toInt(&ok);
    if (!ok || fault.test < 1 || fault.test > kSimCampaignTests)
        return std::nullopt;
    if (parts.size() == 3) {
        const QString phase = parts[2].toUpper();
        if (phase != u"A" && phase != u"B" && phase != u"C")
            return std::nullopt;
        fault.phase = phase[0].unicode() - u'A' + 1;
    }
    return fault;
}

SimStoredTest CampaignTestOf(quint32 seed, int k) {
    SimStoredTest test;
    const bool up = k <= 10;
    const int tap = up ? k - 1 : 20 - k; // the lower tap of the two
    test.step = quint8(2 * tap + (up ? 1 : 0));
    test.year = 2026;
    test.month = 6;
    test.day = 1;
    test.hour = 9 + quint8(seed % 3);
    test.minute = quint8(2 * k);
    test.second = quint8(k * 7 % 60);
    test.user = "Wang";
    test.place = "Bay 7";
    test.threshold = 5;
    return test;
}

std::array<quint16, kSimSamples> CampaignSamples(quint32 seed, int phase, int k,
                                                 const QList<SimCampaignFault>& faults) {
    std::mt19937 rng(seed * 7919u + quint32(k) * 131u + quint32(phase));
    std::uniform_real_distribution<double> few(-0.02, 0.02);
    const bool up = k <= 10;
    // One tap changer: its resistors and contact times, a little of each phase's own.
    const double winding = 500 + 3 * k;
    const double r1 = 2000 + 25 * (phase - 2), r2 = 1990 - 20 * (phase - 2);
    double stage[3] = {100 * (1 + few(rng)), (up ? 40 : 44) * (1 + few(rng)), 100 * (1 + few(rng))};
    double resistor[2] = {r1 * (1 + few(rng)), r2 * (1 + few(rng))};
    bool interrupted = false;
    for (const SimCampaignFault& f : faults) {
        if (f.test != k || f.phase != phase)
            continue;
        if (f.kind == SimCampaignFault::SlowPhase)
            stage[1] *= 2;
        else if (f.kind == SimCampaignFault::WornResistor)
            resistor[1] *= 1.35;
        else
            interrupted = true;
    }
    const double t1 = 400 + 13 * (k % 5) + phase;
    const double edges[4] = {t1, t1 + stage[0], t1 + stage[0] + stage[1],
                             t1 + stage[0] + stage[1] + stage[2]};
    // The bridging stage holds both resistors in parallel.
    const double levels[5] = {winding, winding + resistor[0],
                              winding + resistor[0] * resistor[1] / (resistor[0] + resistor[1]),
                              winding + resistor[1], winding + 6};
    std::normal_distribution<double> noise(0, 8); // about 1 % of the smallest step
    std::array<quint16, kSimSamples> samples{};
    for (int i = 1; i <= kSimSamples; ++i) {
        double v = levels[0];
        for (int e = 0; e < 4; ++e) {
            // Two-sample ramps between the levels.
            const double part = std::clamp((i - edges[e] + 1) / 2.0, 0.0, 1.0);
            v += (levels[e + 1] - levels[e]) * part;
        }
        v += noise(rng);
        if (interrupted && i >= edges[1] + 10 && i < edges[1] + 14)
            v = 65535; // the current path opened
        samples[i - 1] = quint16(std::clamp(std::nearbyint(v), 0.0, 65535.0));
    }
    return samples;
}
