#include "UCommUnit.h"

#include "BaudRate.h"
#include "CommandCodes.h"
#include "SerialPort.h"
#include "UDataCenter.h"
#include "UsbPort.h"

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

// Whether the request of the last transaction may have reached the tester.
bool requestMayHaveArrived = false;

// Where the start of an answer waits for its request in the monotonic clock.
qint64 Now() {
    return QDeadlineTimer::current().deadline();
}

} // namespace

bool RequestMayHaveArrived() {
    return requestMayHaveArrived;
}

void NoteRequestMayHaveArrived(bool arrived) {
    requestMayHaveArrived = arrived;
}

bool SerialExchange(QByteArrayView request, QByteArray& response, quint32 responseLength,
                    quint32 writeLength) {
    requestMayHaveArrived = false;
    const QByteArray frame = Padded(request, writeLength);
    if (frame.isEmpty() || !IsDeviceCommand(quint8(frame[0])))
        return false;
    if (response.size() < qsizetype(responseLength))
        response.resize(responseLength, '\0');
    const SystemSettings& settings = UDataCenter().settings;
    int& linkError = UDataCenter().link.LinkError;
    const auto portNumber = quint8(settings.giCommPort & 0xFF);
    const quint32 baud = BaudFromIndex(quint32(settings.giBaudRate));
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
                requestMayHaveArrived = true;
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

bool Transact(QByteArrayView request, QByteArray& response, quint32 responseLength,
              quint32 writeLength) {
    requestMayHaveArrived = false;
    if (request.isEmpty() || !IsDeviceCommand(quint8(request[0])))
        return false;
    if (UDataCenter().settings.giCommStyle == 0)
        return UsbExchange(request, response, std::max(responseLength, kUsbResponseSize),
                           writeLength);
    return SerialExchange(request, response, responseLength, kSerialFrameSize);
}

bool Transact(const DeviceRequest& request, QByteArray& response) {
    return Transact(request.bytes, response, request.responseLength, request.writeLength);
}
