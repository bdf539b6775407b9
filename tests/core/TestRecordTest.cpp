#include "TestRecord.h"
#include "GbkText.h"

#include <gtest/gtest.h>

namespace {

QByteArray PhaseBytes(quint16 first, quint16 last) {
    QByteArray bytes(kPhaseUploadBytes, '\0');
    bytes[0] = char(first >> 8);
    bytes[1] = char(first & 0xFF);
    bytes[kPhaseUploadBytes - 2] = char(last >> 8);
    bytes[kPhaseUploadBytes - 1] = char(last & 0xFF);
    return bytes;
}

} // namespace

TEST(TestRecord, SampleAtReadsOneBasedSlotsAndZeroOutside) {
    TestRecord r;
    for (int k = 0; k < kWaveSlots; ++k) {
        r.WaveA[k] = 1000 + k;
        r.WaveB[k] = 2000 + k;
        r.WaveC[k] = 3000 + k;
    }
    struct Case {
        int phase, index;
        qint32 expected;
    };
    const Case cases[] = {
        {1, 0, 0},       {1, 2689, 0},     {1, -5, 0},   {1, 1, 1000},
        {1, 2688, 3687}, {2, 1, 2000},     {3, 1, 3000}, {0, 1, 3000}, // any other code reads C
        {4, 7, 3006},    {-1, 2688, 5687},
    };
    for (const Case& c : cases)
        EXPECT_EQ(r.SampleAt(c.phase, c.index), c.expected) << c.phase << "," << c.index;
}

TEST(TestRecord, PhaseUploadIsBigEndianUnsignedIntoSlotsOneToLast) {
    TestRecord r;
    r.WaveB[kSampleCount] = 77; // spare slot is never touched by an upload
    ASSERT_TRUE(r.StorePhaseUpload(kPhaseB, PhaseBytes(0x012C, 0xFFFF)));
    EXPECT_EQ(r.SampleAt(kPhaseB, 1), 300);
    EXPECT_EQ(r.SampleAt(kPhaseB, 2688), 65535);
    EXPECT_EQ(r.WaveB[kSampleCount], 77);
    EXPECT_EQ(r.SampleAt(kPhaseA, 1), 0);

    const TestRecord before = r;
    EXPECT_FALSE(r.StorePhaseUpload(kPhaseB, PhaseBytes(1, 1).left(kPhaseUploadBytes - 1)));
    EXPECT_EQ(r, before);
}

TEST(TestRecord, RotationSplitsDegreesIntoTurnsAndRest) {
    struct Case {
        quint16 degrees;
        qint32 loops, angle;
    };
    for (const Case c : {Case{725, 2, 5}, Case{359, 0, 359}, Case{65535, 182, 15},
                         Case{1000, 2, 280}, Case{360, 1, 0}, Case{0, 0, 0}}) {
        TestRecord r;
        const char bytes[] = {char(c.degrees >> 8), char(c.degrees & 0xFF)};
        ASSERT_TRUE(r.StoreRotation(QByteArrayView(bytes, 2)));
        EXPECT_EQ(r.iLoops, c.loops) << c.degrees;
        EXPECT_EQ(r.iAngle, c.angle) << c.degrees;
    }
    TestRecord r;
    EXPECT_FALSE(r.StoreRotation(QByteArrayView("\x01", 1)));
}

TEST(TestRecord, ClearTestDataKeepsParametersAndTexts) {
    TestRecord r;
    r.params.iSwitchType = 1;
    r.params.iSampleBurst = 25;
    r.strTestUser.SetText(QStringLiteral("张工"));
    r.strTestTime.Set("2010-12-21 08:05:03");
    r.WaveA.fill(5);
    r.WaveB.fill(6);
    r.WaveC.fill(7);
    r.iLoops = 2;
    r.iAngle = 5;
    const TestRecord before = r;
    r.ClearTestData();
    for (const Wave* w : {&r.WaveA, &r.WaveB, &r.WaveC})
        for (qint32 v : *w)
            ASSERT_EQ(v, 0);
    EXPECT_EQ(r.iLoops, 0);
    EXPECT_EQ(r.iAngle, 0);
    EXPECT_EQ(r.params, before.params);
    EXPECT_EQ(r.strTestUser, before.strTestUser);
    EXPECT_EQ(r.strTestTime, before.strTestTime);
}

TEST(TestRecord, HeaderTextsKeepTheirFirstBytes) {
    TestRecord r;
    r.strTestUser.Set(QByteArray(21, 'x'));
    EXPECT_EQ(r.strTestUser.Bytes(), QByteArray(20, 'x'));
    r.strTestTime.Set("2010-12-21 08:05:03X");
    EXPECT_EQ(r.strTestTime.Bytes(), "2010-12-21 08:05:03");
    // Ten Chinese characters are 20 bytes of GBK and fit; eleven do not.
    r.strTestAdd.SetText(QString(10, QChar(0x4E2D)));
    EXPECT_EQ(r.strTestAdd.Bytes().size(), 20);
    EXPECT_EQ(r.strTestAdd.Text(), QString(10, QChar(0x4E2D)));
    r.strTestAdd.SetText(QString(11, QChar(0x4E2D)));
    EXPECT_EQ(r.strTestAdd.Bytes(), ToGbk(QString(10, QChar(0x4E2D))));
}
