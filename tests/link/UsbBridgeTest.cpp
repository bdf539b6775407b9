#include "Requests.h"
#include "SiBridge.h"
#include "Tester.h"
#include "UsbPort.h"

#include <QLibrary>
#include <gtest/gtest.h>

namespace {

// The program's transactions over the simulator's bridge library.
class UsbBridgeTest : public testing::Test {
protected:
    void SetUp() override {
        SetBridgeLibraryPath(OLTC_SIM_USB_PATH);
        ASSERT_EQ(BridgeLibraryFile(), QString(OLTC_SIM_USB_PATH));
        library.setFileName(OLTC_SIM_USB_PATH);
        ASSERT_TRUE(library.load());
        configure = reinterpret_cast<int (*)(const char*)>(library.resolve("SimUsb_Configure"));
        requestLog = reinterpret_cast<int (*)(char*, int)>(library.resolve("SimUsb_RequestLog"));
        ASSERT_NE(configure, nullptr);
        ASSERT_NE(requestLog, nullptr);
        tester = Tester(CommSettings{0, 1, 7});
        tester.State().LinkError = 8;
    }
    void TearDown() override { SetBridgeLibraryPath({}); }
    void Configure(const char* options) { ASSERT_EQ(configure(options), 0) << options; }

    // The hex bytes of each request the device received.
    QList<QByteArray> Requests() {
        QByteArray text(requestLog(nullptr, 0) + 1, '\0');
        requestLog(text.data(), int(text.size()));
        QList<QByteArray> requests;
        for (const QByteArray& line : text.left(text.indexOf('\0')).split('\n'))
            if (!line.isEmpty())
                requests << line.mid(line.indexOf(' ') + 1).split('|').first().trimmed();
        return requests;
    }

    QLibrary library;
    int (*configure)(const char*) = nullptr;
    int (*requestLog)(char*, int) = nullptr;
    Tester tester;
};

TEST_F(UsbBridgeTest, RequestsHaveTheirWriteLength) {
    Configure("--stored 4");
    DeviceRequest entry = HistoryEntryRequest(3);
    entry.bytes.replace(2, 20, QByteArray(20, '\x77'));
    QByteArray response(65, '\0');
    ASSERT_TRUE(tester.Transact(entry, response));
    TestParams params;
    params.iSwitchType = 1;
    params.iTestStep = 5;
    params.iSampleBurst = 12;
    params.iSamplePoint = 20;
    params.iSampleLength = 3;
    params.iChargeTime = 0;
    ASSERT_TRUE(tester.Transact(SetParamsRequest(params, 0), response));
    EXPECT_EQ(response.left(2), QByteArray::fromHex("f455"));
    EXPECT_EQ(response.size(), 65);
    // A USB transaction leaves the serial outcome alone.
    EXPECT_EQ(tester.State().LinkError, 8);
    EXPECT_EQ(Requests(), (QList<QByteArray>{"F2 03", "F4 01 00 05 0C 14 14 00"}));
}

TEST_F(UsbBridgeTest, LongBlocksArriveWhole) {
    Configure("--stored 2");
    QByteArray header(kBlockBufferSize, '\0');
    ASSERT_TRUE(tester.Transact(HistoryBlockRequest(2, 0), header));
    EXPECT_NE(header.mid(3, 8), QByteArray(8, '\0'));
    for (const DeviceRequest& request : {HistoryBlockRequest(2, 3), HistoryBlockRequest(1, 1)}) {
        QByteArray block(kBlockBufferSize, '\0');
        ASSERT_TRUE(tester.Transact(request, block));
        // The byte behind the samples is the low byte of their sum: only a
        // block that arrived whole matches it.
        quint8 sum = 0;
        for (int i = 3; i < 3 + kPhaseUploadBytes; ++i)
            sum = quint8(sum + quint8(block[i]));
        EXPECT_EQ(quint8(block[5379]), sum);
        EXPECT_NE(block.mid(4000, 1000), QByteArray(1000, '\0'));
        EXPECT_EQ(block.mid(5380), QByteArray(2, '\0'));
    }
}

TEST_F(UsbBridgeTest, FailuresAndTheTimeoutsLeftBehind) {
    const SiApi& si = BridgeApi();
    struct Case {
        const char* options;
        bool succeeds;
    };
    for (const Case& c : {Case{"--fault F1:noanswer", false}, Case{"--fault F1:wrongecho:0", false},
                          Case{"--fault F1:garbage:4:1", true}, Case{"--devices 0", false},
                          Case{"--fault F1:noanswer::3", true}}) {
        Configure(c.options);
        ASSERT_EQ(si.SetTimeouts(321, 654), kSiSuccess);
        QByteArray response(65, '\0');
        EXPECT_EQ(tester.Transact(HistoryCountRequest(), response), c.succeeds) << c.options;
        if (c.succeeds) {
            EXPECT_EQ(response.left(2), QByteArray::fromHex("f103")) << c.options;
        }
        quint32 readMs = 0, writeMs = 0;
        si.GetTimeouts(&readMs, &writeMs);
        EXPECT_EQ(readMs, 321u) << c.options;
        EXPECT_EQ(writeMs, 654u) << c.options;
    }
    Configure("");
    QByteArray response(65, '\0');
    QByteArray refused = HistoryCountRequest().bytes;
    refused[0] = char(0xFB);
    EXPECT_FALSE(tester.Transact(refused, response, 2, 1));
    EXPECT_FALSE(UsbExchange(refused, response, 64, 1));
    EXPECT_EQ(response, QByteArray(65, '\0'));
}

} // namespace
