#include "UCommUnit.h"

#include "BaudRate.h"
#include "CommandCodes.h"
#include "SerialPort.h"
#include "UDataCenter.h"
#include "UsbPort.h"

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

bool SerialExchange(QByteArrayView request, QByteArray& response, quint32 responseLength,
                    quint32 writeLength) {
    const QByteArray frame = Padded(request, writeLength);
    if (frame.isEmpty() || !IsDeviceCommand(quint8(frame[0])))
        return false;
    if (response.size() < qsizetype(responseLength))
        response.resize(responseLength, '\0');
    const SystemSettings& settings = UDataCenter().settings;
    int& linkError = UDataCenter().link.LinkError;
    const auto portNumber = quint8(settings.giCommPort & 0xFF);
    const quint32 baud = BaudFromIndex(quint32(settings.giBaudRate));
    for (int attempt = 1; attempt <= kSerialAttempts; ++attempt) {
        std::unique_ptr<SerialPort> port(new (std::nothrow) SerialPort);
        if (!port) {
            linkError = kLinkNoPort;
            return false;
        }
        bool failed = false;
        if (!port->Open(portNumber, baud, 0)) {
            linkError = kLinkOpenFailed;
            failed = true;
        } else {
            try {
                if (!port->Write(reinterpret_cast<const quint8*>(frame.constData()),
                                 quint32(frame.size()))) {
                    linkError = kLinkWriteFailed;
                    failed = true;
                }
                Pause(kPauseAfterWriteMs);
                if (!port->Read(reinterpret_cast<quint8*>(response.data()), responseLength)) {
                    linkError = kLinkReadFailed;
                    failed = true;
                }
            } catch (const std::exception&) {
                port->Purge();
                failed = true;
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
