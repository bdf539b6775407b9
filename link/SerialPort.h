#pragma once

#include <QtGlobal>
#include <memory>

class QSerialPort;

// One serial port, opened for one exchange: fixed framing (8 data bits, one
// stop bit), exact reads within a deadline derived from the byte count and
// the bit rate. Every call blocks until it is done; nothing shows a message.
class SerialPort {
public:
    SerialPort();
    ~SerialPort();
    SerialPort(const SerialPort&) = delete;
    SerialPort& operator=(const SerialPort&) = delete;

    // Port number clamped to 1..16; parity 0 none, 1 odd, 2 even, 3 mark,
    // 4 space. False leaves nothing open.
    bool Open(quint8 port, quint32 baud, quint8 parity);
    // True only when exactly `count` bytes arrived before the deadline. The
    // receive queue is emptied at the end either way.
    bool Read(quint8* buffer, quint32 count);
    // The answer to a request whose command byte is `echo`: exactly `count`
    // bytes within the read deadline, byte 0 the echo, and then a quiet
    // line (QuietAfterAnswerMs). Unlike Read, the receive queue is left as
    // it is, so that Settle can wait out what is still coming.
    enum class Answer { Whole, Incomplete, WrongEcho, OutOfStep };
    Answer ReadAnswer(quint8* buffer, quint32 count, quint8 echo);
    // Discards what arrives until nothing has come for `quietMs`, for at
    // most `maxMs`, then empties the receive queue. Returns the
    // milliseconds it waited.
    qint64 Settle(qint64 quietMs, qint64 maxMs);
    // True when all `length` bytes went out.
    bool Write(const quint8* buffer, quint32 length);
    // Discards the receive queue, then the send queue.
    void Purge();
    void Close();

    bool IsOpen() const;
    quint32 Baud() const { return baud_; }
    // How long the line must stay quiet after a whole answer: two character
    // times and a margin for a sender that writes in bursts.
    qint64 QuietAfterAnswerMs() const;
    // When the first byte of the last read arrived, in ms of the monotonic
    // clock (QDeadlineTimer::current); 0 before any byte.
    qint64 FirstByteAt() const { return firstByteAt_; }

private:
    void GatherBeforeWait(quint32 missing, qint64 leftMs) const;
    // Reads up to `count` bytes until the deadline; stops early when byte 0
    // is not `echo` (echo < 0: any byte 0). Returns the bytes read.
    quint32 Gather(quint8* buffer, quint32 count, int echo);
    // True when a byte arrives within `ms`.
    bool MoreWithin(qint64 ms);

    std::unique_ptr<QSerialPort> port_;
    quint32 baud_ = 0;
    qint64 firstByteAt_ = 0;
};
