#pragma once

#include "Requests.h"

#include <QByteArray>
#include <QByteArrayView>

// Outcome of the last serial transaction, kept in the link state.
enum LinkErrorCode : int {
    kLinkOk = 0,
    kLinkNoPort = 1,      // the port object could not be made
    kLinkOpenFailed = 2,  // opening or configuring the port failed
    kLinkWriteFailed = 8, // the request did not go out
    kLinkReadFailed = 9,  // the response was not complete before the deadline
};

inline constexpr int kSerialAttempts = 4;
// The fixed pauses of a serial attempt, in ms: after the write, after the
// close, and before the next attempt. The tester relies on them.
inline constexpr int kPauseAfterWriteMs = 100;
inline constexpr int kPauseAfterCloseMs = 100;
inline constexpr int kPauseBeforeRetryMs = 100;

// One command/response transaction over the transport of the settings
// (giCommStyle 0 USB, else serial). The response is written from position 0
// into `response`, which is grown with zeros when it is too short and never
// cleared. Serial: 8 request bytes, `responseLength` response bytes. USB:
// `writeLength` request bytes, the full response length but at least 64.
// A command byte outside 0xF0..0xFA is refused on both transports.
bool Transact(QByteArrayView request, QByteArray& response, quint32 responseLength,
              quint32 writeLength);
bool Transact(const DeviceRequest& request, QByteArray& response);

// Four attempts over the serial port of the settings (port giCommPort, rate
// BaudFromIndex(giBaudRate), no parity); sets LinkError.
bool SerialExchange(QByteArrayView request, QByteArray& response, quint32 responseLength,
                    quint32 writeLength);
