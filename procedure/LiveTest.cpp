#include "LiveTest.h"

#include "Helpers.h"
#include "Requests.h"

#include <QDateTime>
#include <algorithm>

namespace {

LiveResult Refusal(LiveResult result, QByteArrayView response) {
    result.answer = ResponseByte1(response).value_or(0);
    return result;
}

} // namespace

LiveTiming WindowPace() {
    LiveTiming pace;
    pace.triggerWaitMs = 0; // the trigger-wait window's rounds end it
    return pace;
}

LiveRules WindowRules() {
    return {true, false, false};
}

LiveTest::LiveTest(Tester& tester, TestRecord& record, const LiveTiming& timing,
                   const LiveRules& rules, LiveStep from)
    : tester_(tester), record_(record), timing_(timing), rules_(rules), next_(from) {
    clock_.start();
}

LiveResult LiveTest::Step() {
    switch (next_) {
    case LiveStep::Params:
        return Params();
    case LiveStep::StartCharge:
        return StartCharge();
    case LiveStep::ChargeStatus:
        return PollCharge();
    case LiveStep::Arm:
        return Arm();
    case LiveStep::PollTrigger:
        return PollTrigger();
    case LiveStep::Upload:
        return Upload();
    case LiveStep::Stop:
        return Stop();
    case LiveStep::Done:
        break;
    }
    return {};
}

LiveResult LiveTest::Fail(LiveResult result, LiveFailure failure, LiveStep next) {
    result.failure = failure;
    result.delayMs = next == LiveStep::Done ? -1 : 0;
    next_ = next;
    if (observer.failed)
        observer.failed(result);
    return result;
}

int LiveTest::UntilMs(qint64 due) const {
    return int(std::max<qint64>(0, due - clock_.elapsed()));
}

LiveResult LiveTest::Params() {
    const LiveResult result{LiveStep::Params};
    QByteArray response(kRequestBufferSize, '\0');
    if (!tester_.Transact(SetParamsRequest(record_.params, record_.params.iSeriesType), response))
        return Fail(result, LiveFailure::NoAnswer, LiveStep::Done);
    if (!IsAck(response))
        return Fail(Refusal(result, response), LiveFailure::Refused, LiveStep::Done);
    next_ = LiveStep::StartCharge;
    return {LiveStep::Params, LiveFailure::None, 0, 0};
}

LiveResult LiveTest::StartCharge() {
    const LiveResult result{LiveStep::StartCharge};
    QByteArray response(kRequestBufferSize, '\0');
    if (!tester_.Transact(StartChargeRequest(), response))
        // The request may have started the charge though its answer was lost.
        return Fail(result, LiveFailure::NoAnswer,
                    tester_.RequestMayHaveArrived() ? LiveStep::Stop : LiveStep::Done);
    // From here on the tester may be charging: whatever happens, it gets the stop.
    if (!IsAck(response))
        return Fail(Refusal(result, response), LiveFailure::Refused, LiveStep::Stop);
    clock_.restart();
    second_ = 0;
    const bool manual = record_.params.iChargeTime == 0;
    next_ = !rules_.chargeEndedFromOutside && manual ? LiveStep::Arm : LiveStep::ChargeStatus;
    return {LiveStep::StartCharge, LiveFailure::None, 0, 0};
}

LiveResult LiveTest::PollCharge() {
    const LiveResult result{LiveStep::ChargeStatus};
    QByteArray response(kRequestBufferSize, '\0');
    if (!tester_.Transact(ChargeStatusRequest(), response)) {
        if (rules_.failedPollEndsTest)
            return Fail(result, LiveFailure::NoAnswer, LiveStep::Stop);
        waiting_ = true; // polling ends; the charge goes on
        LiveResult failed = Fail(result, LiveFailure::NoAnswer, LiveStep::ChargeStatus);
        failed.delayMs = -1;
        return failed;
    }
    ++second_;
    if (observer.charge)
        observer.charge(*DecodeChargeStatus(response), second_);
    if (rules_.chargeEndedFromOutside)
        return {LiveStep::ChargeStatus, LiveFailure::None, 0, timing_.chargeSecondMs};
    const int seconds = record_.params.iChargeTime * 5;
    const qint64 second = timing_.chargeSecondMs;
    // A slow poll takes the turns of the seconds it ran into.
    while (second_ < seconds && clock_.elapsed() >= (second_ + 1) * second)
        ++second_;
    if (second_ >= seconds)
        next_ = LiveStep::Arm;
    return {LiveStep::ChargeStatus, LiveFailure::None, 0,
            UntilMs(qint64(std::min(second_, seconds)) * second)};
}

void LiveTest::EndCharge() {
    if (next_ == LiveStep::ChargeStatus) {
        next_ = LiveStep::Arm;
        waiting_ = false;
    }
}

LiveResult LiveTest::Arm() {
    const LiveResult result{LiveStep::Arm};
    QByteArray response(kRequestBufferSize, '\0');
    if (!tester_.Transact(ArmTriggerRequest(), response))
        return Fail(result, LiveFailure::NoAnswer, LiveStep::Stop);
    if (!IsAck(response)) {
        if (rules_.refusedArmEndsTest)
            return Fail(Refusal(result, response), LiveFailure::Refused, LiveStep::Stop);
        next_ = LiveStep::PollTrigger;
        waiting_ = true; // never polled: the wait lasts until it is cancelled
        return {LiveStep::Arm, LiveFailure::None, 0, -1};
    }
    clock_.restart();
    pollDue_ = timing_.triggerPollMs;
    next_ = LiveStep::PollTrigger;
    return {LiveStep::Arm, LiveFailure::None, 0, timing_.triggerPollMs};
}

LiveResult LiveTest::PollTrigger() {
    const LiveResult result{LiveStep::PollTrigger};
    QByteArray response(kRequestBufferSize, '\0');
    if (!tester_.Transact(PollTriggerRequest(), response))
        return Fail(result, LiveFailure::NoAnswer, LiveStep::Stop);
    if (IsAck(response)) {
        block_ = 1;
        next_ = LiveStep::Upload;
        return {LiveStep::PollTrigger, LiveFailure::None, 0, timing_.blockGapMs};
    }
    pollDue_ += timing_.triggerPollMs;
    if (timing_.triggerWaitMs > 0 && pollDue_ > timing_.triggerWaitMs)
        return Fail(result, LiveFailure::NothingCaptured, LiveStep::Stop);
    return {LiveStep::PollTrigger, LiveFailure::None, 0, UntilMs(pollDue_)};
}

LiveResult LiveTest::Upload() {
    const LiveResult result{LiveStep::Upload, LiveFailure::None, block_};
    QByteArray response(kBlockBufferSize, '\0');
    if (!tester_.Transact(UploadBlockRequest(quint8(block_)), response) ||
        !StoreUploadBlock(block_, response, record_))
        return Fail(result, LiveFailure::NoAnswer, LiveStep::Stop);
    if (observer.stored)
        observer.stored(block_);
    if (block_ < 4) {
        ++block_;
        return {LiveStep::Upload, LiveFailure::None, block_ - 1, timing_.blockGapMs};
    }
    record_.strTestTime.SetText(DateTimeText(QDateTime::currentDateTime()));
    captured_ = true;
    next_ = LiveStep::Stop;
    if (observer.captured)
        observer.captured();
    record_.HasData = true;
    return {LiveStep::Upload, LiveFailure::None, 4, 0};
}

LiveResult LiveTest::Stop() {
    const LiveResult result{LiveStep::Stop};
    QByteArray response(kRequestBufferSize, '\0');
    const bool stopped = tester_.Transact(StopRequest(), response);
    next_ = LiveStep::Done;
    waiting_ = false;
    if (!stopped) {
        LiveResult failed = Fail(result, LiveFailure::NoAnswer, LiveStep::Done);
        failed.delayMs = timing_.afterStopMs;
        return failed;
    }
    return {LiveStep::Stop, LiveFailure::None, 0, timing_.afterStopMs};
}

LiveResult LiveTest::Cancel() {
    const bool inTriggerWait =
        next_ == LiveStep::Arm || next_ == LiveStep::PollTrigger || next_ == LiveStep::Upload;
    if (!inTriggerWait) {
        Interrupt();
        return {};
    }
    LiveResult result{LiveStep::Stop};
    QByteArray response(kRequestBufferSize, '\0');
    if (!tester_.Transact(StopRequest(), response)) {
        result.failure = LiveFailure::NoAnswer;
        if (observer.failed)
            observer.failed(result);
    }
    Interrupt();
    return result;
}

void LiveTest::Interrupt() {
    waiting_ = false;
    switch (next_) {
    case LiveStep::Params:
    case LiveStep::StartCharge:
        next_ = LiveStep::Done;
        break;
    case LiveStep::ChargeStatus:
    case LiveStep::Arm:
    case LiveStep::PollTrigger:
    case LiveStep::Upload:
        next_ = LiveStep::Stop;
        break;
    case LiveStep::Stop:
    case LiveStep::Done:
        break;
    }
}
