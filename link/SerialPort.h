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
    // True when all `length` bytes went out.
    bool Write(const quint8* buffer, quint32 length);
    // Discards the receive queue, then the send queue.
    void Purge();
    void Close();

    bool IsOpen() const;
    quint32 Baud() const { return baud_; }

private:
    void GatherBeforeWait(quint32 missing, qint64 leftMs) const;

    std::unique_ptr<QSerialPort> port_;
    quint32 baud_ = 0;
};
