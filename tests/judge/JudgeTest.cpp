// Each rule on hand-built taps: it fires on its fault, names the phase and
// the value, and stays quiet on the few percent by which sound taps differ.
#include "Judge.h"

#include <gtest/gtest.h>

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << text.toStdString();
}
QT_END_NAMESPACE

namespace {

// The resistances are measured above the level at 1.0 ms (the steady 5 ohm).
struct Shape {
    int t1 = 500; // samples
    std::array<int, 3> stage = {40, 40, 40};
    int r1 = 2500, bridge = 1300, r2 = 2400; // 0.01 ohm
    int steady = 500;
};

// A tap of three phases shaped alike, `edit` changing one phase's shape.
TestToJudge Tap(int step, const std::function<void(int phase, Shape&)>& edit = {},
                const QString& id = {}) {
    auto record = std::make_shared<TestRecord>();
    record->params.iTestStep = quint8(step);
    TestToJudge test;
    test.id = id.isEmpty() ? QStringLiteral("tap%1").arg(step) : id;
    for (int p = 0; p < 3; ++p) {
        Shape s;
        if (edit)
            edit(p, s);
        const int t[] = {s.t1, s.t1 + s.stage[0], s.t1 + s.stage[0] + s.stage[1],
                         s.t1 + s.stage[0] + s.stage[1] + s.stage[2]};
        const int levels[] = {s.steady, s.r1, s.bridge, s.r2, s.steady};
        Wave& wave = record->WaveOf(p + 1);
        for (int i = 1; i <= kSampleCount; ++i) {
            int k = 0;
            while (k < 4 && i >= t[k])
                ++k;
            wave[i - 1] = levels[k];
        }
        test.markers.phase[p] = {t[0], t[1], t[2], t[3]};
        test.found[p] = true;
    }
    test.record = record;
    return test;
}

// A campaign of `n` up taps (odd steps) whose values wander by up to 3 %.
QList<TestToJudge> Campaign(int n) {
    QList<TestToJudge> taps;
    for (int k = 0; k < n; ++k) {
        const double wander = 1 + 0.03 * ((k % 3) - 1); // -3 %, 0, +3 %
        taps << Tap(2 * k + 1, [&](int, Shape& s) {
            s.stage = {int(std::nearbyint(40 * wander)), 40, int(std::nearbyint(40 / wander))};
            s.r1 = int(std::nearbyint(2500 * wander));
        });
    }
    return taps;
}

QStringList Said(const JudgedTest& test) {
    QStringList rules;
    for (const Finding& f : test.findings)
        rules << QStringLiteral("%1 %2 %3")
                     .arg(f.rule)
                     .arg(f.phase < 0 ? QStringLiteral("-") : QString(QChar(u'A' + f.phase)))
                     .arg(f.value);
    return rules;
}

TEST(Judge, SoundTapsPassAndEachFaultIsNamed) {
    struct Case {
        const char* name;
        std::function<void(int, Shape&)> fault; // on the campaign's fourth tap
        QStringList said;
    };
    const Case cases[] = {
        {"sound", {}, {}},
        {"a slow phase",
         [](int p, Shape& s) {
             if (p == 1)
                 s.stage[1] = 70;
         },
         {"time B T2", "time B T"}},
        {"a worn resistor",
         [](int p, Shape& s) {
             if (p == 2)
                 s.r2 = 2900;
         },
         {"resistance C R2"}},
        {"a phase late",
         [](int p, Shape& s) {
             if (p == 0)
                 s.t1 = 540;
         },
         {"sync - t1 spread"}},
        {"a short time within the floor",
         [](int p, Shape& s) {
             if (p == 0)
                 s.stage[0] = 31;
         },
         {}}, // 0.9 ms off, under the 1.0 ms floor
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QList<TestToJudge> taps = Campaign(8);
        if (c.fault)
            taps[3] = Tap(7, c.fault);
        const JudgedCampaign judged = JudgeCampaign(taps, JudgeProfile{});
        ASSERT_EQ(judged.tests.size(), 8);
        for (const JudgedTest& t : judged.tests) {
            SCOPED_TRACE(t.step);
            EXPECT_EQ(Said(t), t.step == 7 ? c.said : QStringList());
            EXPECT_EQ(t.verdict, t.step == 7 && !c.said.isEmpty() ? Verdict::Fail : Verdict::Pass);
        }
        EXPECT_EQ(judged.overall, c.said.isEmpty() ? Verdict::Pass : Verdict::Fail);
    }
}

TEST(Judge, AnInterruptionFailsWhateverTheMarkersSay) {
    struct Case {
        const char* name;
        int at, value;
        bool found;
        bool fails;
    };
    const Case cases[] = {
        {"full scale in the bridging", 560, 65535, true, true},
        {"five times the largest level", 520, 5 * 2500 + 100, true, true},
        {"four times: a contact's bounce", 520, 4 * 2500, true, false},
        {"full scale 2 ms past the transition", 640 + 20, 65535, true, false},
        {"full scale anywhere, no transition found", 2000, 65535, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestToJudge tap = Tap(9);
        auto record = std::make_shared<TestRecord>(*tap.record);
        record->WaveOf(2)[c.at - 1] = c.value;
        tap.record = record;
        tap.found[1] = c.found;
        const JudgedTest judged = JudgeTest(tap, JudgeProfile{});
        const bool interrupted =
            std::any_of(judged.findings.begin(), judged.findings.end(),
                        [](const Finding& f) { return f.rule == u"interruption" && f.phase == 1; });
        EXPECT_EQ(interrupted, c.fails);
        EXPECT_EQ(judged.verdict, c.fails   ? Verdict::Fail
                                  : c.found ? Verdict::Pass
                                            : Verdict::Unknown);
    }
}

TEST(Judge, APhaseWithoutATransitionIsUnknownNotPassed) {
    TestToJudge tap = Tap(3);
    tap.found[2] = false;
    const JudgedTest judged = JudgeTest(tap, JudgeProfile{});
    EXPECT_EQ(Said(judged), QStringList{"markers C "});
    EXPECT_EQ(judged.verdict, Verdict::Unknown);
    // Not drawn: not asked for (switch type 1, "(A.C)->B" draws A and C).
    auto record = std::make_shared<TestRecord>(*tap.record);
    record->params.iSwitchType = 1;
    record->params.iTestMode = 0;
    tap.record = record;
    tap.found = {true, false, true};
    EXPECT_EQ(JudgeTest(tap, JudgeProfile{}).verdict, Verdict::Pass);
}

TEST(Judge, CampaignRulesWaitForEnoughTaps) {
    QList<TestToJudge> taps = Campaign(4);
    taps[1] = Tap(3, [](int p, Shape& s) {
        if (p == 0)
            s.stage[1] = 80;
    });
    const JudgedCampaign judged = JudgeCampaign(taps, JudgeProfile{});
    EXPECT_EQ(judged.overall, Verdict::Pass);
    ASSERT_EQ(judged.notes.size(), 1);
    EXPECT_EQ(judged.notes[0], u"->：4 次测试，分接间比较至少需要 5 次，未比较");
}

TEST(Judge, UpAndDownAreJudgedApart) {
    QList<TestToJudge> taps = Campaign(6);
    for (int k = 0; k < 6; ++k) // down taps with a longer bridging: their own normal
        taps << Tap(2 * k, [](int, Shape& s) { s.stage[1] = 60; });
    const JudgedCampaign judged = JudgeCampaign(taps, JudgeProfile{});
    EXPECT_EQ(judged.overall, Verdict::Pass);
    EXPECT_TRUE(judged.tests.first().up);
    EXPECT_FALSE(judged.tests.last().up);
    EXPECT_EQ(judged.tests.last().step, 10);
}

TEST(Judge, TheBaselineAndTheMakersProfile) {
    const TestToJudge baseline = Tap(9, {}, QStringLiteral("base"));
    QList<TestToJudge> taps = {Tap(9,
                                   [](int p, Shape& s) {
                                       if (p == 0)
                                           s.r1 = 2800;
                                   }),
                               Tap(11, [](int p, Shape& s) {
                                   if (p == 0)
                                       s.r1 = 2800;
                               })};
    JudgedCampaign judged = JudgeCampaign(taps, JudgeProfile{}, {baseline});
    EXPECT_EQ(Said(judged.tests[0]), QStringList{"baseline A R1"});
    EXPECT_EQ(Said(judged.tests[1]), QStringList()) << "no baseline of its tap";

    QString why;
    const auto profile =
        ParseJudgeProfile("[Maker]\r\nTMin=10\r\nTMax=11.5\r\nR2=19\r\nSync=0.5\r\n", &why);
    ASSERT_TRUE(profile) << why.toStdString();
    const JudgedTest one = JudgeTest(Tap(5,
                                         [](int p, Shape& s) {
                                             if (p == 2)
                                                 s.t1 = 510;
                                         }),
                                     *profile);
    EXPECT_EQ(Said(one), (QStringList{"time A T", "time B T", "time C T", "sync - t1 spread"}));
    EXPECT_EQ(one.findings[0].text, u"A相：T = 12.0 ms，超出厂家规定的 10.0 至 11.5 ms");
}

TEST(JudgeProfile, KeysValuesAndRefusals) {
    struct Case {
        const char* text;
        bool ok;
        double time, floor, resistance;
    };
    const Case cases[] = {
        {"", true, 0.20, 1.0, 0.10},
        {"[Tolerances]\nTime=15\nTimeFloor=0.5\nResistance=5\n", true, 0.15, 0.5, 0.05},
        {"[tolerances]\ntime = 30 \n", true, 0.30, 1.0, 0.10},
        {"[Tolerances]\nTime=fast\n", false, 0, 0, 0},
        {"[Tolerances]\nResistance=-1\n", false, 0, 0, 0},
        {"[Maker]\nR1=nan\n", false, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        QString why;
        const auto profile = ParseJudgeProfile(c.text, &why);
        ASSERT_EQ(profile.has_value(), c.ok);
        if (!c.ok) {
            EXPECT_FALSE(why.isEmpty());
            continue;
        }
        EXPECT_DOUBLE_EQ(profile->timeTolerance, c.time);
        EXPECT_DOUBLE_EQ(profile->timeFloorMs, c.floor);
        EXPECT_DOUBLE_EQ(profile->resistanceTolerance, c.resistance);
    }
}

} // namespace
