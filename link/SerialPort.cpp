#include "SerialPort.h"

#include "BaudRate.h"
#include "PortNames.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QSerialPort>
#include <QThread>
#include <algorithm>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>
#endif

namespace {

constexpr qint64 kQueueSize = 4096;
// A port that keeps failing gives up after this many errors in one call.
constexpr int kMaxFailures = 3;
// Longest pause that lets bytes of a paced response gather before the next
// wait, so a slow line does not wake us for every byte.
constexpr qint64 kMaxGatherMs = 20;
// A sender that writes in bursts leaves gaps of a few ms inside one answer;
// a quiet line after an answer must last longer than such a gap.
constexpr qint64 kQuietMarginMs = 20;

bool ParityOf(quint8 code, QSerialPort::Parity& parity) {
    switch (code) {
    case 0:
        parity = QSerialPort::NoParity;
        return true;
    case 1:
        parity = QSerialPort::OddParity;
        return true;
    case 2:
        parity = QSerialPort::EvenParity;
        return true;
    case 3:
        parity = QSerialPort::MarkParity;
        return true;
    case 4:
        parity = QSerialPort::SpaceParity;
        return true;
    default:
        return false;
    }
}

// The flow control the system has set for the device, so that opening the
// port keeps it: QSerialPort would otherwise apply its own default.
QSerialPort::FlowControl SystemFlowControl(const QString& device) {
#ifdef Q_OS_UNIX
    const int fd = ::open(QFile::encodeName(device).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return QSerialPort::NoFlowControl;
    termios line{};
    const bool known = ::tcgetattr(fd, &line) == 0;
    ::close(fd);
    if (known && (line.c_cflag & CRTSCTS))
        return QSerialPort::HardwareControl;
    if (known && (line.c_iflag & (IXON | IXOFF)))
        return QSerialPort::SoftwareControl;
#else
    Q_UNUSED(device);
#endif
    return QSerialPort::NoFlowControl;
}

bool IsTransient(QSerialPort::SerialPortError error) {
    return error == QSerialPort::NoError || error == QSerialPort::TimeoutError;
}

} // namespace

SerialPort::SerialPort() = default;

SerialPort::~SerialPort() {
    Close();
}

bool SerialPort::IsOpen() const {
    return port_ && port_->isOpen();
}

bool SerialPort::Open(quint8 port, quint32 baud, quint8 parity) {
    Close();
    const int number = std::clamp<int>(port, 1, 16);
    QSerialPort::Parity lineParity;
    const QString device = SerialDeviceName(number);
    if (device.isEmpty() || baud == 0 || !ParityOf(parity, lineParity))
        return false;
    auto serial = std::make_unique<QSerialPort>();
    serial->setPortName(device);
    serial->setReadBufferSize(kQueueSize);
    serial->setFlowControl(SystemFlowControl(device));
    if (!serial->open(QIODevice::ReadWrite))
        return false;
    // Flow control and the handshake lines stay as the system has them.
    if (!serial->setBaudRate(qint32(baud)) || !serial->setDataBits(QSerialPort::Data8) ||
        !serial->setStopBits(QSerialPort::OneStop) || !serial->setParity(lineParity)) {
        serial->close();
        return false;
    }
    // Bytes left over from an earlier exchange must not start this one.
    serial->clear(QSerialPort::Input);
    port_ = std::move(serial);
    baud_ = baud;
    return true;
}

void SerialPort::GatherBeforeWait(quint32 missing, qint64 leftMs) const {
    const qint64 lineMs = qint64(missing) * 10 * 1000 / qint64(baud_);
    const qint64 pause = std::min({lineMs, kMaxGatherMs, leftMs});
    if (pause >= 2)
        QThread::msleep(quint64(pause));
}

quint32 SerialPort::Gather(quint8* buffer, quint32 count, int echo) {
    const QDeadlineTimer deadline(qint64(ReadAllowanceMs(count, baud_)));
    quint32 got = 0;
    int failures = 0;
    while (got < count && failures <= kMaxFailures) {
        const qint64 waiting = port_->bytesAvailable();
        if (waiting > 0) {
            const qint64 n = std::min({waiting, kQueueSize, qint64(count - got)});
            const qint64 r = port_->read(reinterpret_cast<char*>(buffer) + got, n);
            if (r > 0) {
                if (got == 0)
                    firstByteAt_ = QDeadlineTimer::current().deadline();
                got += quint32(r);
            } else {
                ++failures;
            }
            if (got > 0 && echo >= 0 && buffer[0] != quint8(echo))
                break;
            continue;
        }
        const qint64 left = deadline.remainingTime();
        if (left <= 0)
            break;
        GatherBeforeWait(count - got, left);
        if (port_->bytesAvailable() > 0)
            continue;
        if (!port_->waitForReadyRead(int(std::max<qint64>(deadline.remainingTime(), 0)))) {
            const QSerialPort::SerialPortError error = port_->error();
            port_->clearError();
            if (!IsTransient(error))
                ++failures;
        }
    }
    return got;
}

bool SerialPort::Read(quint8* buffer, quint32 count) {
    if (!IsOpen() || count == 0)
        return false;
    const quint32 got = Gather(buffer, count, -1);
    port_->clear(QSerialPort::Input);
    port_->clearError();
    return got == count;
}

qint64 SerialPort::QuietAfterAnswerMs() const {
    return kQuietMarginMs + (baud_ > 0 ? (2 * 10 * 1000 + qint64(baud_) - 1) / qint64(baud_) : 0);
}

bool SerialPort::MoreWithin(qint64 ms) {
    if (port_->bytesAvailable() > 0)
        return true;
    const QDeadlineTimer deadline(ms);
    for (qint64 left = ms; left > 0; left = deadline.remainingTime()) {
        if (port_->waitForReadyRead(int(left)))
            return true;
        const QSerialPort::SerialPortError error = port_->error();
        port_->clearError();
        if (!IsTransient(error))
            return false;
    }
    return port_->bytesAvailable() > 0;
}

SerialPort::Answer SerialPort::ReadAnswer(quint8* buffer, quint32 count, quint8 echo) {
    if (!IsOpen() || count == 0)
        return Answer::Incomplete;
    const quint32 got = Gather(buffer, count, echo);
    if (got > 0 && buffer[0] != echo)
        return Answer::WrongEcho;
    if (got < count)
        return Answer::Incomplete;
    // A line that keeps talking is answering something else as well.
    return MoreWithin(QuietAfterAnswerMs()) ? Answer::OutOfStep : Answer::Whole;
}

qint64 SerialPort::Settle(qint64 quietMs, qint64 maxMs) {
    if (!IsOpen())
        return 0;
    QElapsedTimer clock;
    clock.start();
    char scratch[512];
    while (clock.elapsed() < maxMs) {
        while (port_->bytesAvailable() > 0 && port_->read(scratch, sizeof scratch) > 0) {
        }
        if (!MoreWithin(std::min(quietMs, maxMs - clock.elapsed())))
            break;
    }
    port_->clear(QSerialPort::Input);
    port_->clearError();
    return clock.elapsed();
}

bool SerialPort::Write(const quint8* buffer, quint32 length) {
    if (!IsOpen())
        return false;
    // The bound a Windows port gives a write: 5 ms per byte plus 50 ms.
    const QDeadlineTimer deadline(qint64(length) * 5 + 50);
    quint32 queued = 0;
    int failures = 0;
    while (queued < length) {
        const qint64 r =
            port_->write(reinterpret_cast<const char*>(buffer) + queued, qint64(length - queued));
        if (r > 0) {
            queued += quint32(r);
        } else if (++failures > kMaxFailures) {
            port_->clearError();
            return false;
        }
    }
    while (port_->bytesToWrite() > 0) {
        const qint64 left = deadline.remainingTime();
        if (left <= 0 || !port_->waitForBytesWritten(int(left))) {
            port_->clearError();
            return false;
        }
    }
    return true;
}

void SerialPort::Purge() {
    if (!IsOpen())
        return;
    port_->clear(QSerialPort::Input);
    port_->clear(QSerialPort::Output);
}

void SerialPort::Close() {
    if (port_) {
        port_->close();
        port_.reset();
    }
}
