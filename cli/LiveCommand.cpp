#include "LiveCommand.h"

#include "ChargeReadout.h"
#include "DeviceCommands.h"
#include "FileTarget.h"
#include "Helpers.h"
#include "ProgramFolder.h"
#include "Responses.h"
#include "ShowCommand.h"
#include "TestFile.h"
#include "UCommUnit.h"
#include "UDataCenter.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QThread>
#include <algorithm>
#include <csignal>

namespace {

const char kBlockNames[][9] = {"", "phase A", "phase B", "phase C", "rotation"};

// Every exchange starts from a buffer cleared to zero.
QByteArray Cleared(int size) {
    return QByteArray(size, '\0');
}

QString AnswerText(const QByteArray& response) {
    return QStringLiteral("answer 0x%1").arg(quint8(response.at(1)), 2, 16, QLatin1Char('0'));
}

// The signal that interrupted the test, 0 while none did.
volatile std::sig_atomic_t interruptedBy = 0;

void Interrupt(int signal) {
    interruptedBy = signal;
}

// Sleeps until `ms` after the clock's start, in short steps so that an
// interrupt ends the wait soon; false when it did.
bool SleepUntil(const QElapsedTimer& clock, qint64 ms) {
    for (qint64 left = ms - clock.elapsed(); left > 0 && !interruptedBy;
         left = ms - clock.elapsed())
        QThread::msleep(quint64(std::min<qint64>(left, 100)));
    return !interruptedBy;
}

bool Sleep(int ms) {
    QElapsedTimer clock;
    clock.start();
    return SleepUntil(clock, ms);
}

// A status poll once a charge second for iChargeTime * 5 seconds; a manual
// charge has nobody to end it, so the trigger wait starts at once.
bool Charge(const TestParams& params, const LiveTiming& timing, std::FILE* err) {
    const int seconds = params.iChargeTime * 5;
    if (seconds == 0)
        return true;
    Print(err, QStringLiteral("oltc-cli live: charging for %1 s\n").arg(seconds));
    ChargeReadout readout(params);
    QElapsedTimer clock;
    clock.start();
    for (int s = 0; s < seconds; ++s) {
        if (!SleepUntil(clock, qint64(s) * timing.chargeSecondMs))
            return false;
        if (clock.elapsed() >= qint64(s + 1) * timing.chargeSecondMs)
            continue; // a slow poll took this second's turn
        QByteArray response = Cleared(kRequestBufferSize);
        if (!Transact(ChargeStatusRequest(), response)) {
            LinkFailed(err, QStringLiteral("charge status"));
            return false;
        }
        Print(err, QStringLiteral("%1/%2 s  %3\n")
                       .arg(s + 1, 2)
                       .arg(seconds)
                       .arg(readout.Update(*DecodeChargeStatus(response))));
    }
    return SleepUntil(clock, qint64(seconds) * timing.chargeSecondMs);
}

// Arms the trigger and polls until the tester has captured an operation.
bool WaitForTrigger(const LiveTiming& timing, std::FILE* err) {
    QByteArray response = Cleared(kRequestBufferSize);
    if (!Transact(ArmTriggerRequest(), response)) {
        LinkFailed(err, QStringLiteral("arming the trigger"));
        return false;
    }
    if (!IsAck(response)) {
        Print(err, QStringLiteral("oltc-cli live: the tester did not arm its trigger (%1)\n")
                       .arg(AnswerText(response)));
        return false;
    }
    Print(err, QStringLiteral("oltc-cli live: waiting up to %1 s for the tap changer to operate\n")
                   .arg(timing.triggerWaitMs / 1000.0));
    QElapsedTimer clock;
    clock.start();
    for (qint64 due = timing.triggerPollMs; due <= timing.triggerWaitMs;
         due += timing.triggerPollMs) {
        if (!SleepUntil(clock, due))
            return false;
        response = Cleared(kRequestBufferSize);
        if (!Transact(PollTriggerRequest(), response)) {
            LinkFailed(err, QStringLiteral("trigger poll"));
            return false;
        }
        if (IsAck(response))
            return true;
    }
    Print(err, QStringLiteral("oltc-cli live: no operation captured within %1 s\n")
                   .arg(timing.triggerWaitMs / 1000.0));
    return false;
}

bool Upload(const LiveTiming& timing, TestRecord& record, std::FILE* err) {
    for (int block = 1; block <= 4; ++block) {
        if (!Sleep(timing.blockGapMs))
            return false;
        Print(err, QStringLiteral("\roltc-cli live: uploading %1 ").arg(kBlockNames[block]));
        QByteArray response = Cleared(kBlockBufferSize);
        if (!Transact(UploadBlockRequest(quint8(block)), response) ||
            !StoreUploadBlock(block, response, record)) {
            Print(err, QStringLiteral("\n"));
            LinkFailed(err, QStringLiteral("%1 block").arg(kBlockNames[block]));
            return false;
        }
    }
    Print(err, QStringLiteral("\roltc-cli live: uploaded            \n"));
    record.strTestTime.SetText(DateTimeText(QDateTime::currentDateTime()));
    record.HasData = true;
    return true;
}

bool Stop() {
    QByteArray response = Cleared(kRequestBufferSize);
    return Transact(StopRequest(), response);
}

int WriteAndShow(const QString& path, const TestRecord& record, std::FILE* out, std::FILE* err) {
    QString error;
    TestRecord written;
    if (!WriteTestFile(path, record, &error) ||
        LoadTestFile(path, written, &error) != TestFileError::None) {
        Print(err, QStringLiteral("oltc-cli live: %1 could not be written: %2\n")
                       .arg(PrintedName(path, IsTerminal(err)), error));
        return kExitFailed;
    }
    Write(out, ShowText(PrintedName(path, IsTerminal(out)), written,
                        MarkersFor(ShownOptions(), written)));
    return kExitOk;
}

} // namespace

int RunLive(const LiveOptions& options, std::FILE* out, std::FILE* err) {
    // An interrupted test still stops the tester, which would go on charging.
    std::signal(SIGINT, Interrupt);
    std::signal(SIGTERM, Interrupt);
    LoadSettings(SettingsPath());
    ApplyLinkOptions(options.link, UDataCenter().settings);
    return RunLiveTest(options, LiveTiming(), out, err);
}

int RunLiveTest(const LiveOptions& options, const LiveTiming& timing, std::FILE* out,
                std::FILE* err) {
    const SystemSettings& settings = UDataCenter().settings;
    TestRecord record;
    record.params = settings.params;
    if (const auto error = ApplyParamOptions(options, record.params)) {
        Print(err, QStringLiteral("oltc-cli live: %1\n").arg(*error));
        return kExitUsage;
    }
    // The capture must have somewhere to go before the tester charges for it.
    if (QString why; !CanWriteTarget(options.output, &why)) {
        Print(err,
              QStringLiteral("oltc-cli live: %1 cannot be written: %2\n").arg(options.output, why));
        return kExitFailed;
    }
    // The panel trims the tester's name and the place before it keeps them.
    record.strTestUser.Set(TrimmedBytes(settings.strTestUser.Bytes()));
    record.strTestAdd.Set(TrimmedBytes(settings.strTestAdd.Bytes()));

    QByteArray response = Cleared(kRequestBufferSize);
    if (!Transact(SetParamsRequest(record.params, record.params.iSeriesType), response))
        return LinkFailed(err, QStringLiteral("sending the parameters"));
    if (!IsAck(response)) {
        Print(err,
              QStringLiteral("oltc-cli live: 发送参数失败！ (%1)\n").arg(AnswerText(response)));
        return kExitLinkFailed;
    }
    if (interruptedBy)
        return 128 + interruptedBy;
    response = Cleared(kRequestBufferSize);
    if (!Transact(StartChargeRequest(), response)) {
        const int failed = LinkFailed(err, QStringLiteral("start of charging"));
        // The request may have started the charge though its answer was lost.
        if (RequestMayHaveArrived() && !Stop())
            Print(err, QStringLiteral("oltc-cli live: the stop went unanswered too; the tester "
                                      "may still be charging\n"));
        QThread::msleep(quint64(timing.afterStopMs));
        return failed;
    }

    // From here on the tester is charging: whatever happens, it gets the stop.
    bool captured = false;
    if (!IsAck(response))
        Print(err,
              QStringLiteral("oltc-cli live: 开始充电失败！ (%1)\n").arg(AnswerText(response)));
    else
        captured = Charge(record.params, timing, err) && !interruptedBy &&
                   WaitForTrigger(timing, err) && Upload(timing, record, err);
    if (!captured && interruptedBy)
        Print(err, QStringLiteral("\noltc-cli live: interrupted; stopping the tester\n"));
    const bool stopped = Stop();
    if (!stopped)
        LinkFailed(err, QStringLiteral("stop"));
    QThread::msleep(quint64(timing.afterStopMs));
    if (!captured)
        return interruptedBy ? 128 + interruptedBy : kExitLinkFailed;
    // A whole capture is kept even when the stop went unanswered.
    const int written = WriteAndShow(options.output, record, out, err);
    return written != kExitOk ? written : stopped ? kExitOk : kExitLinkFailed;
}
