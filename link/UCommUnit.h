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

// Where a serial exchange goes: port number (clamped to 1..16 on opening)
// and bit rate.
struct SerialLine {
    quint8 port = 1;
    quint32 baud = 19200;
};

// Four attempts over `line` (no parity); sets `linkError`. An attempt counts
// only when the answer echoes the command byte, is whole and is followed by
// a quiet line; after a failed attempt the line is left to go quiet and
// emptied, so a transaction returns its own request's answer or fails.
// `mayHaveArrived` tells whether some attempt started sending the request.
bool SerialExchange(const SerialLine& line, QByteArrayView request, QByteArray& response,
                    quint32 responseLength, quint32 writeLength, int& linkError,
                    bool& mayHaveArrived);
