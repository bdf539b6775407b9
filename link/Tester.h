#pragma once

#include "Requests.h"
#include "SiBridge.h"

#include <QByteArray>
#include <QByteArrayView>

struct SystemSettings;

// Which transport and where: style 0 is the USB bridge, any other value the
// serial port `port` (COMn) at speed index `baudIndex`.
struct CommSettings {
    int style = 1;
    int port = 1;
    int baudIndex = 7;
    bool operator==(const CommSettings&) const = default;
};

CommSettings CommSettingsOf(const SystemSettings& settings);

// What is known of the tester at the other end.
struct LinkState {
    bool Connected = false;
    int Brand = 1;     // 0 none, 1 "Aulex", 2 "Borvin"
    int LinkError = 0; // outcome of the last serial transaction (LinkErrorCode)
};

// The tester at the end of one transport, chosen once from the settings it
// is built with: every exchange with it goes through here. Not shared
// between threads; a window keeps one, a command-line run builds its own.
class Tester {
public:
    explicit Tester(const CommSettings& comm = {}, const LinkState& state = {});

    const CommSettings& Comm() const { return comm_; }
    bool OverUsb() const { return comm_.style == 0; }
    LinkState& State() { return state_; }
    const LinkState& State() const { return state_; }

    // One command/response transaction. The response is written from
    // position 0 into `response`, which is grown with zeros when it is too
    // short and never cleared. Serial: 8 request bytes, `responseLength`
    // response bytes. USB: `writeLength` request bytes, the full response
    // length but at least 64. A command byte outside 0xF0..0xFA is refused.
    bool Transact(QByteArrayView request, QByteArray& response, quint32 responseLength,
                  quint32 writeLength);
    bool Transact(const DeviceRequest& request, QByteArray& response);

    // Four attempts over the serial port (no parity); sets LinkError.
    bool SerialExchange(QByteArrayView request, QByteArray& response, quint32 responseLength,
                        quint32 writeLength);

    // Whether the request of the last transaction may have reached the
    // tester: some attempt started sending it. A failed transaction may
    // still have started what it asked for.
    bool RequestMayHaveArrived() const { return mayHaveArrived_; }

private:
    CommSettings comm_;
    LinkState state_;
    SiHandle usbHandle_ = nullptr; // open only during one USB attempt
    bool mayHaveArrived_ = false;
};
