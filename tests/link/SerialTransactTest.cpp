#include "BaudRate.h"
#include "PortNames.h"
#include "PtyPeer.h"
#include "Requests.h"
#include "SerialPort.h"
#include "Tester.h"
#include "UCommUnit.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <fcntl.h>
#include <functional>
#include <gtest/gtest.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

namespace {

using Pieces = std::vector<PtyPeer::Piece>;

QByteArray Hex(const char* text) {
    return QByteArray::fromHex(text);
}

double ThreadCpuMs() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

class SerialLinkTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(ports.isValid());
        SetPortsFolder(ports.path());
        tester = Tester(CommSettings{1, 5, 7}); // COM5 at 19200 bit/s
        tester.State().LinkError = -1;
    }
    void TearDown() override { SetPortsFolder({}); }

    QTemporaryDir ports;
    Tester tester;
};

TEST_F(SerialLinkTest, DeviceNames) {
    QFile::link("/dev/null", ports.path() + "/COM2");
    QFile::link(ports.path() + "/gone", ports.path() + "/COM3");
    EXPECT_EQ(SerialDeviceName(2), QString("/dev/null"));
    // A link whose device is gone still names that port, never another one.
    EXPECT_EQ(SerialDeviceName(3), ports.path() + "/COM3");
    EXPECT_FALSE(SerialDeviceName(4).startsWith(ports.path()));
}

TEST_F(SerialLinkTest, PortNumbersAreClamped) {
    // A peer that answers on COM1 and one on COM16; each says which it is.
    PtyPeer com1(ports.path(), 1, [](int, const QByteArray&) { return Pieces{{"\x01"}}; });
    PtyPeer com16(ports.path(), 16, [](int, const QByteArray&) { return Pieces{{"\x10"}}; });
    ASSERT_TRUE(com1.IsReady() && com16.IsReady());
    for (const auto& [number, answer] :
         {std::pair{0, 1}, std::pair{1, 1}, std::pair{16, 16}, std::pair{17, 16}}) {
        SerialPort port;
        ASSERT_TRUE(port.Open(quint8(number), 19200, 0)) << number;
        const QByteArray frame = Hex("f000000000000000");
        ASSERT_TRUE(port.Write(reinterpret_cast<const quint8*>(frame.data()), 8));
        quint8 byte = 0;
        EXPECT_TRUE(port.Read(&byte, 1)) << number;
        EXPECT_EQ(byte, answer) << number;
    }
    // Every rate of the table, the unusual ones too.
    for (quint32 index = 1; index <= 13; ++index) {
        SerialPort port;
        EXPECT_TRUE(port.Open(1, BaudFromIndex(index), 0)) << index;
        EXPECT_EQ(port.Baud(), BaudFromIndex(index));
    }
    SerialPort none;
    EXPECT_FALSE(none.Open(1, 19200, 5));
    EXPECT_FALSE(none.Open(7, 19200, 0));
    EXPECT_FALSE(none.IsOpen());
}

TEST_F(SerialLinkTest, OpeningKeepsTheSystemsFlowControl) {
    PtyPeer peer(ports.path(), 5, [](int, const QByteArray&) { return Pieces{}; });
    ASSERT_TRUE(peer.IsReady());
    const int fd = ::open(QFile::encodeName(ports.path() + "/COM5").constData(), O_RDWR | O_NOCTTY);
    ASSERT_GE(fd, 0);
    for (const auto& [cflag, iflag] :
         {std::pair<tcflag_t, tcflag_t>{CRTSCTS, 0}, std::pair<tcflag_t, tcflag_t>{0, IXON | IXOFF},
          std::pair<tcflag_t, tcflag_t>{0, 0}}) {
        termios line{};
        ASSERT_EQ(tcgetattr(fd, &line), 0);
        line.c_cflag = (line.c_cflag & ~CRTSCTS) | cflag;
        line.c_iflag = (line.c_iflag & ~(IXON | IXOFF)) | iflag;
        ASSERT_EQ(tcsetattr(fd, TCSANOW, &line), 0);
        SerialPort port;
        ASSERT_TRUE(port.Open(5, 19200, 0));
        ASSERT_EQ(tcgetattr(fd, &line), 0);
        EXPECT_EQ(line.c_cflag & CRTSCTS, cflag);
        EXPECT_EQ(line.c_iflag & (IXON | IXOFF), iflag);
        EXPECT_EQ(cfgetospeed(&line), speed_t(B19200));
    }
    ::close(fd);
}

TEST_F(SerialLinkTest, ReadAssemblesPiecesAndKeepsItsDeadline) {
    // 14 bytes at 19200 bit/s are allowed 115 ms.
    PtyPeer peer(ports.path(), 5, [](int index, const QByteArray&) {
        if (index == 0)
            return Pieces{{Hex("f60102")}, {Hex("0304050607"), 30}, {Hex("08090a0b0c0d"), 40}};
        return Pieces{{Hex("f60102030405060708090a0b0c")}}; // one byte short
    });
    ASSERT_TRUE(peer.IsReady());
    const QByteArray frame = Hex("f600000000000000");
    for (const bool whole : {true, false}) {
        SerialPort port;
        ASSERT_TRUE(port.Open(5, 19200, 0));
        ASSERT_TRUE(port.Write(reinterpret_cast<const quint8*>(frame.data()), 8));
        QByteArray buffer(14, '\0');
        QElapsedTimer clock;
        clock.start();
        EXPECT_EQ(port.Read(reinterpret_cast<quint8*>(buffer.data()), 14), whole);
        if (whole) {
            EXPECT_EQ(buffer, Hex("f60102030405060708090a0b0c0d"));
        } else {
            EXPECT_GE(clock.elapsed(), 110);
            EXPECT_LT(clock.elapsed(), 600);
        }
    }
    SerialPort port;
    ASSERT_TRUE(port.Open(5, 19200, 0));
    quint8 byte;
    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(port.Read(&byte, 0));
    EXPECT_LT(clock.elapsed(), 50);
}

TEST_F(SerialLinkTest, AnswerOnTheThirdAttempt) {
    PtyPeer peer(ports.path(), 5, [](int index, const QByteArray&) {
        return index < 2 ? Pieces{} : Pieces{{Hex("f107")}};
    });
    ASSERT_TRUE(peer.IsReady());
    QByteArray response(65, '\0');
    QElapsedTimer clock;
    clock.start();
    ASSERT_TRUE(tester.Transact(HistoryCountRequest(), response));
    EXPECT_EQ(tester.State().LinkError, 0);
    EXPECT_EQ(response.left(3), Hex("f10700"));
    EXPECT_EQ(peer.Requests(), QList<QByteArray>(3, Hex("f100000000000000")));
    // Two failures of 100 + 102 + 100 + 100 ms, then 100 + 100 ms around the
    // answer; the upper bounds only catch a hang, the attempts are counted.
    EXPECT_GE(clock.elapsed(), 2 * 400 + 200);
    EXPECT_LT(clock.elapsed(), 2500);
}

TEST_F(SerialLinkTest, NoAnswerAfterFourAttempts) {
    PtyPeer peer(ports.path(), 5, [](int, const QByteArray&) { return Pieces{{Hex("f1")}}; });
    ASSERT_TRUE(peer.IsReady());
    QByteArray response(65, '\0');
    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(tester.Transact(HistoryCountRequest(), response));
    EXPECT_EQ(tester.State().LinkError, 9);
    EXPECT_EQ(peer.Requests().size(), 4);
    // 4 x (100 + 102 + 100) + 3 x 100 ms
    EXPECT_GE(clock.elapsed(), 1500);
    EXPECT_LT(clock.elapsed(), 3500);
}

TEST_F(SerialLinkTest, PortThatCannotBeOpened) {
    QFile::link(ports.path() + "/nowhere", ports.path() + "/COM5");
    QByteArray response(65, '\0');
    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(tester.Transact(HistoryCountRequest(), response));
    EXPECT_EQ(tester.State().LinkError, 2);
    EXPECT_GE(clock.elapsed(), 4 * 100 + 3 * 100);
    EXPECT_LT(clock.elapsed(), 2500);
}

TEST_F(SerialLinkTest, ATransactionTakesOnlyItsOwnAnswer) {
    // A count, an entry and a second count. The tester answers the counts
    // with f103 and the entry with kEntry unless a case says otherwise;
    // f109 marks an answer that must never be taken.
    static const QByteArray kEntry = Hex("f2000507000000000000ee");
    struct Case {
        const char* what;
        std::function<Pieces(int index, quint8 command)> script;
        const char* count; // "" when the transaction must fail
        bool entry;
        const char* secondCount;
    };
    const Case cases[] = {
        {"wrong echo", [](int, quint8 c) { return Pieces{{c == 0xF1 ? Hex("f003") : kEntry}}; }, "",
         true, ""},
        {"garbage before the answer",
         [](int, quint8 c) { return Pieces{{c == 0xF1 ? Hex("a500f103") : kEntry}}; }, "", true,
         ""},
        {"a byte too many",
         [](int, quint8 c) { return Pieces{{c == 0xF1 ? Hex("f103") : kEntry + Hex("00")}}; },
         "f103", false, "f103"},
        {"the answer twice",
         [](int, quint8 c) { return Pieces{{c == 0xF1 ? Hex("f103") : kEntry + kEntry}}; }, "f103",
         false, "f103"},
        {"one byte in time, the rest after the deadline",
         [](int i, quint8 c) {
             if (i == 0)
                 return Pieces{{Hex("f1")}, {Hex("09"), 240}};
             return Pieces{{c == 0xF1 ? Hex("f103") : kEntry}};
         },
         "f103", true, "f103"},
        // The first answer comes so late that the second attempt takes it;
        // the second attempt's own answer is as late and must not be taken
        // by the next transaction.
        {"late into the next attempt",
         [](int i, quint8 c) {
             if (i < 2)
                 return Pieces{{Hex("f109"), 620}};
             return Pieces{{c == 0xF1 ? Hex("f103") : kEntry}};
         },
         "f109", true, "f103"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        PtyPeer peer(ports.path(), 5, [&c](int index, const QByteArray& frame) {
            return c.script(index, quint8(frame[0]));
        });
        ASSERT_TRUE(peer.IsReady());
        QByteArray count(65, '\0');
        EXPECT_EQ(tester.Transact(HistoryCountRequest(), count), *c.count != 0);
        if (*c.count) {
            EXPECT_EQ(count.left(3), Hex(c.count) + Hex("00"));
        } else {
            EXPECT_EQ(tester.State().LinkError, 9);
        }
        QByteArray entry(65, '\0');
        EXPECT_EQ(tester.Transact(HistoryEntryRequest(1), entry), c.entry);
        if (c.entry) {
            EXPECT_EQ(entry.left(12), kEntry + Hex("00"));
        }
        QByteArray again(65, '\0');
        EXPECT_EQ(tester.Transact(HistoryCountRequest(), again), *c.secondCount != 0);
        if (*c.secondCount) {
            EXPECT_EQ(again.left(3), Hex(c.secondCount) + Hex("00"));
        }
    }
}

TEST_F(SerialLinkTest, SerialFramesAreEightBytesAndBadCommandsAreRefused) {
    PtyPeer peer(ports.path(), 5,
                 [](int, const QByteArray& frame) { return Pieces{{frame.left(1) + Hex("55")}}; });
    ASSERT_TRUE(peer.IsReady());
    QByteArray request = Hex("f4010203040506070809");
    request.resize(65, '\x33');
    QByteArray response;
    ASSERT_TRUE(tester.Transact(request, response, 2, 65));
    EXPECT_EQ(peer.Requests().value(0), Hex("f401020304050607"));
    EXPECT_EQ(response, Hex("f455")); // grown to the response length
    for (const char* bad : {"fb00", "ef00", "0000"}) {
        tester.State().LinkError = -1;
        EXPECT_FALSE(tester.Transact(Hex(bad), response, 2, 1)) << bad;
        EXPECT_EQ(tester.State().LinkError, -1);
    }
    EXPECT_EQ(peer.Requests().size(), 1);
}

TEST_F(SerialLinkTest, WaitingTakesNoCpu) {
    // A waveform block at 115200 bit/s: once trickling in 100-byte pieces,
    // once never coming (the read waits out its 1034 ms).
    PtyPeer peer(ports.path(), 5, [](int index, const QByteArray&) {
        Pieces pieces;
        if (index == 0)
            for (int sent = 0; sent < 5379; sent += 100)
                pieces.push_back({QByteArray(std::min(100, 5379 - sent), 'w'), 10});
        return pieces;
    });
    ASSERT_TRUE(peer.IsReady());
    const QByteArray frame = Hex("fa01000000000000");
    for (const bool arrives : {true, false}) {
        SerialPort port;
        ASSERT_TRUE(port.Open(5, 115200, 0));
        ASSERT_TRUE(port.Write(reinterpret_cast<const quint8*>(frame.data()), 8));
        QByteArray buffer(5379, '\0');
        QElapsedTimer clock;
        clock.start();
        const double cpuStart = ThreadCpuMs();
        EXPECT_EQ(port.Read(reinterpret_cast<quint8*>(buffer.data()), 5379), arrives);
        const double cpuMs = ThreadCpuMs() - cpuStart;
        const qint64 wallMs = clock.elapsed();
        if (arrives)
            EXPECT_EQ(buffer, QByteArray(5379, 'w'));
        else
            EXPECT_GE(wallMs, 1034);
        EXPECT_LT(cpuMs, 0.05 * double(wallMs)) << "wall " << wallMs << " ms";
    }
}

} // namespace
