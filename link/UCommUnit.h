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
// After a failed attempt the line is left to go quiet this long before the
// next request, so that a late answer cannot be taken for the next one.
inline constexpr qint64 kSettleQuietMs = 100;
// The latest answer that is waited out after an attempt that failed; a
// tester later than this is taken as not answering.
inline constexpr qint64 kMaxLateAnswerMs = 1500;

// One command/response transaction over the transport of the settings
// (giCommStyle 0 USB, else serial). The response is written from position 0
// into `response`, which is grown with zeros when it is too short and never
// cleared. Serial: 8 request bytes, `responseLength` response bytes. USB:
// `writeLength` request bytes, the full response length but at least 64.
// A command byte outside 0xF0..0xFA is refused on both transports.
bool Transact(QByteArrayView request, QByteArray& response, quint32 responseLength,
              quint32 writeLength);
bool Transact(const DeviceRequest& request, QByteArray& response);

// Whether the request of the last transaction may have reached the tester:
// some attempt started sending it. A failed transaction may still have
// started what it asked for.
bool RequestMayHaveArrived();
void NoteRequestMayHaveArrived(bool arrived);

// Four attempts over the serial port of the settings (port giCommPort, rate
// BaudFromIndex(giBaudRate), no parity); sets LinkError. An attempt counts
// only when the answer echoes the command byte, is whole and is followed by
// a quiet line; after a failed attempt the line is left to go quiet and
// emptied, so a transaction returns its own request's answer or fails.
bool SerialExchange(QByteArrayView request, QByteArray& response, quint32 responseLength,
                    quint32 writeLength);
