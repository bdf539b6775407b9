#pragma once

#include "Responses.h"
#include "TestRecord.h"
#include "Tester.h"

#include <QElapsedTimer>
#include <functional>

// The pace of a live test in ms. The tester expects these; tests shorten
// the waits that would make them slow.
struct LiveTiming {
    int chargeSecondMs = 1000;  // one charge second: one status poll, 1/5 of a charge-time step
    int triggerPollMs = 3000;   // from arming to the first trigger poll, and between polls
    int triggerWaitMs = 180000; // no poll later than this after arming; 0: whoever drives bounds it
    int blockGapMs = 100;       // before each upload block
    int afterStopMs = 1000;     // the tester settles after the stop
};

// Where the window and the command line part ways. The defaults are the
// command line's, which nobody watches.
struct LiveRules {
    // The charge ends by EndCharge() (the operator, or the window's own
    // charge clock). Otherwise it ends after iChargeTime x 5 charge seconds,
    // and a manual charge at once: nobody is there to end it.
    bool chargeEndedFromOutside = false;
    // A failed status poll ends the test; otherwise polling ends and the
    // charge goes on until it is ended or cancelled.
    bool failedPollEndsTest = true;
    // An arming answer other than ACK ends the test; otherwise the test
    // waits, unreported, until it is cancelled.
    bool refusedArmEndsTest = true;
};

// The window's pace and rules: its timers tick at this pace, its rounds
// bound the trigger wait, the operator ends the charge.
LiveTiming WindowPace();
LiveRules WindowRules();

// The conversation of a live test, in the order the tester expects it.
enum class LiveStep { Params, StartCharge, ChargeStatus, Arm, PollTrigger, Upload, Stop, Done };

enum class LiveFailure {
    None,
    NoAnswer,        // the transaction failed
    Refused,         // the answer was not ACK
    NothingCaptured, // the trigger wait ran out
};

// What one step did.
struct LiveResult {
    LiveStep step = LiveStep::Done;
    LiveFailure failure = LiveFailure::None;
    int block = 0;     // of an upload, 1..4
    int delayMs = -1;  // before the next step; -1: none is due until the test is told
    quint8 answer = 0; // byte 1 of the answer that refused
    bool Failed() const { return failure != LiveFailure::None; }
};

// Who hears what a live test brings.
struct LiveObserver {
    // One status poll; `second` counts the polls (charge seconds) from 1.
    std::function<void(const ChargeStatus& status, int second)> charge;
    std::function<void(int block)> stored;
    // All four blocks stored and the test stamped; the record is marked as
    // holding data right after.
    std::function<void()> captured;
    std::function<void(const LiveResult& failed)> failed;
};

// A live test as a step machine driven from outside: Step() does the next
// transaction and says how long to wait before the one after. Whoever
// drives it sleeps or runs timers; it never waits itself.
class LiveTest {
public:
    // `from` skips the steps before it, for a tester that is already there.
    LiveTest(Tester& tester, TestRecord& record, const LiveTiming& timing = {},
             const LiveRules& rules = {}, LiveStep from = LiveStep::Params);

    // The next step: one transaction (none once Done).
    LiveResult Step();
    // The charge is over (operator, charge clock): arming is next.
    void EndCharge();
    // The cancel of the trigger wait: the stop goes at once, and the test's
    // own stop still follows (the tester's original order on the wire).
    LiveResult Cancel();
    // Whatever runs ends here: the stop is next if the tester may be
    // charging, else nothing. Sends nothing itself.
    void Interrupt();

    LiveStep Next() const { return next_; }
    // Nothing more to do until EndCharge, Cancel or Interrupt.
    bool Waiting() const { return waiting_; }
    // The upload block in progress: 0 before the trigger, then 1..4.
    int Block() const { return block_; }
    bool Captured() const { return captured_; }
    const TestRecord& Record() const { return record_; }
    const LiveTiming& Timing() const { return timing_; }

    LiveObserver observer;

private:
    LiveResult Fail(LiveResult result, LiveFailure failure, LiveStep next);
    LiveResult Params();
    LiveResult StartCharge();
    LiveResult PollCharge();
    LiveResult Arm();
    LiveResult PollTrigger();
    LiveResult Upload();
    LiveResult Stop();
    int UntilMs(qint64 due) const;

    Tester& tester_;
    TestRecord& record_;
    LiveTiming timing_;
    LiveRules rules_;
    LiveStep next_;
    bool waiting_ = false;
    bool captured_ = false;
    int block_ = 0;
    int second_ = 0;      // charge seconds polled or passed
    qint64 pollDue_ = 0;  // of the next trigger poll, on the clock
    QElapsedTimer clock_; // from the start of charging, then from arming
};
