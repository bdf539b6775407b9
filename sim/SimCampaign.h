#pragma once

#include "SimFrames.h"
#include "SimStoredTest.h"

#include <QList>
#include <QString>
#include <array>
#include <optional>

// A campaign kept in the tester: 20 tests of one tap changer, tests 1..10
// the taps up (0 -> 1 .. 9 -> 10), tests 11..20 down (10 -> 9 .. 1 -> 0),
// alike within a few percent, with the faults asked for.
inline constexpr int kSimCampaignTests = 20;

struct SimCampaignFault {
    enum Kind { Interruption, SlowPhase, WornResistor } kind = Interruption;
    int test = 1;  // 1..20
    int phase = 1; // 1 A, 2 B, 3 C
};

// "interruption:K[:P]", "slow:K[:P]", "worn:K[:P]" (P one of A, B, C; A
// when left out); nothing when the text is none of them.
std::optional<SimCampaignFault> ParseCampaignFault(const QString& text);

SimStoredTest CampaignTestOf(quint32 seed, int k);
std::array<quint16, kSimSamples> CampaignSamples(quint32 seed, int phase, int k,
                                                 const QList<SimCampaignFault>& faults);
