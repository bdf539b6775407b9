#include "CommandCodes.h"
#include "SimEngine.h"
#include "SimOptions.h"
#include "SimTestUtil.h"

#include <gtest/gtest.h>

namespace {

TEST(SimFault, ParsesFaultTexts) {
    struct Case {
        const char* text;
        bool ok;
        SimFault fault;
    };
    const Case cases[] = {
        {"F8:noanswer", true, {0xF8, FaultKind::NoAnswer, -1, 0}},
        {"0xf4:NAK:0x33", true, {0xF4, FaultKind::Nak, 0x33, 0}},
        {"POLL_TRIGGER:delay:250", true, {0xF8, FaultKind::Delay, 250, 0}},
        {"cmd_upload_block:cut:100", true, {0xFA, FaultKind::Cut, 100, 0}},
        {"F0:wrongecho", true, {0xF0, FaultKind::WrongEcho, -1, 0}},
        {"F6:short:3", true, {0xF6, FaultKind::Short, 3, 0}},
        {"F1:garbage:5:2", true, {0xF1, FaultKind::Garbage, 5, 2}},
        {"F9:noanswer::3", true, {0xF9, FaultKind::NoAnswer, -1, 3}},
        {"FB:noanswer", false, {}},
        {"F8", false, {}},
        {"F8:explode", false, {}},
        {"F8:nak:256", false, {}},
        {"F8:delay:-1", false, {}},
        {"F8:delay:soon", false, {}},
        {"POLL:noanswer", false, {}},
        {"F8:noanswer:1:2:3", false, {}},
    };
    for (const Case& c : cases) {
        QString error;
        const auto fault = ParseFault(QString::fromLatin1(c.text), &error);
        EXPECT_EQ(fault.has_value(), c.ok) << c.text;
        if (c.ok && fault) {
            EXPECT_EQ(*fault, c.fault) << c.text;
        }
        if (!c.ok) {
            EXPECT_TRUE(error.contains(QString::fromLatin1(c.text))) << qPrintable(error);
        }
    }
}

TEST(SimFault, EachKindChangesTheAnswer) {
    const QByteArray status = SimEngine().Respond(SerialRequest({0xF6}), false);
    struct Case {
        const char* fault;
        QByteArray garbage;
        QByteArray bytes;
        int delayMs;
        int copies = 1;
    };
    const Case cases[] = {
        {"F1:noanswer", {}, {}, 0},
        {"F1:nak", {}, Bytes({0xF1, 0x00}), 0},
        {"F1:nak:0x2A", {}, Bytes({0xF1, 0x2A}), 0},
        {"F1:wrongecho", {}, Bytes({0x00, 3}), 0},
        {"F1:wrongecho:0xF8", {}, Bytes({0xF8, 3}), 0},
        {"F1:short", {}, Bytes({0xF1}), 0},
        {"F1:cut:0", {}, {}, 0},
        {"F1:garbage", Bytes({0xA5, 0, 0xA5, 0}), Bytes({0xF1, 3}), 0},
        {"F1:garbage:1", Bytes({0xA5}), Bytes({0xF1, 3}), 0},
        {"F1:delay", {}, Bytes({0xF1, 3}), 1000},
        {"F1:delay:40", {}, Bytes({0xF1, 3}), 40},
        // after the 100 ms pause and the 2-byte deadline at 19200 bit/s (102 ms)
        {"F1:late", {}, Bytes({0xF1, 3}), 100 + 102 + 30},
        {"F1:late:0", {}, Bytes({0xF1, 3}), 202},
        {"F1:twice", {}, Bytes({0xF1, 3}), 0, 2},
        {"F6:cut:5", {}, status.left(5), 0},
        {"F6:short:4", {}, status.left(10), 0},
        {"F8:noanswer", {}, Bytes({0xF1, 3}), 0}, // another command is untouched
    };
    for (const Case& c : cases) {
        SimConfig config;
        config.faults.append(*ParseFault(QString::fromLatin1(c.fault)));
        SimEngine engine(config);
        const quint8 command = config.faults[0].command == 0xF6 ? 0xF6 : 0xF1;
        const SimReply reply = engine.Reply(SerialRequest({command}), false);
        EXPECT_EQ(reply.garbage, c.garbage) << c.fault;
        EXPECT_EQ(reply.bytes, c.bytes) << c.fault;
        EXPECT_EQ(reply.delayMs, c.delayMs) << c.fault;
        EXPECT_EQ(reply.copies, c.copies) << c.fault;
        EXPECT_EQ(engine.Respond(SerialRequest({command}), false),
                  c.garbage + c.bytes.repeated(c.copies))
            << c.fault;
    }
}

TEST(SimFault, ShortOverUsbCutsThePaddedAnswer) {
    SimConfig config;
    config.faults = {*ParseFault("F1:short:2")};
    EXPECT_EQ(SimEngine(config).Respond(Bytes({0xF1}), true).size(), 62);
    // Late over USB: after the 1 ms pause and one 100 ms read; a waveform
    // block over serial at 115200 bit/s after its 1034 ms deadline.
    config.faults = {*ParseFault("F1:late:5")};
    EXPECT_EQ(SimEngine(config).Reply(Bytes({0xF1}), true).delayMs, 106);
    config.faults = {*ParseFault("FA:late:0")};
    config.baudIndex = 12;
    SimEngine engine(config);
    engine.Respond(SerialRequest({0xF4, 0, 0, 0, 1, 0, 0, 0}), false);
    engine.Respond(SerialRequest({0xF5}), false);
    engine.Respond(SerialRequest({0xF7}), false);
    for (int poll = 0; poll < 3; ++poll)
        engine.Respond(SerialRequest({0xF8}), false);
    EXPECT_EQ(engine.Reply(SerialRequest({0xFA, 1}), false).delayMs, 100 + 1034);
}

TEST(SimFault, WearsOffAfterItsCountAndIgnoredRequestsChangeNothing) {
    SimConfig config;
    config.faults = {*ParseFault("F8:noanswer::2"), *ParseFault("F7:nak:0:1")};
    config.pollsBeforeReady = 1;
    SimEngine engine(config);
    EXPECT_EQ(engine.Respond(SerialRequest({0xF7}), false), Bytes({0xF7, 0x00}));
    EXPECT_TRUE(engine.Armed()) << "a corrupted answer still means the tester acted";
    EXPECT_TRUE(engine.Respond(SerialRequest({0xF8}), false).isEmpty());
    EXPECT_TRUE(engine.Respond(SerialRequest({0xF8}), false).isEmpty());
    EXPECT_EQ(engine.TriggerPolls(), 0) << "an ignored request changes nothing";
    EXPECT_EQ(engine.Respond(SerialRequest({0xF8}), false), Bytes({0xF8, ACK}));
    EXPECT_EQ(engine.Respond(SerialRequest({0xF7}), false), Bytes({0xF7, ACK}));
}

TEST(SimOptions, ParsesTheCommandLine) {
    SimOptions options;
    QString error;
    ASSERT_TRUE(ParseSimOptions(
        {"--port", "4",         "--folder",    "/tmp/x",    "--baud-index=12", "--brand",
         "2",      "--stored",  "0",           "--seed",    "0xFFFFFFFF",      "--polls",
         "1",      "--fault",   "F8:noanswer", "--fault",   "STOP:delay:50",   "--rotation",
         "725",    "--devices", "0",           "--verbose", "--rough"},
        options, &error))
        << qPrintable(error);
    EXPECT_EQ(options.port, 4);
    EXPECT_EQ(options.folder, "/tmp/x");
    EXPECT_TRUE(options.verbose);
    const SimConfig& c = options.config;
    EXPECT_TRUE(c.rough);
    EXPECT_EQ(c.baudIndex, 12);
    EXPECT_EQ(c.brand, 2);
    EXPECT_EQ(c.storedTests, 0);
    EXPECT_EQ(c.seed, 0xFFFFFFFFu);
    EXPECT_EQ(c.pollsBeforeReady, 1);
    EXPECT_EQ(c.rotation, 725);
    EXPECT_EQ(c.usbDevices, 0);
    ASSERT_EQ(c.faults.size(), 2);
    EXPECT_EQ(c.faults[1], (SimFault{0xF9, FaultKind::Delay, 50, 0}));
    EXPECT_EQ(c.UsbProductString(), "OLTC Tester USB qmzt");

    SimOptions text;
    ASSERT_TRUE(ParseSimOptionText("--product 'XK4N7-01 rev B' --stored 5", text, &error));
    EXPECT_EQ(text.config.productString, "XK4N7-01 rev B");
    EXPECT_EQ(text.config.storedTests, 5);
}

TEST(SimOptions, RefusesBadOptionsByName) {
    const QStringList bad[] = {
        {"--port", "0"},         {"--port"},          {"--stored", "256"},
        {"--brand", "x"},        {"--seed", "-1"},    {"--baud-index", "300"},
        {"--fault", "F8:boom"},  {"--colour", "red"}, {"stray"},
        {"--rotation", "65536"}, {"--folder", ""},
    };
    for (const QStringList& args : bad) {
        SimOptions options;
        QString error;
        EXPECT_FALSE(ParseSimOptions(args, options, &error)) << qPrintable(args.join(' '));
        EXPECT_FALSE(error.isEmpty());
    }
}

TEST(SimOptions, BaudTable) {
    const std::pair<int, quint32> cases[] = {{0, 57600},   {1, 300},    {7, 19200},
                                             {9, 43000},   {10, 56000}, {11, 57600},
                                             {13, 256000}, {14, 57600}, {-1, 57600}};
    for (const auto& [index, rate] : cases)
        EXPECT_EQ(SimBaudFromIndex(index), rate) << index;
}

} // namespace
