#include "UCommUnit.h"

#include "BaudRate.h"
#include "CommandCodes.h"
#include "SerialPort.h"

#include <QDeadlineTimer>
#include <QThread>
#include <algorithm>
#include <exception>
#include <memory>
#include <new>

namespace {

QByteArray Padded(QByteArrayView request, quint32 length) {
    QByteArray frame = request.first(std::min<qsizetype>(request.size(), length)).toByteArray();
    frame.resize(length, '\0');
    return frame;
}

void Pause(int ms) {
    QThread::msleep(quint64(ms));
}

} // namespace

namespace {

// Where the start of an answer waits for its request in the monotonic clock.
qint64 Now() {
    return QDeadlineTimer::current().deadline();
}

} // namespace

bool SerialExchange(const SerialLine& line, QByteArrayView request, QByteArray& response,
                    quint32 responseLength, quint32 writeLength, int& linkError,
                    bool& mayHaveArrived) {
    mayHaveArrived = false;
    const QByteArray frame = Padded(request, writeLength);
    if (frame.isEmpty() || !IsDeviceCommand(quint8(frame[0])))
        return false;
    if (response.size() < qsizetype(responseLength))
        response.resize(responseLength, '\0');
    const quint8 portNumber = line.port;
    const quint32 baud = line.baud;
    const auto command = quint8(frame[0]);
    // A whole answer may still be under way when an attempt gives up.
    const qint64 settleMaxMs = qint64(ReadAllowanceMs(responseLength, baud));
    qint64 firstUnansweredAt = 0; // write of the first attempt that failed
    for (int attempt = 1; attempt <= kSerialAttempts; ++attempt) {
        std::unique_ptr<SerialPort> port(new (std::nothrow) SerialPort);
        if (!port) {
            linkError = kLinkNoPort;
            return false;
        }
        bool failed = false;
        qint64 writtenAt = 0;
        if (!port->Open(portNumber, baud, 0)) {
            linkError = kLinkOpenFailed;
            failed = true;
        } else {
            try {
                writtenAt = Now();
                mayHaveArrived = true;
                if (!port->Write(reinterpret_cast<const quint8*>(frame.constData()),
                                 quint32(frame.size()))) {
                    linkError = kLinkWriteFailed;
                    failed = true;
                }
                Pause(kPauseAfterWriteMs);
                if (port->ReadAnswer(reinterpret_cast<quint8*>(response.data()), responseLength,
                                     command) != SerialPort::Answer::Whole) {
                    linkError = kLinkReadFailed;
                    failed = true;
                }
            } catch (const std::exception&) {
                port->Purge();
                failed = true;
            }
            if (failed) {
                // Whatever is still on its way belongs to this attempt, not
                // to the next request.
                port->Settle(kSettleQuietMs, settleMaxMs);
                if (firstUnansweredAt == 0)
                    firstUnansweredAt = writtenAt;
            } else if (firstUnansweredAt != 0) {
                // The answer may be that of an earlier attempt; the answers
                // still owed come about as late as this one did.
                const qint64 late = port->FirstByteAt() - firstUnansweredAt;
                port->Settle(std::clamp<qint64>(late, kSettleQuietMs, kMaxLateAnswerMs),
                             kSerialAttempts * kMaxLateAnswerMs);
            }
        }
        port->Close();
        port.reset();
        Pause(kPauseAfterCloseMs);
        if (!failed) {
            linkError = kLinkOk;
            return true;
        }
        if (attempt == kSerialAttempts)
            return false;
        Pause(kPauseBeforeRetryMs);
    }
    return false;
}
