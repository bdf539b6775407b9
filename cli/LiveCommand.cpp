#include "LiveCommand.h"

#include "ChargeReadout.h"
#include "DeviceCommands.h"
#include "FileTarget.h"
#include "Helpers.h"
#include "KeptTests.h"
#include "ProgramFolder.h"
#include "Responses.h"
#include "ShowCommand.h"
#include "TestFile.h"
#include "UDataCenter.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <algorithm>
#include <csignal>

namespace {

const char kBlockNames[][9] = {"", "phase A", "phase B", "phase C", "rotation"};

QString AnswerText(quint8 answer) {
    return QStringLiteral("answer 0x%1").arg(answer, 2, 16, QLatin1Char('0'));
}

// The signal that interrupted the test, 0 while none did.
volatile std::sig_atomic_t interruptedBy = 0;

void Interrupt(int signal) {
    interruptedBy = signal;
}

// Sleeps `ms` in short steps so that an interrupt ends the wait soon; false
// when it did.
bool Sleep(int ms) {
    QElapsedTimer clock;
    clock.start();
    for (qint64 left = ms - clock.elapsed(); left > 0 && !interruptedBy;
         left = ms - clock.elapsed())
        QThread::msleep(quint64(std::min<qint64>(left, 100)));
    return !interruptedBy;
}

// What went wrong in a step after the start of charging, on stderr.
void Report(const LiveResult& failed, const Tester& tester, const LiveTiming& timing,
            std::FILE* err) {
    switch (failed.step) {
    case LiveStep::ChargeStatus:
        LinkFailed(err, tester, QStringLiteral("charge status"));
        break;
    case LiveStep::Arm:
        if (failed.failure == LiveFailure::Refused)
            Print(err, QStringLiteral("oltc-cli live: the tester did not arm its trigger (%1)\n")
                           .arg(AnswerText(failed.answer)));
        else
            LinkFailed(err, tester, QStringLiteral("arming the trigger"));
        break;
    case LiveStep::PollTrigger:
        if (failed.failure == LiveFailure::NothingCaptured)
            Print(err, QStringLiteral("oltc-cli live: no operation captured within %1 s\n")
                           .arg(timing.triggerWaitMs / 1000.0));
        else
            LinkFailed(err, tester, QStringLiteral("trigger poll"));
        break;
    case LiveStep::Upload:
        Print(err, QStringLiteral("\n"));
        LinkFailed(err, tester, QStringLiteral("%1 block").arg(kBlockNames[failed.block]));
        break;
    default:
        break;
    }
}

// From charging to the capture, sleeping the delays the steps ask for.
// Ends with the stop as the next step, or on an interrupt.
void Drive(LiveTest& live, const Tester& tester, std::FILE* err) {
    while (live.Next() != LiveStep::Stop && live.Next() != LiveStep::Done) {
        if (interruptedBy) {
            live.Interrupt();
            return;
        }
        if (live.Next() == LiveStep::Upload)
            Print(err,
                  QStringLiteral("\roltc-cli live: uploading %1 ").arg(kBlockNames[live.Block()]));
        const LiveResult done = live.Step();
        if (done.Failed()) {
            Report(done, tester, live.Timing(), err);
            return;
        }
        if (done.step == LiveStep::Arm)
            Print(err, QStringLiteral(
                           "oltc-cli live: waiting up to %1 s for the tap changer to operate\n")
                           .arg(live.Timing().triggerWaitMs / 1000.0));
        if (live.Captured())
            Print(err, QStringLiteral("\roltc-cli live: uploaded            \n"));
        if (!Sleep(done.delayMs)) {
            live.Interrupt();
            return;
        }
    }
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

    Tester tester(CommSettingsOf(settings));
    LiveTest live(tester, record, timing);
    const int seconds = record.params.iChargeTime * 5;
    ChargeReadout readout(record.params);
    live.observer.charge = [&](const ChargeStatus& status, int second) {
        Print(err, QStringLiteral("%1/%2 s  %3\n")
                       .arg(second, 2)
                       .arg(seconds)
                       .arg(readout.Update(status)));
    };

    LiveResult done = live.Step();
    if (done.failure == LiveFailure::NoAnswer)
        return LinkFailed(err, tester, QStringLiteral("sending the parameters"));
    if (done.Failed()) {
        Print(err,
              QCoreApplication::translate("LiveCommand", "oltc-cli live: 发送参数失败！ (%1)\n")
                  .arg(AnswerText(done.answer)));
        return kExitLinkFailed;
    }
    if (interruptedBy)
        return 128 + interruptedBy;
    done = live.Step();
    if (done.failure == LiveFailure::NoAnswer) {
        const int failed = LinkFailed(err, tester, QStringLiteral("start of charging"));
        // The request may have started the charge though its answer was lost.
        if (live.Next() == LiveStep::Stop && live.Step().Failed())
            Print(err, QStringLiteral("oltc-cli live: the stop went unanswered too; the tester "
                                      "may still be charging\n"));
        QThread::msleep(quint64(timing.afterStopMs));
        return failed;
    }

    // From here on the tester is charging: whatever happens, it gets the stop.
    if (done.Failed()) {
        Print(err,
              QCoreApplication::translate("LiveCommand", "oltc-cli live: 开始充电失败！ (%1)\n")
                  .arg(AnswerText(done.answer)));
    } else {
        if (seconds > 0)
            Print(err, QStringLiteral("oltc-cli live: charging for %1 s\n").arg(seconds));
        Drive(live, tester, err);
    }
    const bool captured = live.Captured();
    if (!captured && interruptedBy)
        Print(err, QStringLiteral("\noltc-cli live: interrupted; stopping the tester\n"));
    live.Interrupt();
    const bool stopped = !live.Step().Failed();
    if (!stopped)
        LinkFailed(err, tester, QStringLiteral("stop"));
    QThread::msleep(quint64(timing.afterStopMs));
    if (!captured)
        return interruptedBy ? 128 + interruptedBy : kExitLinkFailed;
    // A whole capture is kept even when the stop went unanswered.
    const int written = WriteAndShow(options.output, record, out, err);
    if (written == kExitOk)
        KeptTests(options.link, err).Keep(record, TestSource::Live, options.output);
    return written != kExitOk ? written : stopped ? kExitOk : kExitLinkFailed;
}
