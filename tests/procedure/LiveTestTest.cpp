#include "LiveTest.h"
#include "SimLink.h"
#include "SimWaveform.h"

#include <QThread>
#include <ostream>

inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace {

// Short waits; a transaction at 256000 bit/s takes about 220 ms.
LiveTiming Quick() {
    LiveTiming timing;
    timing.chargeSecondMs = 500;
    timing.triggerPollMs = 150;
    timing.triggerWaitMs = 400;
    timing.blockGapMs = 0;
    timing.afterStopMs = 0;
    return timing;
}

struct Heard {
    QList<int> stored;
    int polls = 0;
    bool dataWhenCaptured = true;
    QList<std::pair<LiveStep, LiveFailure>> failures;
};

// Drives a live test to its end as a front end would: sleeps the delays,
// ends the window's charge after two polls (or when polling ended), and
// lets a test that waits for nobody end.
Heard Drive(LiveTest& live, TestRecord& record, bool window) {
    Heard heard;
    live.observer.charge = [&](const ChargeStatus&, int) { ++heard.polls; };
    live.observer.stored = [&](int block) { heard.stored << block; };
    live.observer.captured = [&] { heard.dataWhenCaptured = record.HasData; };
    live.observer.failed = [&](const LiveResult& r) {
        heard.failures << std::pair{r.step, r.failure};
    };
    for (int steps = 0; live.Next() != LiveStep::Done && steps < 100; ++steps) {
        if (window && live.Next() == LiveStep::ChargeStatus && (heard.polls == 2 || live.Waiting()))
            live.EndCharge();
        if (live.Waiting())
            live.Interrupt();
        const LiveResult r = live.Step();
        if (r.delayMs > 0 && live.Next() != LiveStep::Done)
            QThread::msleep(quint64(r.delayMs));
    }
    return heard;
}

TEST(LiveSteps, TheWireOfEachRoad) {
    struct Case {
        const char* what;
        bool window;
        quint8 chargeIndex;
        int pollsBeforeReady;
        QStringList faults;
        const char* wire;
        bool captured;
        QList<std::pair<LiveStep, LiveFailure>> failures;
    };
    const Case cases[] = {
        {"timed charge: one poll a charge second",
         false,
         1,
         1,
         {},
         "F4 F5 F6 F6 F6 F6 F6 F7 F8 FA FA FA FA F9",
         true,
         {}},
        {"manual charge: nobody to end it",
         false,
         0,
         2,
         {},
         "F4 F5 F7 F8 F8 FA FA FA FA F9",
         true,
         {}},
        {"the window's charge ends from outside",
         true,
         0,
         1,
         {},
         "F4 F5 F6 F6 F7 F8 FA FA FA FA F9",
         true,
         {}},
        {"parameters refused",
         false,
         0,
         1,
         {"F4:nak"},
         "F4",
         false,
         {{LiveStep::Params, LiveFailure::Refused}}},
        {"charging refused: stopped all the same",
         false,
         0,
         1,
         {"F5:nak"},
         "F4 F5 F9",
         false,
         {{LiveStep::StartCharge, LiveFailure::Refused}}},
        {"start lost: it may have arrived",
         false,
         0,
         1,
         {"F5:noanswer"},
         "F4 F5 F5 F5 F5 F9",
         false,
         {{LiveStep::StartCharge, LiveFailure::NoAnswer}}},
        {"arming refused ends the command line's test",
         false,
         0,
         1,
         {"F7:nak"},
         "F4 F5 F7 F9",
         false,
         {{LiveStep::Arm, LiveFailure::Refused}}},
        {"arming refused: the window waits, unreported",
         true,
         0,
         1,
         {"F7:nak"},
         "F4 F5 F6 F6 F7 F9",
         false,
         {}},
        {"a failed poll ends the command line's test",
         false,
         1,
         1,
         {"F6:noanswer"},
         "F4 F5 F6 F6 F6 F6 F9",
         false,
         {{LiveStep::ChargeStatus, LiveFailure::NoAnswer}}},
        {"a failed poll in the window: the charge goes on",
         true,
         0,
         1,
         {"F6:noanswer"},
         "F4 F5 F6 F6 F6 F6 F7 F8 FA FA FA FA F9",
         true,
         {{LiveStep::ChargeStatus, LiveFailure::NoAnswer}}},
        {"nothing captured within the wait",
         false,
         0,
         100,
         {},
         "F4 F5 F7 F8 F8 F9",
         false,
         {{LiveStep::PollTrigger, LiveFailure::NothingCaptured}}},
        {"a block that does not come",
         false,
         0,
         1,
         {"FA:noanswer"},
         "F4 F5 F7 F8 FA FA FA FA F9",
         false,
         {{LiveStep::Upload, LiveFailure::NoAnswer}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SimConfig config;
        config.pollsBeforeReady = c.pollsBeforeReady;
        config.seed = 3;
        SimLink sim(config, c.faults);
        TestRecord record;
        record.params.iChargeTime = c.chargeIndex;
        record.params.iSampleBurst = 10;
        LiveTest live(sim.tester, record, Quick(), c.window ? WindowRules() : LiveRules{});
        const Heard heard = Drive(live, record, c.window);
        EXPECT_EQ(sim.Commands(), QLatin1String(c.wire));
        EXPECT_EQ(live.Captured(), c.captured);
        EXPECT_EQ(record.HasData, c.captured);
        EXPECT_EQ(heard.failures, c.failures);
        EXPECT_EQ(heard.stored, c.captured ? QList<int>({1, 2, 3, 4}) : QList<int>());
        if (c.captured) {
            EXPECT_FALSE(heard.dataWhenCaptured) << "marked only after it was shown";
            EXPECT_EQ(record.SampleAt(kPhaseC, 2688), SimWaveform(3, kPhaseC, 0)[2687]);
            EXPECT_EQ(record.strTestTime.Bytes().size(), 19);
        }
    }
}

TEST(LiveSteps, CancelStopsAtOnceAndTheTestStopsAgain) {
    for (const bool cancel : {true, false}) {
        SCOPED_TRACE(cancel ? "cancel" : "interrupt");
        SimConfig config;
        config.pollsBeforeReady = 100;
        SimLink sim(config);
        TestRecord record;
        record.params.iSampleBurst = 10;
        LiveTest live(sim.tester, record, Quick(), WindowRules());
        for (int step = 0; step < 2; ++step)
            ASSERT_FALSE(live.Step().Failed()); // parameters, start of charging
        live.EndCharge();
        ASSERT_EQ(live.Step().delayMs, Quick().triggerPollMs); // armed
        if (cancel)
            EXPECT_FALSE(live.Cancel().Failed());
        else
            live.Interrupt();
        EXPECT_EQ(live.Next(), LiveStep::Stop);
        const LiveResult stopped = live.Step();
        EXPECT_EQ(stopped.step, LiveStep::Stop);
        EXPECT_EQ(live.Next(), LiveStep::Done);
        EXPECT_EQ(sim.Commands(), cancel ? u"F4 F5 F7 F9 F9" : u"F4 F5 F7 F9");
        EXPECT_FALSE(record.HasData);
    }
}

TEST(LiveSteps, NothingToStopBeforeCharging) {
    SimLink sim{SimConfig{}};
    TestRecord record;
    record.params.iSampleBurst = 10;
    LiveTest live(sim.tester, record, Quick());
    live.Interrupt();
    EXPECT_EQ(live.Next(), LiveStep::Done) << "nothing was sent yet";
    EXPECT_EQ(live.Step().step, LiveStep::Done);
    EXPECT_EQ(sim.Commands(), u"");
}

} // namespace
