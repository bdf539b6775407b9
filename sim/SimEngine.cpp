#include "SimEngine.h"

#include "CommandCodes.h"
#include "SimCapture.h"
#include "SimFrames.h"
#include "SimRandom.h"
#include "SimStoredTest.h"
#include "SimWaveform.h"

#include <cmath>

namespace {
void PutBig16(QByteArray& out, qsizetype at, quint16 value) {
    out[at] = char(value >> 8);
    out[at + 1] = char(value & 0xFF);
}

// Samples big-endian from `at`, then one trailer byte: the low byte of
// their byte sum (the program does not look at it).
void PutSamples(QByteArray& out, qsizetype at, const std::array<quint16, kSimSamples>& samples) {
    quint8 sum = 0;
    for (int n = 0; n < kSimSamples; ++n) {
        PutBig16(out, at + 2 * n, samples[size_t(n)]);
        sum = quint8(sum + (samples[size_t(n)] >> 8) + (samples[size_t(n)] & 0xFF));
    }
    out[at + 2 * kSimSamples] = char(sum);
}

void PutCodes(QByteArray& out, qsizetype at, const QByteArray& text) {
    const auto codes = EncodeNameCodes(text);
    for (size_t i = 0; i < codes.size(); ++i)
        out[at + qsizetype(i)] = char(codes[i]);
}

QByteArray Zeros(int size) {
    return QByteArray(size, '\0');
}

// When the program has given up waiting for an answer of `length` bytes,
// counted from the request: over serial the 100 ms pause after its write
// and the read deadline (twice the line time of 10-bit bytes, at least
// 10 ms, plus 100 ms); over USB the 1 ms pause and one read of 100 ms.
int GiveUpMs(qsizetype length, bool usb, int baudIndex) {
    if (usb)
        return 101;
    const double perMs = double(SimBaudFromIndex(baudIndex)) / 1000.0;
    const int lineMs = int(std::nearbyint(double(length) * 20.0 / perMs));
    return 100 + (lineMs == 0 ? 10 : lineMs) + 100;
}
} // namespace

SimEngine::SimEngine(SimConfig config)
    : config_(std::move(config)), faultHits_(config_.faults.size(), 0) {}

QByteArray SimEngine::Respond(QByteArrayView request, bool usb) {
    const SimReply reply = Reply(request, usb);
    return reply.garbage + reply.bytes.repeated(reply.copies);
}

QList<SimFault> SimEngine::ActiveFaults(quint8 command) {
    QList<SimFault> active;
    for (qsizetype i = 0; i < config_.faults.size(); ++i) {
        const SimFault& fault = config_.faults[i];
        if (fault.command != command || (fault.times > 0 && faultHits_[i] >= fault.times))
            continue;
        ++faultHits_[i];
        active.append(fault);
    }
    return active;
}

SimReply SimEngine::Reply(QByteArrayView request, bool usb) {
    SimReply reply;
    if (request.isEmpty() || !IsDeviceCommand(quint8(request[0]))) {
        reply.note = QStringLiteral("no command, ignored");
        return reply;
    }
    const quint8 command = quint8(request[0]);
    const QList<SimFault> faults = ActiveFaults(command);
    for (const SimFault& fault : faults)
        if (fault.kind == FaultKind::NoAnswer) {
            reply.note = QStringLiteral("fault %1").arg(FaultText(fault));
            return reply;
        }

    QByteArray bytes = Answer(request, reply.note);
    if (bytes.isEmpty())
        return reply;
    if (usb && bytes.size() < kUsbMinResponse)
        bytes.append(Zeros(kUsbMinResponse - int(bytes.size())));

    for (const SimFault& fault : faults) {
        const int arg = fault.Arg();
        switch (fault.kind) {
        case FaultKind::Nak:
            bytes[1] = char(arg);
            break;
        case FaultKind::WrongEcho:
            bytes[0] = char(arg);
            break;
        case FaultKind::Short:
            bytes.chop(qMin<qsizetype>(arg, bytes.size()));
            break;
        case FaultKind::Cut:
            bytes.truncate(arg);
            break;
        case FaultKind::Garbage:
            // Bytes that are neither an echo nor a command byte.
            for (int i = 0; i < arg; ++i)
                reply.garbage.append(char(i % 2 ? 0x00 : 0xA5));
            break;
        case FaultKind::Delay:
            reply.delayMs += arg;
            break;
        case FaultKind::Late:
            reply.delayMs += GiveUpMs(bytes.size(), usb, config_.baudIndex) + arg;
            break;
        case FaultKind::Twice:
            reply.copies = 2;
            break;
        case FaultKind::NoAnswer:
            break;
        }
        reply.note += QStringLiteral(", fault %1").arg(FaultText(fault));
    }
    reply.bytes = bytes;
    return reply;
}

QByteArray SimEngine::Answer(QByteArrayView request, QString& note) {
    auto at = [&](qsizetype i) { return i < request.size() ? quint8(request[i]) : quint8(0); };
    const quint8 command = at(0);
    auto acknowledged = [&](quint8 value) {
        QByteArray out = Zeros(2);
        out[0] = char(command);
        out[1] = char(value);
        return out;
    };
    switch (command) {
    case CMD_IDENTIFY:
        note = QStringLiteral("brand %1").arg(config_.brand);
        return acknowledged(config_.brand);
    case CMD_HISTORY_COUNT:
        note = QStringLiteral("%1 stored").arg(config_.storedTests);
        return acknowledged(quint8(config_.storedTests));
    case CMD_HISTORY_ENTRY:
        return HistoryEntry(at(1), note);
    case CMD_HISTORY_BLOCK:
        return HistoryBlock(at(1), at(2), note);
    case CMD_SET_PARAMS: {
        QString why;
        const auto params = DecodeParams(request, &why);
        if (!params) {
            note = QStringLiteral("parameters refused: %1").arg(why);
            return acknowledged(0x00);
        }
        params_ = params;
        note = QStringLiteral("parameters taken");
        return acknowledged(ACK);
    }
    case CMD_START_CHARGE:
        charging_ = true;
        chargePolls_ = 0;
        note = QStringLiteral("charging");
        return acknowledged(ACK);
    case CMD_CHARGE_STATUS:
        return ChargeStatus();
    case CMD_ARM_TRIGGER:
        armed_ = true;
        captureReady_ = false;
        triggerPolls_ = 0;
        note = QStringLiteral("trigger armed");
        return acknowledged(ACK);
    case CMD_POLL_TRIGGER:
        if (armed_ && !captureReady_ && ++triggerPolls_ >= config_.pollsBeforeReady) {
            captureReady_ = true;
            armed_ = false;
        }
        note = captureReady_ ? QStringLiteral("capture ready")
                             : QStringLiteral("waiting, poll %1").arg(triggerPolls_);
        return acknowledged(captureReady_ ? ACK : 0x00);
    case CMD_STOP:
        charging_ = false;
        armed_ = false;
        note = QStringLiteral("stopped");
        return acknowledged(ACK);
    case CMD_UPLOAD_BLOCK:
        return UploadBlock(at(1), note);
    default:
        return {};
    }
}

QByteArray SimEngine::ChargeStatus() {
    QByteArray out = Zeros(14);
    out[0] = char(CMD_CHARGE_STATUS);
    if (!charging_)
        return out;
    // The current rises towards its level as the circuit charges; the voltage
    // follows the phase's resistance (its steady level in the live capture).
    const int poll = chargePolls_++;
    const double rise = 1.0 - std::exp(-(poll + 1) / 2.5);
    for (int phase = 1; phase <= 3; ++phase) {
        SimRandom level(config_.seed, quint64(phase), 0xC4A);
        SimRandom jitter(config_.seed, quint64(phase), quint64(poll), 0xC4B);
        const int target = level.Range(1400, 1600);
        const int current = qBound(0, int(target * rise) + jitter.Range(-5, 5), 65535);
        const int milliOhm = SimTransitionOf(config_.seed, phase, 0).levels[0] * 10;
        const int voltage = qBound(0, current * milliOhm / 1000, 65535);
        PutBig16(out, 1 + 4 * (phase - 1), quint16(voltage));
        PutBig16(out, 3 + 4 * (phase - 1), quint16(current));
    }
    return out;
}

QByteArray SimEngine::UploadBlock(quint8 block, QString& note) {
    if (!captureReady_) {
        note = QStringLiteral("block %1 asked before a capture, no answer").arg(block);
        return {};
    }
    if (block < 1 || block > 4) {
        note = QStringLiteral("no block %1, no answer").arg(block);
        return {};
    }
    note = QStringLiteral("block %1").arg(block);
    if (block == 4) {
        QByteArray out = Zeros(kUploadRotationSize);
        out[0] = char(CMD_UPLOAD_BLOCK);
        out[1] = char(block);
        PutBig16(out, 2, config_.rotation.value_or(SimRotation(config_.seed, 0)));
        return out;
    }
    QByteArray out = Zeros(kUploadPhaseSize);
    out[0] = char(CMD_UPLOAD_BLOCK);
    out[1] = char(block);
    PutSamples(out, 2, SimSamples(config_.seed, block, 0, config_.rough));
    return out;
}

QByteArray SimEngine::HistoryEntry(int k, QString& note) const {
    if (k < 1 || k > config_.storedTests) {
        note = QStringLiteral("no stored test %1, no answer").arg(k);
        return {};
    }
    const SimStoredTest test =
        config_.campaign ? CampaignTestOf(config_.seed, k) : StoredTestOf(config_.seed, k);
    QByteArray out = Zeros(11);
    out[0] = char(CMD_HISTORY_ENTRY);
    out[1] = char(k);
    out[2] = char(test.step);
    const auto stamp = test.StampBytes();
    for (size_t i = 0; i < stamp.size(); ++i)
        out[3 + qsizetype(i)] = char(stamp[i]);
    note = QStringLiteral("entry %1").arg(k);
    return out;
}

QByteArray SimEngine::HistoryBlock(int k, quint8 block, QString& note) const {
    if (k < 1 || k > config_.storedTests || block > 3) {
        note = QStringLiteral("no block %1 of stored test %2, no answer").arg(block).arg(k);
        return {};
    }
    note = QStringLiteral("stored test %1 block %2").arg(k).arg(block);
    if (block > 0) {
        QByteArray out = Zeros(kHistoryPhaseSize);
        out[0] = char(CMD_HISTORY_BLOCK);
        out[1] = char(k);
        out[2] = char(block);
        PutSamples(out, 3,
                   config_.campaign
                       ? CampaignSamples(config_.seed, block, k, config_.campaignFaults)
                       : SimSamples(config_.seed, block, k, config_.rough));
        return out;
    }
    const SimStoredTest test =
        config_.campaign ? CampaignTestOf(config_.seed, k) : StoredTestOf(config_.seed, k);
    QByteArray out = Zeros(kHistoryHeaderSize);
    out[0] = char(CMD_HISTORY_BLOCK);
    out[1] = char(k);
    const auto stamp = test.StampBytes();
    for (size_t i = 0; i < stamp.size(); ++i)
        out[3 + qsizetype(i)] = char(stamp[i]);
    PutCodes(out, 11, test.user);
    PutCodes(out, 19, test.place);
    out[27] = char(test.switchType);
    out[28] = char(test.testMode);
    out[29] = char(test.step);
    PutBig16(out, 30, test.threshold);
    out[32] = char(test.preTrigger);
    return out;
}
