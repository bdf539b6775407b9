#include "SiBridge.h"
#include "UsbPort.h"

#include <QTemporaryDir>
#include <deque>
#include <gtest/gtest.h>
#include <vector>

namespace {

constexpr SiStatus kTimedOut = 0x12;
constexpr SiStatus kNotFound = 0xFF;
const SiHandle kDevice = reinterpret_cast<SiHandle>(quintptr(0x5150));

// A scripted bridge: each read hands out the next scripted answer; once the
// script is used up, reads time out.
struct Double {
    bool noDevice = false;
    std::deque<QByteArray> reads;
    bool endlessNoise = false;
    quint32 readTimeout = 777, writeTimeout = 888;
    int opens = 0, closes = 0;
    std::vector<quint32> writeSizes, readSizes;
    std::vector<std::pair<quint32, quint32>> writeTimeouts, readTimeouts;
    QByteArray written;
};
Double* the = nullptr;

SiStatus SI_CALL NumDevices(quint32* n) {
    *n = the->noDevice ? 0 : 1;
    return the->noDevice ? kNotFound : kSiSuccess;
}
SiStatus SI_CALL ProductString(quint32, void* text, quint32) {
    if (the->noDevice)
        return kNotFound;
    qstrcpy(static_cast<char*>(text), "XK4N7-01");
    return kSiSuccess;
}
SiStatus SI_CALL Open(quint32 device, SiHandle* handle) {
    ++the->opens;
    *handle = the->noDevice || device != 0 ? kSiInvalidHandle : kDevice;
    return the->noDevice ? kNotFound : kSiSuccess;
}
SiStatus SI_CALL Close(SiHandle handle) {
    if (handle == kDevice)
        ++the->closes;
    return kSiSuccess;
}
SiStatus SI_CALL Write(SiHandle, void* data, quint32 length, quint32* written, void*) {
    the->writeSizes.push_back(length);
    the->writeTimeouts.emplace_back(the->readTimeout, the->writeTimeout);
    the->written.append(static_cast<const char*>(data), length);
    *written = length;
    return kSiSuccess;
}
SiStatus SI_CALL Read(SiHandle, void* data, quint32 length, quint32* read, void*) {
    the->readSizes.push_back(length);
    the->readTimeouts.emplace_back(the->readTimeout, the->writeTimeout);
    QByteArray answer;
    if (the->endlessNoise) {
        answer = QByteArray(int(length), 'x');
    } else if (!the->reads.empty()) {
        answer = the->reads.front().left(length);
        the->reads.pop_front();
    }
    *read = quint32(answer.size());
    memcpy(data, answer.constData(), size_t(answer.size()));
    return answer.isEmpty() ? kTimedOut : kSiSuccess;
}
SiStatus SI_CALL GetTimeouts(quint32* r, quint32* w) {
    *r = the->readTimeout;
    *w = the->writeTimeout;
    return kSiSuccess;
}
SiStatus SI_CALL SetTimeouts(quint32 r, quint32 w) {
    the->readTimeout = r;
    the->writeTimeout = w;
    return kSiSuccess;
}
SiStatus SI_CALL CheckRXQueue(SiHandle, quint32* queued, quint32* status) {
    *queued = the->reads.empty() ? 0 : quint32(the->reads.front().size());
    *status = the->reads.empty() ? 0 : kSiRxReady;
    return kSiSuccess;
}

const SiApi kDouble = {NumDevices, ProductString, Open,        Close,       Read,
                       Write,      GetTimeouts,   SetTimeouts, CheckRXQueue};

class UsbExchangeTest : public testing::Test {
protected:
    void SetUp() override { the = &device; }
    void TearDown() override { the = nullptr; }

    QByteArray Request(quint8 command, int length) {
        QByteArray request(65, '\0');
        request[0] = char(command);
        for (int i = 1; i < length && i < 65; ++i)
            request[i] = char(i);
        return request;
    }
    static QByteArray Answer(quint8 echo, int length, char fill = 'a') {
        QByteArray answer(length, fill);
        answer[0] = char(echo);
        return answer;
    }
    void ExpectTimeoutsRestored() {
        EXPECT_EQ(device.readTimeout, 777u);
        EXPECT_EQ(device.writeTimeout, 888u);
    }

    Double device;
};

TEST_F(UsbExchangeTest, WritesInChunksOf512) {
    struct Case {
        quint32 writeLength;
        std::vector<quint32> chunks;
    };
    for (const Case& c : {Case{1, {1}}, Case{8, {8}}, Case{512, {512}}, Case{513, {512, 1}},
                          Case{1100, {512, 512, 76}}}) {
        device = Double();
        device.reads = {Answer(0xF4, 64)};
        QByteArray request(1200, '\0');
        for (int i = 0; i < request.size(); ++i)
            request[i] = char(i * 7);
        request[0] = char(0xF4);
        QByteArray response(65, '\0');
        EXPECT_TRUE(UsbExchange(kDouble, request, response, 64, c.writeLength));
        EXPECT_EQ(device.writeSizes, c.chunks) << c.writeLength;
        EXPECT_EQ(device.written, request.left(c.writeLength));
        for (const auto& timeouts : device.writeTimeouts)
            EXPECT_EQ(timeouts, std::make_pair(0u, kUsbChunkTimeoutMs));
    }
}

TEST_F(UsbExchangeTest, ReadsTheWholeResponseInChunksOf4096) {
    struct Case {
        quint32 responseLength;
        std::vector<quint32> chunks;
    };
    for (const Case& c :
         {Case{64, {64}}, Case{66, {66}}, Case{4097, {4096, 1}}, Case{5380, {4096, 1284}}}) {
        device = Double();
        const QByteArray answer = Answer(0xF3, int(c.responseLength), 'z');
        device.reads = {answer.left(4096), answer.mid(4096)};
        QByteArray response(5382, '\0');
        EXPECT_TRUE(UsbExchange(kDouble, Request(0xF3, 3), response, c.responseLength, 3));
        EXPECT_EQ(device.readSizes, c.chunks) << c.responseLength;
        EXPECT_EQ(response.left(int(c.responseLength)), answer);
        EXPECT_EQ(response.mid(int(c.responseLength)),
                  QByteArray(5382 - int(c.responseLength), '\0'));
        for (const auto& timeouts : device.readTimeouts)
            EXPECT_EQ(timeouts, std::make_pair(kUsbChunkTimeoutMs, 0u));
        ExpectTimeoutsRestored();
    }
}

TEST_F(UsbExchangeTest, SkipsDataBeforeTheEcho) {
    device.reads = {Answer(0x00, 64, 'n'), Answer(0xF6, 64, 'n'), Answer(0xF1, 64, 'y')};
    QByteArray response(65, '\0');
    ASSERT_TRUE(UsbExchange(kDouble, Request(0xF1, 1), response, 64, 1));
    EXPECT_EQ(response.left(64), Answer(0xF1, 64, 'y'));
    EXPECT_EQ(device.readSizes, (std::vector<quint32>{64, 64, 64}));
    EXPECT_EQ(device.opens, 1);
    EXPECT_EQ(device.closes, 1);
    ExpectTimeoutsRestored();
}

TEST_F(UsbExchangeTest, FailuresCostAttemptsButAnOpenFailureEndsAtOnce) {
    struct Case {
        const char* name;
        bool noDevice;
        bool endlessNoise;
        std::deque<QByteArray> reads;
        quint8 command;
        int opens;
        int writes;
        bool succeeds;
    };
    const Case cases[] = {
        {"no device", true, false, {}, 0xF1, 1, 0, false},
        {"command 0xFB", false, false, {Answer(0xFB, 64)}, 0xFB, 4, 0, false},
        {"command 0xEF", false, false, {Answer(0xEF, 64)}, 0xEF, 4, 0, false},
        // each attempt: one answer without the echo, then a read that times out
        {"no echo, then silence",
         false,
         false,
         {Answer(0x00, 64), {}, Answer(0x00, 64), {}, Answer(0x00, 64), {}, Answer(0x00, 64)},
         0xF1,
         4,
         4,
         false},
        {"noise for ever", false, true, {}, 0xF1, 4, 4, false},
        {"answer on the fourth attempt",
         false,
         false,
         {{}, {}, {}, Answer(0xF1, 64)},
         0xF1,
         4,
         4,
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        device = Double();
        device.noDevice = c.noDevice;
        device.endlessNoise = c.endlessNoise;
        device.reads = c.reads;
        QByteArray response(65, '\0');
        SiHandle handle = nullptr;
        EXPECT_EQ(UsbExchange(kDouble, handle, Request(c.command, 1), response, 64, 1), c.succeeds);
        EXPECT_EQ(device.opens, c.opens);
        EXPECT_EQ(int(device.writeSizes.size()), c.writes);
        EXPECT_EQ(device.closes, c.noDevice ? 0 : c.opens);
        EXPECT_LE(device.readSizes.size(), size_t(4 * (kUsbMaxEchoSkips + 1)));
        EXPECT_EQ(handle, nullptr);
        ExpectTimeoutsRestored();
    }
}

TEST_F(UsbExchangeTest, ProductString) {
    QByteArray text;
    ASSERT_TRUE(UsbProductString(kDouble, text));
    EXPECT_EQ(text, QByteArray("XK4N7-01"));
    device.noDevice = true;
    EXPECT_FALSE(UsbProductString(kDouble, text));
}

TEST(UsbBridge, MissingLibraryFailsEveryCall) {
    QTemporaryDir empty;
    SetBridgeLibraryPath(empty.path());
    const SiApi& si = BridgeApi();
    SiHandle handle = nullptr;
    EXPECT_NE(si.Open(0, &handle), kSiSuccess);
    EXPECT_EQ(handle, kSiInvalidHandle);
    quint32 count = 0;
    EXPECT_NE(si.GetNumDevices(&count), kSiSuccess);
    QByteArray response(65, '\0'), text;
    QByteArray request(65, '\0');
    request[0] = char(0xF1);
    EXPECT_FALSE(UsbExchange(request, response, 64, 1));
    EXPECT_FALSE(UsbProductString(si, text));
    EXPECT_TRUE(BridgeLibraryFile().isEmpty());
    SetBridgeLibraryPath({});
}

} // namespace
