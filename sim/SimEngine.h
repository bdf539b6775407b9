#pragma once

#include "SimConfig.h"
#include "SimParams.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <optional>

// What the tester does with one request, before the wire carries it.
struct SimReply {
    QByteArray garbage; // sent ahead of the answer
    QByteArray bytes;   // the answer; empty when there is none
    int delayMs = 0;    // how late the answer (and the garbage) leaves
    int copies = 1;     // how often the answer is sent, back to back
    QString note;       // what the tester made of the request, for the log

    bool Answered() const { return !bytes.isEmpty() || !garbage.isEmpty(); }
};

// The tester's side of the protocol: decodes requests, keeps the state of
// a test, encodes responses. Not thread-safe; one front drives it.
class SimEngine {
public:
    explicit SimEngine(SimConfig config = {});

    // The reply to one framed request (its command byte first, missing
    // bytes read as 0). Serial answers have the length the program waits
    // for; USB answers are padded with zeros to at least 64 bytes.
    SimReply Reply(QByteArrayView request, bool usb);
    // The bytes to send for a request, garbage included; empty: no answer.
    QByteArray Respond(QByteArrayView request, bool usb);

    const SimConfig& Config() const { return config_; }
    const std::optional<SimParams>& Params() const { return params_; }
    bool Charging() const { return charging_; }
    bool Armed() const { return armed_; }
    bool CaptureReady() const { return captureReady_; }
    int TriggerPolls() const { return triggerPolls_; }
    int ChargePolls() const { return chargePolls_; }

private:
    QByteArray Answer(QByteArrayView request, QString& note);
    QByteArray ChargeStatus();
    QByteArray UploadBlock(quint8 block, QString& note);
    QByteArray HistoryEntry(int k, QString& note) const;
    QByteArray HistoryBlock(int k, quint8 block, QString& note) const;
    QList<SimFault> ActiveFaults(quint8 command);

    SimConfig config_;
    QList<int> faultHits_;
    std::optional<SimParams> params_;
    bool charging_ = false;
    bool armed_ = false;
    bool captureReady_ = false;
    int triggerPolls_ = 0;
    int chargePolls_ = 0;
};
