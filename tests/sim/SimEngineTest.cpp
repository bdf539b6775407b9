#include "SimEngine.h"
#include "CommandCodes.h"
#include "SimStoredTest.h"
#include "SimTestUtil.h"
#include "SimWaveform.h"

#include <gtest/gtest.h>

namespace {

// The name codes decoded by the tester's character table, independently of the encoder.
QByteArray DecodeCodes(const QByteArray& block, int at) {
    QByteArray text;
    for (int i = 0; i < 8; ++i) {
        const int v = U8(block, at + i);
        if (v < 10)
            text.append(char('0' + v));
        else if (v <= 35)
            text.append(char(55 + v));
        else if (v <= 61)
            text.append(char(61 + v));
        else if (v == 65)
            text.append(' ');
    }
    return text;
}

void ExpectSamples(const QByteArray& block, int at, quint32 seed, int phase, int test) {
    const auto expected = SimWaveform(seed, phase, test);
    for (int n = 0; n < 2688; ++n)
        ASSERT_EQ(Big16(block, at + 2 * n), expected[size_t(n)]) << "sample " << n + 1;
}

TEST(SimEngine, DecodesParameterRequests) {
    struct Case {
        QByteArray request;
        bool accepted;
        SimParams params;
    };
    const Case cases[] = {
        // type 1, mode 0, step 5, 1.2 ohm, 20 samples, filter high, manual, voltage
        {Bytes({0xF4, 0x01, 0x00, 0x05, 0x0C, 0x14, 0x14, 0x00}), true,
         SimParams{1, 0, 5, 12, 20, 20, 0, false}},
        // 10 s with the resistance waveform: 0x8A
        {Bytes({0xF4, 0x00, 0x00, 197, 200, 255, 0x05, 0x8A}), true,
         SimParams{0, 0, 197, 200, 255, 5, 10, true}},
        {Bytes({0xF4, 0x01, 0x01, 0x00, 0x01, 0x00, 0x00, 0x5F}), true,
         SimParams{1, 1, 0, 1, 0, 0, 95, false}},
        {Bytes({0xF4, 0x02, 0x00, 0x05, 0x0C, 0x14, 0x14, 0x00}), false, {}}, // switch type
        {Bytes({0xF4, 0x00, 0x02, 0x05, 0x0C, 0x14, 0x14, 0x00}), false, {}}, // mode
        {Bytes({0xF4, 0x00, 0x00, 198, 0x0C, 0x14, 0x14, 0x00}), false, {}},  // step
        {Bytes({0xF4, 0x00, 0x00, 0x05, 0x00, 0x14, 0x14, 0x00}), false, {}}, // threshold 0
        {Bytes({0xF4, 0x00, 0x00, 0x05, 201, 0x14, 0x14, 0x00}), false, {}},  // threshold
        {Bytes({0xF4, 0x00, 0x00, 0x05, 0x0C, 0x14, 0x07, 0x00}), false, {}}, // filter code
        {Bytes({0xF4, 0x00, 0x00, 0x05, 0x0C, 0x14, 0x14, 0x07}), false, {}}, // 7 s
        {Bytes({0xF4, 0x00, 0x00, 0x05, 0x0C, 0x14, 0x14, 100}), false, {}},  // 100 s
    };
    for (const Case& c : cases) {
        SimEngine engine;
        const QByteArray answer = engine.Respond(c.request, false);
        ASSERT_EQ(answer.size(), 2) << c.request.toHex().constData();
        EXPECT_EQ(U8(answer, 0), 0xF4);
        EXPECT_EQ(U8(answer, 1) == ACK, c.accepted) << c.request.toHex().constData();
        EXPECT_EQ(engine.Params().has_value(), c.accepted);
        if (c.accepted) {
            EXPECT_EQ(*engine.Params(), c.params) << c.request.toHex().constData();
        }
    }
    EXPECT_EQ((SimParams{1, 0, 5, 12, 20, 20, 0, false}).FilterIndex(), 3);
}

TEST(SimEngine, AnswersHaveTheirLengthOnEachTransport) {
    struct Case {
        QByteArray request;
        int serial;
        int usb;
    };
    const Case cases[] = {
        {SerialRequest({0xF0}), 2, 64},
        {SerialRequest({0xF1}), 2, 64},
        {SerialRequest({0xF2, 1}), 11, 64},
        {SerialRequest({0xF3, 1, 0}), 66, 66},
        {SerialRequest({0xF3, 2, 3}), 5380, 5380},
        {SerialRequest({0xF5}), 2, 64},
        {SerialRequest({0xF6}), 14, 64},
        {SerialRequest({0xF9}), 2, 64},
    };
    for (const Case& c : cases) {
        SimEngine serial, usb;
        const QByteArray viaSerial = serial.Respond(c.request, false);
        const QByteArray viaUsb = usb.Respond(c.request, true);
        EXPECT_EQ(viaSerial.size(), c.serial) << c.request.toHex().constData();
        EXPECT_EQ(viaUsb.size(), c.usb) << c.request.toHex().constData();
        EXPECT_EQ(viaUsb.left(c.serial), viaSerial) << "USB pads only behind the answer";
        EXPECT_EQ(viaUsb.mid(c.serial), QByteArray(c.usb - c.serial, '\0'));
        EXPECT_EQ(U8(viaSerial, 0), U8(c.request, 0));
    }
}

TEST(SimEngine, RequestsThatAreNoCommandsGetNoAnswer) {
    SimEngine engine;
    for (const QByteArray& request :
         {QByteArray(), Bytes({0xFB}), Bytes({0x00, 0xF0}), Bytes({0xEF, 0, 0, 0, 0, 0, 0, 0})})
        EXPECT_TRUE(engine.Respond(request, false).isEmpty()) << request.toHex().constData();
}

TEST(SimEngine, IdentifiesWithTheConfiguredBrand) {
    for (int brand : {0, 1, 2, 7}) {
        SimConfig config;
        config.brand = quint8(brand);
        SimEngine engine(config);
        EXPECT_EQ(engine.Respond(SerialRequest({0xF0}), false), Bytes({0xF0, brand}));
    }
}

TEST(SimEngine, RunsALiveTest) {
    SimConfig config;
    config.seed = 42;
    SimEngine engine(config);
    EXPECT_EQ(U8(engine.Respond(Bytes({0xF4, 0x00, 0x00, 0x03, 0x0A, 0x00, 0x0A, 0x8A}), true), 1),
              ACK);
    EXPECT_EQ(engine.Params()->chargeSeconds, 10);

    // Before charging the tester measures nothing.
    EXPECT_EQ(engine.Respond(SerialRequest({0xF6}), false),
              Bytes({0xF6, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(engine.Respond(SerialRequest({0xF5}), false), Bytes({0xF5, ACK}));
    EXPECT_TRUE(engine.Charging());

    QByteArray previous;
    for (int poll = 0; poll < 4; ++poll) {
        const QByteArray status = engine.Respond(SerialRequest({0xF6}), false);
        ASSERT_EQ(status.size(), 14);
        EXPECT_NE(status, previous) << "poll " << poll;
        previous = status;
        for (int phase = 0; phase < 3; ++phase) {
            const int mV = Big16(status, 1 + 4 * phase);
            const int mA = Big16(status, 3 + 4 * phase);
            EXPECT_GT(mA, 0);
            EXPECT_LE(mA, 1700);
            // Ohm's law with the phase's steady level: 2.4 .. 4.2 ohm
            EXPECT_GE(mV * 1000, mA * 2400);
            EXPECT_LE(mV * 1000, mA * 4200 + 1000);
        }
    }

    EXPECT_EQ(engine.Respond(SerialRequest({0xF7}), false), Bytes({0xF7, ACK}));
    EXPECT_EQ(engine.Respond(SerialRequest({0xFA, 1}), false), QByteArray())
        << "no upload before the capture";
    EXPECT_EQ(engine.Respond(SerialRequest({0xF8}), false), Bytes({0xF8, 0x00}));
    EXPECT_EQ(engine.Respond(SerialRequest({0xF8}), false), Bytes({0xF8, 0x00}));
    EXPECT_EQ(engine.Respond(SerialRequest({0xF8}), false), Bytes({0xF8, ACK}));
    EXPECT_EQ(engine.Respond(SerialRequest({0xF8}), false), Bytes({0xF8, ACK})) << "stays ready";

    for (int phase = 1; phase <= 3; ++phase) {
        const QByteArray block = engine.Respond(SerialRequest({0xFA, phase}), false);
        ASSERT_EQ(block.size(), 5379);
        EXPECT_EQ(U8(block, 0), 0xFA);
        ExpectSamples(block, 2, 42, phase, 0);
    }
    const QByteArray rotation = engine.Respond(SerialRequest({0xFA, 4}), false);
    ASSERT_EQ(rotation.size(), 4);
    EXPECT_EQ(Big16(rotation, 2), SimRotation(42, 0));
    EXPECT_TRUE(engine.Respond(SerialRequest({0xFA, 5}), false).isEmpty());
    EXPECT_TRUE(engine.Respond(SerialRequest({0xFA, 0}), false).isEmpty());

    EXPECT_EQ(engine.Respond(SerialRequest({0xF9}), false), Bytes({0xF9, ACK}));
    EXPECT_FALSE(engine.Charging());
    EXPECT_EQ(engine.Respond(SerialRequest({0xF6}), true).mid(1, 12), QByteArray(12, '\0'));
}

TEST(SimEngine, ReadyOnTheConfiguredPollAndStopDisarms) {
    for (int polls : {0, 1, 2, 5}) {
        SimConfig config;
        config.pollsBeforeReady = polls;
        SimEngine engine(config);
        EXPECT_EQ(U8(engine.Respond(SerialRequest({0xF8}), false), 1), 0x00) << "not armed";
        engine.Respond(SerialRequest({0xF7}), false);
        int readyOn = 0;
        for (int poll = 1; poll <= 6 && !readyOn; ++poll)
            if (U8(engine.Respond(SerialRequest({0xF8}), false), 1) == ACK)
                readyOn = poll;
        EXPECT_EQ(readyOn, std::max(polls, 1));
    }
    SimEngine engine;
    engine.Respond(SerialRequest({0xF7}), false);
    engine.Respond(SerialRequest({0xF8}), false);
    engine.Respond(SerialRequest({0xF9}), false);
    for (int poll = 0; poll < 4; ++poll)
        EXPECT_EQ(U8(engine.Respond(SerialRequest({0xF8}), false), 1), 0x00) << "cancelled";
}

TEST(SimEngine, RotationCanBeSet) {
    SimConfig config;
    config.rotation = 725;
    config.pollsBeforeReady = 1;
    SimEngine engine(config);
    engine.Respond(SerialRequest({0xF7}), false);
    engine.Respond(SerialRequest({0xF8}), false);
    EXPECT_EQ(engine.Respond(SerialRequest({0xFA, 4}), false), Bytes({0xFA, 0x04, 0x02, 0xD5}));
}

TEST(SimEngine, ServesTheStoredTests) {
    SimConfig config;
    config.seed = 7;
    config.storedTests = 5;
    SimEngine engine(config);
    EXPECT_EQ(engine.Respond(Bytes({0xF1}), true).left(2), Bytes({0xF1, 5}));

    for (int k = 1; k <= 5; ++k) {
        const SimStoredTest test = StoredTestOf(7, k);
        const QByteArray entry = engine.Respond(SerialRequest({0xF2, k}), false);
        ASSERT_EQ(entry.size(), 11);
        EXPECT_EQ(U8(entry, 2), test.step);
        EXPECT_EQ(U8(entry, 4), test.hour);
        EXPECT_EQ(U8(entry, 5), test.minute);
        EXPECT_EQ(U8(entry, 6), test.second);
        EXPECT_EQ(Big16(entry, 7), test.year);
        EXPECT_EQ(U8(entry, 9), test.month);
        EXPECT_EQ(U8(entry, 10), test.day);

        const QByteArray header = engine.Respond(Bytes({0xF3, k, 0}), true);
        ASSERT_EQ(header.size(), 66);
        EXPECT_EQ(header.mid(3, 8), entry.mid(3, 8));
        EXPECT_EQ(DecodeCodes(header, 11), test.user);
        EXPECT_EQ(DecodeCodes(header, 19), test.place);
        EXPECT_EQ(U8(header, 27), test.switchType);
        EXPECT_EQ(U8(header, 28), test.testMode);
        EXPECT_EQ(U8(header, 29), test.step);
        EXPECT_EQ(Big16(header, 30), test.threshold);
        EXPECT_EQ(U8(header, 32), test.preTrigger);
        for (int b = 1; b <= 3; ++b) {
            const QByteArray block = engine.Respond(SerialRequest({0xF3, k, b}), false);
            ASSERT_EQ(block.size(), 5380);
            ExpectSamples(block, 3, 7, b, k);
        }
    }
    // Entries that do not exist are not answered.
    for (const QByteArray& request : {SerialRequest({0xF2, 0}), SerialRequest({0xF2, 6}),
                                      SerialRequest({0xF3, 6, 0}), SerialRequest({0xF3, 1, 4})})
        EXPECT_TRUE(engine.Respond(request, false).isEmpty()) << request.toHex().constData();
}

TEST(SimEngine, StoredTestsDifferAndRepeat) {
    EXPECT_EQ(StoredTestOf(3, 2).StampBytes(), StoredTestOf(3, 2).StampBytes());
    EXPECT_NE(StoredTestOf(3, 1).StampBytes(), StoredTestOf(3, 2).StampBytes());
    for (int k = 1; k <= 50; ++k) {
        const SimStoredTest t = StoredTestOf(11, k);
        EXPECT_LE(t.step, 197);
        EXPECT_TRUE(t.month >= 1 && t.month <= 12 && t.day >= 1 && t.day <= 31);
        EXPECT_TRUE(t.hour < 24 && t.minute < 60 && t.second < 60);
        EXPECT_TRUE(t.threshold >= 1 && t.threshold <= 200);
        EXPECT_TRUE(t.switchType == 1 || t.testMode == 0);
    }
}

TEST(SimEngine, EncodesStampsAndNames) {
    SimStoredTest t;
    t.year = 2010;
    t.month = 12;
    t.day = 21;
    t.hour = 14;
    t.minute = 30;
    t.second = 5;
    EXPECT_EQ(t.StampBytes(),
              (std::array<quint8, 8>{0x00, 0x0E, 0x1E, 0x05, 0x07, 0xDA, 0x0C, 0x15}));

    using Codes = std::array<quint8, 8>;
    EXPECT_EQ(EncodeNameCodes("AB 12a0"), (Codes{10, 11, 65, 1, 2, 36, 0, 255}));
    EXPECT_EQ(EncodeNameCodes("Zz 9"), (Codes{35, 61, 65, 9, 255, 255, 255, 255}));
    EXPECT_EQ(EncodeNameCodes("a-b_c"), (Codes{36, 37, 38, 255, 255, 255, 255, 255}));
    EXPECT_EQ(EncodeNameCodes("ABCDEFGHIJ"), (Codes{10, 11, 12, 13, 14, 15, 16, 17}));
    EXPECT_EQ(EncodeNameCodes(""), (Codes{255, 255, 255, 255, 255, 255, 255, 255}));
}

TEST(SimEngine, SameSeedSameTesterOtherSeedOtherData) {
    auto conversation = [](quint32 seed) {
        SimConfig config;
        config.seed = seed;
        config.pollsBeforeReady = 1;
        SimEngine engine(config);
        QByteArray all;
        for (const QByteArray& r :
             {SerialRequest({0xF5}), SerialRequest({0xF6}), SerialRequest({0xF6}),
              SerialRequest({0xF7}), SerialRequest({0xF8}), SerialRequest({0xFA, 2}),
              SerialRequest({0xFA, 4}), SerialRequest({0xF2, 2}), SerialRequest({0xF3, 3, 0})})
            all += engine.Respond(r, false);
        return all;
    };
    EXPECT_EQ(conversation(5), conversation(5));
    EXPECT_NE(conversation(5), conversation(6));
}

} // namespace
