#include "Judge.h"

#include "Helpers.h"

#include <QCoreApplication>
#include <algorithm>
#include <cmath>

namespace {

constexpr int kFullScale = 65535;
constexpr int kMargin = 10; // samples: 1 ms either side of the transition

const char* const kPhaseNames[] = {"A", "B", "C"};
const char* const kTimeNames[] = {"T1", "T2", "T3", "T"};

double TimeOf(const PhaseValues& p, int i) {
    return i == 0 ? p.T1 : i == 1 ? p.T2 : i == 2 ? p.T3 : p.T;
}

double ResistanceOf(const PhaseValues& p, int i) {
    return i == 0 ? p.R1 : p.R2;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

QString Number(double v, int decimals) {
    return QString::number(v, 'f', decimals);
}

// The median of the samples a..b of a phase (both included): a stage's
// level, which a spike in it does not lift.
double Level(const TestRecord& record, int phase, int a, int b) {
    if (b < a)
        return 0;
    std::vector<int> samples;
    for (int i = a; i <= b; ++i)
        samples.push_back(record.SampleAt(phase, i));
    std::nth_element(samples.begin(), samples.begin() + samples.size() / 2, samples.end());
    return samples[samples.size() / 2];
}

void Add(JudgedTest& test, Finding finding) {
    test.findings.append(std::move(finding));
}

// The current path must never open: a sample at the tester's full scale, or
// far above every level of the transition.
void CheckInterruption(JudgedTest& judged, const TestRecord& record) {
    for (int p = 0; p < 3; ++p) {
        const PhaseValues& v = judged.phases[p];
        if (!v.drawn)
            continue;
        const int phase = p + 1;
        int from = 1, to = kSampleCount;
        double largest = -1;
        if (v.found) {
            from = std::max(1, v.t[0] - kMargin);
            to = std::min(kSampleCount, v.t[3] + kMargin);
            const int edges[] = {
                std::max(1, v.t[0] - 2 * kMargin),           v.t[0], v.t[1], v.t[2], v.t[3],
                std::min(kSampleCount, v.t[3] + 2 * kMargin)};
            for (int s = 0; s < 5; ++s)
                largest = std::max(largest, Level(record, phase, edges[s], edges[s + 1] - 1));
        }
        for (int i = from; i <= to; ++i) {
            const int sample = record.SampleAt(phase, i);
            const bool open = sample >= kFullScale || (largest > 0 && sample > 5 * largest);
            if (!open)
                continue;
            Add(judged, {QStringLiteral("interruption"), p, QStringLiteral("sample"),
                         sample / 100.0, largest > 0 ? largest / 100.0 : 0,
                         sample >= kFullScale ? 655.35 : 5 * largest / 100.0,
                         QCoreApplication::translate("Judge", "%1相：%2 ms 处电流中断（%3 Ω）")
                             .arg(QLatin1String(kPhaseNames[p]), Number(i / 10.0, 1),
                                  Number(sample / 100.0, 2))});
            break;
        }
    }
}

void CheckMaker(JudgedTest& judged, const JudgeProfile& profile) {
    for (int p = 0; p < 3; ++p) {
        const PhaseValues& v = judged.phases[p];
        if (!v.drawn || !v.found)
            continue;
        for (int i = 0; i < 4; ++i) {
            const double value = TimeOf(v, i);
            const auto& low = profile.timeMin[i];
            const auto& high = profile.timeMax[i];
            if ((low && value < *low) || (high && value > *high))
                Add(judged, {QStringLiteral("time"), p, QLatin1String(kTimeNames[i]), value,
                             low && value < *low ? *low : *high, low && value < *low ? *low : *high,
                             QCoreApplication::translate(
                                 "Judge", "%1相：%2 = %3 ms，超出厂家规定的 %4 至 %5 ms")
                                 .arg(QLatin1String(kPhaseNames[p]), QLatin1String(kTimeNames[i]),
                                      Number(value, 1), low ? Number(*low, 1) : QStringLiteral("0"),
                                      high ? Number(*high, 1) : QStringLiteral("—"))});
        }
        for (int i = 0; i < 2; ++i) {
            const auto& plate = profile.nameplate[i];
            const double value = ResistanceOf(v, i);
            if (plate && std::abs(value - *plate) > profile.resistanceTolerance * *plate)
                Add(judged, {QStringLiteral("resistance"), p, QStringLiteral("R%1").arg(i + 1),
                             value, *plate, profile.resistanceTolerance * *plate,
                             QCoreApplication::translate(
                                 "Judge", "%1相：R%2 = %3 Ω，与铭牌值 %4 Ω 相差超过 %5%")
                                 .arg(QLatin1String(kPhaseNames[p]))
                                 .arg(i + 1)
                                 .arg(Number(value, 2), Number(*plate, 2),
                                      Number(profile.resistanceTolerance * 100, 0))});
        }
    }
    if (profile.syncLimitMs && judged.t1SpreadMs > *profile.syncLimitMs)
        Add(judged,
            {QStringLiteral("sync"), -1, QStringLiteral("t1 spread"), judged.t1SpreadMs,
             *profile.syncLimitMs, *profile.syncLimitMs,
             QCoreApplication::translate("Judge", "三相起始时刻相差 %1 ms，超过厂家规定的 %2 ms")
                 .arg(Number(judged.t1SpreadMs, 1), Number(*profile.syncLimitMs, 1))});
}

void Settle(JudgedTest& judged) {
    judged.verdict = Verdict::Pass;
    for (const Finding& f : judged.findings)
        if (f.rule != u"markers") {
            judged.verdict = Verdict::Fail;
            return;
        }
    if (!judged.findings.isEmpty())
        judged.verdict = Verdict::Unknown;
}

// A difference beyond the tolerance of `reference`, never below the floor.
bool Beyond(double value, double reference, double tolerance, double floor, double* limit) {
    *limit = std::max(tolerance * std::abs(reference), floor);
    return std::abs(value - reference) > *limit;
}

} // namespace

QString VerdictName(Verdict verdict) {
    switch (verdict) {
    case Verdict::Pass:
        return QStringLiteral("pass");
    case Verdict::Fail:
        return QStringLiteral("fail");
    case Verdict::Unknown:
        return QStringLiteral("unknown");
    }
    return {};
}

JudgedTest JudgeTest(const TestToJudge& test, const JudgeProfile& profile) {
    JudgedTest judged;
    judged.id = test.id;
    judged.file = test.file;
    if (!test.record)
        return judged;
    const TestRecord& record = *test.record;
    judged.time = record.strTestTime.Text();
    judged.user = record.strTestUser.Text();
    judged.place = record.strTestAdd.Text();
    judged.step = record.params.iTestStep;
    judged.up = judged.step % 2 == 1;
    const std::array<bool, 3> drawn =
        DrawnPhases(record.params.iSwitchType, record.params.iTestMode);
    const TransitionResults results = ComputeResults(test.markers, record);
    int firstT1 = -1, lastT1 = -1;
    for (int p = 0; p < 3; ++p) {
        PhaseValues& v = judged.phases[p];
        v.drawn = drawn[p];
        v.found = drawn[p] && test.found[p];
        v.quality = test.quality[p];
        v.t = test.markers.phase[p];
        const PhaseResults& r = results.phase[p];
        v.T1 = r.T1 / 10.0;
        v.T2 = r.T2 / 10.0;
        v.T3 = r.T3 / 10.0;
        v.T = r.T / 10.0;
        v.R1 = r.R1 / 100.0;
        v.R2 = r.R2 / 100.0;
        if (v.drawn && !v.found)
            Add(judged, {QStringLiteral("markers"),
                         p,
                         {},
                         0,
                         0,
                         0,
                         QCoreApplication::translate("Judge", "%1相：未找到过渡过程，无法判断")
                             .arg(QLatin1String(kPhaseNames[p]))});
        if (v.found) {
            firstT1 = firstT1 < 0 ? v.t[0] : std::min(firstT1, v.t[0]);
            lastT1 = std::max(lastT1, v.t[0]);
        }
    }
    judged.t1SpreadMs = firstT1 < 0 ? 0 : (lastT1 - firstT1) / 10.0;
    CheckInterruption(judged, record);
    CheckMaker(judged, profile);
    Settle(judged);
    return judged;
}

void JudgeAgainstBaseline(JudgedTest& test, const JudgedTest& baseline,
                          const JudgeProfile& profile) {
    for (int p = 0; p < 3; ++p) {
        const PhaseValues& v = test.phases[p];
        const PhaseValues& b = baseline.phases[p];
        if (!v.found || !b.found)
            continue;
        double limit = 0;
        for (int i = 0; i < 4; ++i)
            if (Beyond(TimeOf(v, i), TimeOf(b, i), profile.timeTolerance, profile.timeFloorMs,
                       &limit))
                Add(test, {QStringLiteral("baseline"), p, QLatin1String(kTimeNames[i]),
                           TimeOf(v, i), TimeOf(b, i), limit,
                           QCoreApplication::translate("Judge", "%1相：%2 = %3 ms，基准为 %4 ms")
                               .arg(QLatin1String(kPhaseNames[p]), QLatin1String(kTimeNames[i]),
                                    Number(TimeOf(v, i), 1), Number(TimeOf(b, i), 1))});
        for (int i = 0; i < 2; ++i)
            if (Beyond(ResistanceOf(v, i), ResistanceOf(b, i), profile.resistanceTolerance, 0,
                       &limit))
                Add(test, {QStringLiteral("baseline"), p, QStringLiteral("R%1").arg(i + 1),
                           ResistanceOf(v, i), ResistanceOf(b, i), limit,
                           QCoreApplication::translate("Judge", "%1相：R%2 = %3 Ω，基准为 %4 Ω")
                               .arg(QLatin1String(kPhaseNames[p]))
                               .arg(i + 1)
                               .arg(Number(ResistanceOf(v, i), 2), Number(ResistanceOf(b, i), 2))});
    }
    Settle(test);
}

JudgedCampaign JudgeCampaign(const QList<TestToJudge>& tests, const JudgeProfile& profile,
                             const QList<TestToJudge>& baselines) {
    JudgedCampaign campaign;
    for (const TestToJudge& t : tests)
        campaign.tests.append(JudgeTest(t, profile));
    // Up first, then down, each by tap step; the order given among equals.
    std::stable_sort(campaign.tests.begin(), campaign.tests.end(),
                     [](const JudgedTest& a, const JudgedTest& b) {
                         return a.up != b.up ? a.up : a.step < b.step;
                     });
    for (const bool up : {true, false}) {
        QList<JudgedTest*> group;
        for (JudgedTest& t : campaign.tests)
            if (t.up == up)
                group.append(&t);
        if (group.isEmpty())
            continue;
        const QString direction = up ? QStringLiteral("->") : QStringLiteral("<-");
        if (group.size() < profile.campaignMinimum) {
            campaign.notes << QCoreApplication::translate(
                                  "Judge", "%1：%2 次测试，分接间比较至少需要 %3 次，未比较")
                                  .arg(direction)
                                  .arg(group.size())
                                  .arg(profile.campaignMinimum);
            continue;
        }
        for (int p = 0; p < 3; ++p) {
            std::array<std::vector<double>, 6> values; // T1 T2 T3 T R1 R2
            for (const JudgedTest* t : group)
                if (t->phases[p].found) {
                    for (int i = 0; i < 4; ++i)
                        values[i].push_back(TimeOf(t->phases[p], i));
                    for (int i = 0; i < 2; ++i)
                        values[4 + i].push_back(ResistanceOf(t->phases[p], i));
                }
            if (int(values[0].size()) < profile.campaignMinimum)
                continue;
            std::array<double, 6> median{};
            for (int i = 0; i < 6; ++i)
                median[i] = Median(values[i]);
            for (JudgedTest* t : group) {
                const PhaseValues& v = t->phases[p];
                if (!v.found)
                    continue;
                double limit = 0;
                for (int i = 0; i < 4; ++i)
                    if (Beyond(TimeOf(v, i), median[i], profile.timeTolerance, profile.timeFloorMs,
                               &limit))
                        Add(*t,
                            {QStringLiteral("time"), p, QLatin1String(kTimeNames[i]), TimeOf(v, i),
                             median[i], limit,
                             QCoreApplication::translate("Judge",
                                                         "%1相：%2 = %3 ms，各分接中值 %4 ms")
                                 .arg(QLatin1String(kPhaseNames[p]), QLatin1String(kTimeNames[i]),
                                      Number(TimeOf(v, i), 1), Number(median[i], 1))});
                for (int i = 0; i < 2; ++i)
                    if (Beyond(ResistanceOf(v, i), median[4 + i], profile.resistanceTolerance, 0,
                               &limit))
                        Add(*t,
                            {QStringLiteral("resistance"), p, QStringLiteral("R%1").arg(i + 1),
                             ResistanceOf(v, i), median[4 + i], limit,
                             QCoreApplication::translate("Judge",
                                                         "%1相：R%2 = %3 Ω，各分接中值 %4 Ω")
                                 .arg(QLatin1String(kPhaseNames[p]))
                                 .arg(i + 1)
                                 .arg(Number(ResistanceOf(v, i), 2), Number(median[4 + i], 2))});
            }
        }
        if (!profile.syncLimitMs) {
            std::vector<double> spreads;
            for (const JudgedTest* t : group)
                spreads.push_back(t->t1SpreadMs);
            const double typical = Median(spreads);
            const double limit = std::max(profile.syncFactor * typical, profile.syncFloorMs);
            for (JudgedTest* t : group)
                if (t->t1SpreadMs > limit)
                    Add(*t, {QStringLiteral("sync"), -1, QStringLiteral("t1 spread"), t->t1SpreadMs,
                             typical, limit,
                             QCoreApplication::translate("Judge",
                                                         "三相起始时刻相差 %1 ms，各分接中值 %2 ms")
                                 .arg(Number(t->t1SpreadMs, 1), Number(typical, 1))});
        }
    }
    if (!baselines.isEmpty()) {
        QList<JudgedTest> judgedBaselines;
        for (const TestToJudge& b : baselines)
            judgedBaselines.append(JudgeTest(b, profile));
        for (JudgedTest& t : campaign.tests) {
            const auto it =
                std::find_if(judgedBaselines.begin(), judgedBaselines.end(),
                             [&](const JudgedTest& b) { return b.step == t.step && b.id != t.id; });
            if (it != judgedBaselines.end())
                JudgeAgainstBaseline(t, *it, profile);
        }
    }
    for (JudgedTest& t : campaign.tests) {
        Settle(t);
        if (t.verdict == Verdict::Fail)
            campaign.overall = Verdict::Fail;
        else if (t.verdict == Verdict::Unknown && campaign.overall == Verdict::Pass)
            campaign.overall = Verdict::Unknown;
    }
    return campaign;
}
