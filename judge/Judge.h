#pragma once

#include "Analysis.h"
#include "JudgeProfile.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <array>
#include <memory>
#include <optional>

// A test as the judge gets it: its samples, the markers it is judged by
// (the archive's latest revision, else those the finder placed) and which
// drawn phases hold a transition.
struct TestToJudge {
    QString id, file;
    std::shared_ptr<const TestRecord> record;
    TransitionMarkers markers;
    std::array<bool, 3> found{};                    // per phase A, B, C
    std::array<std::optional<double>, 3> quality{}; // the finder's, when it placed them
};

struct PhaseValues {
    bool drawn = false;
    bool found = false;
    std::optional<double> quality;
    std::array<int, 4> t{};
    double T1 = 0, T2 = 0, T3 = 0, T = 0; // ms
    double R1 = 0, R2 = 0;                // ohm
};

struct Finding {
    QString rule;   // interruption, time, resistance, sync, baseline, markers
    int phase = -1; // 0 A, 1 B, 2 C; -1 the whole test
    QString value;  // the value's name: "T1" ... "R2", "t1 spread", "sample"
    double measured = 0, reference = 0, limit = 0;
    QString text; // in words
};

enum class Verdict { Pass, Fail, Unknown };
QString VerdictName(Verdict verdict); // "pass", "fail", "unknown"

struct JudgedTest {
    QString id, file, time, user, place;
    int step = 0;
    bool up = false; // "->": an odd step of the list
    std::array<PhaseValues, 3> phases;
    double t1SpreadMs = 0; // over the phases drawn
    Verdict verdict = Verdict::Pass;
    QList<Finding> findings;
};

struct JudgedCampaign {
    QList<JudgedTest> tests; // up first, then down, each by tap step
    QStringList notes;       // rules skipped, and why
    Verdict overall = Verdict::Pass;
};

// The values of a test and the rules that need nothing else: interruption
// and markers (and the maker's ranges and nameplate from the profile).
JudgedTest JudgeTest(const TestToJudge& test, const JudgeProfile& profile);

// Every test against the others of its direction and against the baseline
// of its tap step and direction, when one is given.
JudgedCampaign JudgeCampaign(const QList<TestToJudge>& tests, const JudgeProfile& profile,
                             const QList<TestToJudge>& baselines = {});

// The same for one test against one baseline.
void JudgeAgainstBaseline(JudgedTest& test, const JudgedTest& baseline,
                          const JudgeProfile& profile);
