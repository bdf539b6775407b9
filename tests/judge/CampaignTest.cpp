// The simulator's campaign of one tap changer, judged as the tester's
// history would bring it: the faults asked for are flagged, by rule and
// phase, and nothing else.
#include "Judge.h"
#include "SimCampaign.h"
#include "TestToJudge.h"

#include <gtest/gtest.h>

namespace {

QList<TestToJudge> Campaign(quint32 seed, const QList<SimCampaignFault>& faults) {
    QList<TestToJudge> tests;
    for (int k = 1; k <= kSimCampaignTests; ++k) {
        auto record = std::make_shared<TestRecord>();
        const SimStoredTest stored = CampaignTestOf(seed, k);
        record->params.iTestStep = stored.step;
        for (int phase = 1; phase <= 3; ++phase) {
            const auto samples = CampaignSamples(seed, phase, k, faults);
            for (int i = 0; i < kSampleCount; ++i)
                record->WaveOf(phase)[i] = samples[i];
        }
        tests << PrepareTest(record, QStringLiteral("k%1").arg(k), {});
    }
    return tests;
}

QStringList Flagged(const JudgedCampaign& campaign) {
    QStringList flagged;
    for (const JudgedTest& t : campaign.tests)
        for (const Finding& f : t.findings)
            flagged << QStringLiteral("%1 %2 %3%4")
                           .arg(t.id, f.rule, QString(QChar(u'A' + f.phase)), f.value);
    return flagged;
}

TEST(SimCampaign, ItsFaultsAreFlaggedAndNothingElse) {
    for (const quint32 seed : {1u, 2u, 3u}) {
        SCOPED_TRACE(seed);
        const JudgedCampaign sound = JudgeCampaign(Campaign(seed, {}), JudgeProfile{});
        EXPECT_EQ(Flagged(sound), QStringList());
        EXPECT_EQ(sound.overall, Verdict::Pass);
        const QList<SimCampaignFault> faults = {{SimCampaignFault::Interruption, 3, 1},
                                                {SimCampaignFault::SlowPhase, 5, 2},
                                                {SimCampaignFault::WornResistor, 14, 3}};
        const JudgedCampaign faulty = JudgeCampaign(Campaign(seed, faults), JudgeProfile{});
        EXPECT_EQ(Flagged(faulty),
                  (QStringList{"k3 interruption Asample", "k5 time BT2", "k14 resistance CR2"}));
        ASSERT_EQ(faulty.tests.size(), 20);
        EXPECT_EQ(faulty.tests[0].step, 1) << "up first, by tap";
        EXPECT_EQ(faulty.tests[19].step, 18) << "then down";
    }
}

TEST(SimCampaign, FaultsAsTheSimulatorTakesThem) {
    struct Case {
        const char* text;
        bool ok;
        SimCampaignFault::Kind kind;
        int test, phase;
    };
    const Case cases[] = {
        {"interruption:3:A", true, SimCampaignFault::Interruption, 3, 1},
        {"slow:20:c", true, SimCampaignFault::SlowPhase, 20, 3},
        {"worn:1", true, SimCampaignFault::WornResistor, 1, 1},
        {"worn:21:A", false, {}, 0, 0},
        {"worn:0", false, {}, 0, 0},
        {"broken:3:A", false, {}, 0, 0},
        {"slow:3:D", false, {}, 0, 0},
        {"slow", false, {}, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const auto fault = ParseCampaignFault(QString::fromLatin1(c.text));
        ASSERT_EQ(fault.has_value(), c.ok);
        if (c.ok) {
            EXPECT_EQ(fault->kind, c.kind);
            EXPECT_EQ(fault->test, c.test);
            EXPECT_EQ(fault->phase, c.phase);
        }
    }
}

} // namespace

namespace {

// Spread over the cores, the finder gives each test what it gives alone.
TEST(SimCampaign, PreparedTogetherAsAlone) {
    QList<TestToPrepare> many;
    for (const TestToJudge& t : Campaign(4, {{SimCampaignFault::SlowPhase, 2, 3}}))
        many << TestToPrepare{t.record, t.id, {}, {}};
    TransitionMarkers kept;
    kept.phase[0] = {1, 2, 3, 4};
    many[7].kept = kept;
    const QList<TestToJudge> together = PrepareTests(many);
    ASSERT_EQ(together.size(), many.size());
    for (qsizetype i = 0; i < many.size(); ++i) {
        const TestToJudge alone = PrepareTest(many[i].record, many[i].id, {}, many[i].kept);
        EXPECT_EQ(together[i].id, alone.id);
        EXPECT_EQ(together[i].markers, alone.markers) << i;
        EXPECT_EQ(together[i].found, alone.found) << i;
    }
    EXPECT_EQ(together[7].markers, kept);
    EXPECT_TRUE(PrepareTests({}).isEmpty());
}

} // namespace
