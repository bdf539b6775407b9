#include "SerialFront.h"
#include "SimTestUtil.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace {

using namespace std::chrono;

// The program's end of the line, opened through the link like a COM port.
class Port {
public:
    explicit Port(const QString& path) {
        fd_ = open(QFile::encodeName(path).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        termios raw{};
        if (fd_ >= 0 && tcgetattr(fd_, &raw) == 0) {
            cfmakeraw(&raw);
            tcsetattr(fd_, TCSANOW, &raw);
        }
    }
    ~Port() { Close(); }
    bool IsOpen() const { return fd_ >= 0; }
    void Close() {
        if (fd_ >= 0)
            close(fd_);
        fd_ = -1;
    }
    bool Send(const QByteArray& bytes) {
        return write(fd_, bytes.data(), bytes.size()) == bytes.size();
    }
    // Reads until `count` bytes arrived or `ms` passed.
    QByteArray Read(int count, int ms) {
        QByteArray got;
        const auto until = steady_clock::now() + milliseconds(ms);
        while (got.size() < count) {
            const auto left = duration_cast<milliseconds>(until - steady_clock::now()).count();
            if (left <= 0)
                break;
            pollfd p{fd_, POLLIN, 0};
            if (poll(&p, 1, int(left)) <= 0)
                continue;
            char buffer[8192];
            const ssize_t n =
                read(fd_, buffer, std::min<qsizetype>(sizeof buffer, count - got.size()));
            if (n > 0)
                got.append(buffer, n);
        }
        return got;
    }

private:
    int fd_ = -1;
};

class SerialFrontTest : public testing::Test {
protected:
    void StartFront(SimConfig config, int port = 1) {
        front_ = std::make_unique<SerialFront>(config);
        QString error;
        ASSERT_TRUE(front_->Start(dir_.path(), port, &error)) << qPrintable(error);
    }
    QTemporaryDir dir_;
    std::unique_ptr<SerialFront> front_;
};

SimConfig AtIndex(int baudIndex) {
    SimConfig config;
    config.baudIndex = baudIndex;
    return config;
}

TEST_F(SerialFrontTest, AnswersThroughTheLinkAndLogsRequests) {
    StartFront(AtIndex(12), 3);
    const QString link = dir_.filePath("ports/COM3");
    EXPECT_EQ(QFileInfo(link).symLinkTarget(), front_->DeviceName());
    EXPECT_EQ(front_->BitRate(), 115200u);

    Port port(link);
    ASSERT_TRUE(port.IsOpen());
    const qint64 before = QDateTime::currentMSecsSinceEpoch();
    ASSERT_TRUE(port.Send(SerialRequest({0xF4, 0x01, 0x00, 0x05, 0x0C, 0x14, 0x14, 0x00})));
    EXPECT_EQ(port.Read(2, 1000), Bytes({0xF4, 0x55}));
    // Junk ahead of a request is skipped, and a request may come in pieces.
    ASSERT_TRUE(port.Send(Bytes({0x00, 0x13, 0xF2, 0x02})));
    ASSERT_TRUE(port.Send(QByteArray(6, '\0')));
    const QByteArray entry = port.Read(11, 1000);
    ASSERT_EQ(entry.size(), 11);
    EXPECT_EQ(U8(entry, 0), 0xF2);

    const QList<LoggedRequest> log = front_->Requests();
    ASSERT_EQ(log.size(), 2);
    EXPECT_EQ(log[0].HexText(), "F4 01 00 05 0C 14 14 00");
    EXPECT_EQ(log[1].HexText(), "F2 02 00 00 00 00 00 00");
    EXPECT_GE(log[0].atMs, before);
    EXPECT_LE(log[1].atMs, QDateTime::currentMSecsSinceEpoch());
    EXPECT_LE(log[0].atMs, log[1].atMs);
}

TEST_F(SerialFrontTest, PacesTenBitsPerByte) {
    struct Case {
        int baudIndex;
        QByteArray request;
        int bytes;
    };
    const Case cases[] = {
        {2, SerialRequest({0xF6}), 14},       // 600 bit/s: 233 ms
        {4, SerialRequest({0xF3, 1, 0}), 66}, // 2400 bit/s: 275 ms
    };
    for (const Case& c : cases) {
        StartFront(AtIndex(c.baudIndex));
        Port port(dir_.filePath("ports/COM1"));
        const auto start = steady_clock::now();
        ASSERT_TRUE(port.Send(c.request));
        const QByteArray got = port.Read(c.bytes, 3000);
        const double ms = duration<double, std::milli>(steady_clock::now() - start).count();
        EXPECT_EQ(got.size(), c.bytes);
        const double line = c.bytes * 10 * 1000.0 / SimBaudFromIndex(c.baudIndex);
        EXPECT_GT(ms, line * 0.9) << "index " << c.baudIndex;
        EXPECT_LT(ms, line * 1.4 + 100) << "index " << c.baudIndex;
        front_->Stop();
    }
}

// The program closes the port after every exchange: the front keeps serving,
// and what it sends while nobody listens is lost, as on a line.
TEST_F(SerialFrontTest, ServesAcrossClosesAndLosesWhatNobodyHears) {
    SimConfig config = AtIndex(12);
    config.faults = {*ParseFault("F1:delay:300:1"), *ParseFault("F0:garbage:3")};
    StartFront(config);
    const QString link = dir_.filePath("ports/COM1");
    {
        Port port(link);
        ASSERT_TRUE(port.Send(SerialRequest({0xF0})));
        EXPECT_EQ(port.Read(5, 1000), Bytes({0xA5, 0x00, 0xA5, 0xF0, 0x01}));
        ASSERT_TRUE(port.Send(SerialRequest({0xF1})));
        EXPECT_TRUE(port.Read(2, 100).isEmpty()) << "the answer is late";
    }
    std::this_thread::sleep_for(milliseconds(400));
    Port port(link);
    EXPECT_TRUE(port.Read(1, 100).isEmpty()) << "sent while the port was closed";
    ASSERT_TRUE(port.Send(SerialRequest({0xF1})));
    EXPECT_EQ(port.Read(2, 1000), Bytes({0xF1, 0x03}));

    // Late bytes of a port that stays open do arrive.
    front_->Stop();
    config.faults = {*ParseFault("F1:delay:150")};
    StartFront(config);
    Port again(link);
    const auto start = steady_clock::now();
    ASSERT_TRUE(again.Send(SerialRequest({0xF1})));
    EXPECT_EQ(again.Read(2, 1000), Bytes({0xF1, 0x03}));
    EXPECT_GE(steady_clock::now() - start, milliseconds(150));
}

TEST_F(SerialFrontTest, ReplacesAStaleLinkAndRemovesItOnStop) {
    ASSERT_TRUE(QDir(dir_.path()).mkpath("ports"));
    const QString link = dir_.filePath("ports/COM2");
    ASSERT_TRUE(QFile::link("/dev/pts/nonexistent", link));
    StartFront(AtIndex(12), 2);
    EXPECT_EQ(QFileInfo(link).symLinkTarget(), front_->DeviceName());
    const auto start = steady_clock::now();
    front_->Stop();
    EXPECT_LT(steady_clock::now() - start, milliseconds(500));
    EXPECT_FALSE(QFileInfo(link).isSymLink());
    front_->Stop(); // twice is harmless

    QFile plain(dir_.filePath("ports/COM5"));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    SerialFront blocked;
    QString error;
    EXPECT_FALSE(blocked.Start(dir_.path(), 5, &error));
    EXPECT_TRUE(error.contains("COM5")) << qPrintable(error);
    EXPECT_TRUE(QFileInfo(plain.fileName()).isFile());
}

TEST_F(SerialFrontTest, StopsWhileSendingALongBlock) {
    SimConfig config = AtIndex(1); // 300 bit/s: a header block takes 2.2 s
    config.storedTests = 1;
    StartFront(config);
    Port port(dir_.filePath("ports/COM1"));
    ASSERT_TRUE(port.Send(SerialRequest({0xF3, 1, 0})));
    EXPECT_EQ(port.Read(1, 1000).size(), 1);
    const auto start = steady_clock::now();
    front_->Stop();
    EXPECT_LT(steady_clock::now() - start, milliseconds(300));
}

} // namespace
