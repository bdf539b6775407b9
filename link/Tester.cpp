#include "Tester.h"

#include "BaudRate.h"
#include "CommandCodes.h"
#include "Settings.h"
#include "UCommUnit.h"
#include "UsbPort.h"

#include <algorithm>

CommSettings CommSettingsOf(const SystemSettings& settings) {
    return {settings.giCommStyle, settings.giCommPort, settings.giBaudRate};
}

Tester::Tester(const CommSettings& comm, const LinkState& state) : comm_(comm), state_(state) {}

bool Tester::SerialExchange(QByteArrayView request, QByteArray& response, quint32 responseLength,
                            quint32 writeLength) {
    const SerialLine line{quint8(comm_.port & 0xFF), BaudFromIndex(quint32(comm_.baudIndex))};
    return ::SerialExchange(line, request, response, responseLength, writeLength, state_.LinkError,
                            mayHaveArrived_);
}

bool Tester::Transact(QByteArrayView request, QByteArray& response, quint32 responseLength,
                      quint32 writeLength) {
    mayHaveArrived_ = false;
    if (request.isEmpty() || !IsDeviceCommand(quint8(request[0])))
        return false;
    if (OverUsb())
        return UsbExchange(BridgeApi(), usbHandle_, request, response,
                           std::max(responseLength, kUsbResponseSize), writeLength,
                           &mayHaveArrived_);
    return SerialExchange(request, response, responseLength, kSerialFrameSize);
}

bool Tester::Transact(const DeviceRequest& request, QByteArray& response) {
    return Transact(request.bytes, response, request.responseLength, request.writeLength);
}
