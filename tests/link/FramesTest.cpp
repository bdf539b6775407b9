#include "Requests.h"
#include "Responses.h"

#include <QByteArray>
#include <gtest/gtest.h>

namespace {

QByteArray Hex(const char* text) {
    return QByteArray::fromHex(text);
}

TEST(Requests, FramesOnEachTransport) {
    TestParams params;
    params.iSwitchType = 1;
    params.iTestMode = 0;
    params.iTestStep = 5;
    params.iSampleBurst = 12;
    params.iSamplePoint = 20;
    params.iSampleLength = 3;
    params.iChargeTime = 0;
    struct Case {
        const char* name;
        DeviceRequest request;
        const char* serial;
        const char* usb;
        quint32 responseLength;
    };
    const Case cases[] = {
        {"identify", IdentifyRequest(), "f000000000000000", "f0", 2},
        {"count", HistoryCountRequest(), "f100000000000000", "f1", 2},
        {"entry 3", HistoryEntryRequest(3), "f203000000000000", "f203", 11},
        {"header", HistoryBlockRequest(7, 0), "f307000000000000", "f30700", 66},
        {"phase C", HistoryBlockRequest(100, 3), "f364030000000000", "f36403", 5380},
        {"params", SetParamsRequest(params, 0), "f40100050c141400", "f40100050c141400", 2},
        {"charge", StartChargeRequest(), "f500000000000000", "f5", 2},
        {"status", ChargeStatusRequest(), "f600000000000000", "f6", 14},
        {"arm", ArmTriggerRequest(), "f700000000000000", "f7", 2},
        {"poll", PollTriggerRequest(), "f800000000000000", "f8", 2},
        {"stop", StopRequest(), "f900000000000000", "f9", 2},
        {"phase B", UploadBlockRequest(2), "fa02000000000000", "fa02", 5379},
        {"rotation", UploadBlockRequest(4), "fa04000000000000", "fa04", 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.request.bytes.size(), 65);
        EXPECT_EQ(c.request.bytes.mid(8), QByteArray(57, '\0'));
        EXPECT_EQ(c.request.SerialFrame().toHex(), QByteArray(c.serial));
        EXPECT_EQ(c.request.UsbFrame().toHex(), QByteArray(c.usb));
        EXPECT_EQ(c.request.responseLength, c.responseLength);
    }
}

TEST(Requests, ParameterBytes) {
    // filter index, charge index, waveform type -> bytes 6 and 7
    struct Case {
        int filter, charge, series;
        quint8 byte6, byte7;
    };
    const Case cases[] = {
        {0, 0, 0, 0, 0x00},   {1, 1, 0, 5, 0x05},  {2, 2, 1, 10, 0x8A},
        {3, 19, 1, 20, 0xDF}, {4, 19, 0, 0, 0x5F}, {255, 0, 1, 0, 0x80},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.filter << "/" << c.charge << "/" << c.series);
        TestParams params;
        params.iSampleLength = quint8(c.filter);
        params.iChargeTime = quint8(c.charge);
        params.iSeriesType = quint8(1 - c.series); // the panel's choice wins
        params.iSampleBurst = 0x1C8;               // only the low byte goes out
        params.iSamplePoint = 255;
        const QByteArray frame = SetParamsRequest(params, c.series).SerialFrame();
        EXPECT_EQ(quint8(frame[4]), 0xC8);
        EXPECT_EQ(quint8(frame[5]), 255);
        EXPECT_EQ(quint8(frame[6]), c.byte6);
        EXPECT_EQ(quint8(frame[7]), c.byte7);
    }
}

TEST(Responses, StampTexts) {
    struct Case {
        const char* stamp;
        const char* text;
        const char* file;
    };
    const Case cases[] = {
        {"000e1e0507da0c15", "2010-12-21 14:30:05", "10-12-21 14-30-05"},
        {"ff08050907db011f", "2011-01-31 08:05:09", "11-01-31 08-05-09"},
        {"0000000000090102", "09-01-02 00:00:00", "09-01-02 00-00-00"},
        {"00173b3b270f0c1f", "9999-12-31 23:59:59", "99-12-31 23-59-59"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(StampText(Hex(c.stamp)), QString(c.text));
        EXPECT_EQ(StampFileText(Hex(c.stamp)), QString(c.file));
    }
    EXPECT_EQ(StampText(Hex("000e1e0507da0c")), QString());
}

TEST(Responses, NameCodes) {
    struct Case {
        QByteArray codes;
        const char* text;
    };
    const Case cases[] = {
        {Hex("0a0b410102243e00"), "AB 12a0"},
        {Hex("0009232425"
             "3d3e3f"),
         "09Zabz"},
        {Hex("404142ff00000000"), " 0000"},
        {Hex("0102030405060708"
             "09"),
         "12345678"}, // only 8 codes count
    };
    for (const Case& c : cases)
        EXPECT_EQ(NameText(c.codes), QByteArray(c.text)) << c.codes.toHex().constData();
}

TEST(Responses, HistoryEntryAndCount) {
    const QByteArray entry = Hex("f2010300080509"
                                 "07db011f");
    const auto decoded = DecodeHistoryEntry(entry);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->step, 3);
    EXPECT_EQ(decoded->time, QString("2011-01-31 08:05:09"));
    EXPECT_FALSE(DecodeHistoryEntry(entry.left(10)));
    EXPECT_EQ(ResponseByte1(Hex("f196")), 150);
    EXPECT_FALSE(ResponseByte1(Hex("f1")));
    EXPECT_TRUE(IsAck(Hex("f455")));
    EXPECT_FALSE(IsAck(Hex("f454")));
}

TEST(Responses, HistoryHeaderFillsOnlyItsFields) {
    QByteArray header(66, '\0');
    header.replace(3, 8, Hex("000e1e0507da0c15"));
    header.replace(11, 8, Hex("0a0b410102243e00"));
    header.replace(19, 8, Hex("1c0d0d4141414141"));
    header.replace(27, 6, Hex("0101c5012c96"));
    TestRecord record;
    record.params.iSampleLength = 3;
    record.params.iChargeTime = 7;
    record.params.iSeriesType = 1;
    record.iLoops = 4;
    ASSERT_TRUE(StoreHistoryHeader(header, record));
    EXPECT_EQ(record.strTestTime.Bytes(), QByteArray("2010-12-21 14:30:05"));
    EXPECT_EQ(record.strTestUser.Bytes(), QByteArray("AB 12a0"));
    EXPECT_EQ(record.strTestAdd.Bytes(), QByteArray("SDD     "));
    EXPECT_EQ(record.params.iSwitchType, 1);
    EXPECT_EQ(record.params.iTestMode, 1);
    EXPECT_EQ(record.params.iTestStep, 197);
    EXPECT_EQ(record.params.iSampleBurst, 300);
    EXPECT_EQ(record.params.iSamplePoint, 150);
    EXPECT_EQ(record.params.iSampleLength, 3);
    EXPECT_EQ(record.params.iChargeTime, 7);
    EXPECT_EQ(record.params.iSeriesType, 1);
    EXPECT_EQ(record.iLoops, 4);
    EXPECT_FALSE(StoreHistoryHeader(header.left(32), record));
}

TEST(Responses, WaveformBlocksAndRotation) {
    // History blocks carry the samples from byte 3, upload blocks from byte 2.
    QByteArray history(5380, '\0');
    QByteArray upload(5379, '\0');
    for (int n = 0; n < kSampleCount; ++n) {
        history[3 + 2 * n] = char(n >> 8);
        history[4 + 2 * n] = char(n);
        upload[2 + 2 * n] = char(0xFF);
        upload[3 + 2 * n] = char(n);
    }
    history[3] = char(0x01);
    history[4] = char(0x2C);
    TestRecord record;
    ASSERT_TRUE(StoreHistoryPhase(2, history, record));
    EXPECT_EQ(record.SampleAt(kPhaseB, 1), 300);
    EXPECT_EQ(record.SampleAt(kPhaseB, 2688), 2687);
    EXPECT_EQ(record.SampleAt(kPhaseA, 1), 0);
    ASSERT_TRUE(StoreUploadBlock(3, upload, record));
    EXPECT_EQ(record.SampleAt(kPhaseC, 1), 0xFF00);
    EXPECT_EQ(record.SampleAt(kPhaseC, 2688), 0xFF7F);
    EXPECT_FALSE(StoreHistoryPhase(1, history.left(5378), record));
    EXPECT_FALSE(StoreHistoryPhase(4, history, record));

    struct Rotation {
        const char* block;
        int loops, angle;
    };
    for (const Rotation& r : {Rotation{"fa0402d5", 2, 5}, Rotation{"fa040168", 1, 0},
                              Rotation{"fa04ffff", 182, 15}, Rotation{"fa040167", 0, 359}}) {
        ASSERT_TRUE(StoreUploadBlock(4, Hex(r.block), record));
        EXPECT_EQ(record.iLoops, r.loops) << r.block;
        EXPECT_EQ(record.iAngle, r.angle) << r.block;
    }
    EXPECT_FALSE(StoreUploadBlock(4, Hex("fa0402"), record));
}

TEST(Responses, ChargeStatus) {
    const auto status = DecodeChargeStatus(Hex("f6"
                                               "0102"
                                               "0304"
                                               "ffff"
                                               "0000"
                                               "1234"
                                               "5678"
                                               "00"));
    ASSERT_TRUE(status);
    EXPECT_EQ(status->millivolts, (std::array<quint16, 3>{0x0102, 0xFFFF, 0x1234}));
    EXPECT_EQ(status->milliamps, (std::array<quint16, 3>{0x0304, 0x0000, 0x5678}));
    EXPECT_TRUE(DecodeChargeStatus(Hex("f6010203040506070809101112")));
    EXPECT_FALSE(DecodeChargeStatus(Hex("f60102030405060708091011")));
}

} // namespace
