#pragma once

#include <QByteArray>
#include <QString>
#include <array>
#include <optional>

// What a test is judged against: the tolerances of the comparisons, and
// what the tap changer's maker gives, when the engineer has it.
struct JudgeProfile {
    double timeTolerance = 0.20;       // of the campaign's median or the baseline's value
    double timeFloorMs = 1.0;          // a time difference below this is never a fault
    double resistanceTolerance = 0.10; // of the median, the baseline or the nameplate
    double syncFactor = 3.0;           // times the campaign's median spread of t1
    double syncFloorMs = 1.0;
    int campaignMinimum = 5; // tests of a direction the campaign rules need

    // The maker's: T1, T2, T3, T in ms; the nameplate R1 and R2 in ohm; the
    // largest spread of t1 over the phases in ms.
    std::array<std::optional<double>, 4> timeMin, timeMax;
    std::array<std::optional<double>, 2> nameplate;
    std::optional<double> syncLimitMs;
};

// A profile file in the program's settings format:
//   [Tolerances]  Time=20 (%), TimeFloor=1.0 (ms), Resistance=10 (%),
//                 SyncFactor=3, SyncFloor=1.0 (ms), CampaignMinimum=5
//   [Maker]       T1Min= T1Max= T2Min= ... TMin= TMax= (ms), R1= R2= (ohm), Sync= (ms)
// Keys left out keep the defaults; nothing, and the reason in `why`, when a
// value is not a number or out of its range.
std::optional<JudgeProfile> ParseJudgeProfile(const QByteArray& content, QString* why = nullptr);
std::optional<JudgeProfile> ReadJudgeProfile(const QString& path, QString* why = nullptr);
