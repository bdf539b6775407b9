// oltc-cli live against the simulated tester: what goes over the wire, what
// lands in the file, and what is left alone when the test fails.
#include "LiveCommand.h"
#include "ChargeReadout.h"
#include "CliBench.h"
#include "PortNames.h"
#include "SerialFront.h"
#include "SimFault.h"
#include "SimWaveform.h"
#include "TestFile.h"
#include "UDataCenter.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <csignal>
#include <cstdio>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

constexpr quint32 kSeed = 1;                // the simulator's default
const QString kFast = QStringLiteral("12"); // 115200 bit/s

struct Request {
    qint64 atMs = 0; // since midnight
    QByteArray hex;  // "F4 01 00 .."
};

// The requests of the simulator's verbose log ("oltc-sim: HH:mm:ss.zzz F4 01 .. | note").
QList<Request> Requests(const QByteArray& log) {
    static const QRegularExpression line(
        QStringLiteral("^oltc-sim: (\\d\\d):(\\d\\d):(\\d\\d)\\.(\\d{3}) ([0-9A-F ]+?)( \\|.*)?$"),
        QRegularExpression::MultilineOption);
    QList<Request> requests;
    for (auto it = line.globalMatch(QString::fromUtf8(log)); it.hasNext();) {
        const auto m = it.next();
        const qint64 ms = ((m.captured(1).toLongLong() * 60 + m.captured(2).toInt()) * 60 +
                           m.captured(3).toInt()) *
                              1000 +
                          m.captured(4).toInt();
        requests.append({ms, m.captured(5).toLatin1()});
    }
    return requests;
}

QByteArray Commands(const QList<Request>& requests) {
    QByteArrayList commands;
    for (const Request& r : requests)
        commands << r.hex.left(2);
    return commands.join(' ');
}

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// The live capture of the simulator, whole.
void ExpectCapture(const TestRecord& record) {
    for (int phase = 1; phase <= 3; ++phase) {
        const auto wave = SimWaveform(kSeed, phase, 0);
        int wrong = 0;
        for (int n = 1; n <= kSampleCount; ++n)
            wrong += record.SampleAt(phase, n) != wave[n - 1];
        EXPECT_EQ(wrong, 0) << "phase " << phase;
    }
    const int degrees = SimRotation(kSeed, 0);
    EXPECT_EQ(record.iLoops, degrees / 360);
    EXPECT_EQ(record.iAngle, degrees % 360);
}

class LiveCommandTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(bench.IsReady()); }
    CliBench::Result Live(const QStringList& args) {
        return bench.Run(QStringList{"live", "--port", "3", "--baud-index", kFast} + args);
    }
    CliBench bench;
};

TEST_F(LiveCommandTest, ManualChargeWholeRoad) {
    WriteFile(bench.Path("SystemFile.ini"),
              "[SetParam]\r\niChargeTime=4\r\niSampleBurst=50\r\n"
              "[RestParam]\r\nstrTestUser= Nobody \r\nstrTestAdd=Yard 7\r\n");
    ASSERT_TRUE(bench.StartSimulator({"--baud-index", kFast, "--polls", "3", "--verbose"}));
    const QDateTime before = QDateTime::currentDateTime().addSecs(-1);
    const auto result = Live({"--switch-type", "1", "--test-mode", "1", "--step", "37", "--filter",
                              "3", "--charge", "0", "--waveform", "1", "--threshold", "2.25",
                              "--presample", "45", "-o", "live.cty"});
    const QDateTime after = QDateTime::currentDateTime().addSecs(1);
    ASSERT_EQ(result.exitCode, 0) << result.err.constData();

    const QList<Request> requests = Requests(bench.SimulatorLog());
    EXPECT_EQ(Commands(requests), "F4 F5 F7 F8 F8 F8 FA FA FA FA F9");
    ASSERT_EQ(requests.size(), 11);
    // 2.25 ohm is 22.5 tenths, kept as 22; filter 3 is code 20; bit 7 the resistance waveform.
    EXPECT_EQ(requests[0].hex, "F4 01 01 25 16 2D 14 80");
    for (int block = 1; block <= 4; ++block)
        EXPECT_EQ(requests[5 + block].hex.left(5), "FA 0" + QByteArray::number(block));
    // Polls 3 s apart from arming; blocks at least 100 ms apart.
    for (int i = 3; i <= 5; ++i)
        EXPECT_GE(requests[i].atMs - requests[i - 1].atMs, 2900) << i;
    for (int i = 7; i <= 9; ++i)
        EXPECT_GE(requests[i].atMs - requests[i - 1].atMs, 100) << i;

    TestRecord record;
    ASSERT_EQ(LoadTestFile(bench.Path("live.cty"), record), TestFileError::None);
    ExpectCapture(record);
    TestParams sent;
    sent.iSwitchType = 1;
    sent.iTestMode = 1;
    sent.iTestStep = 37;
    sent.iSampleLength = 3;
    sent.iChargeTime = 0;
    sent.iSeriesType = 1;
    sent.iSampleBurst = 22;
    sent.iSamplePoint = 45;
    EXPECT_EQ(record.params, sent);
    EXPECT_EQ(record.strTestUser.Bytes(), "Nobody");
    EXPECT_EQ(record.strTestAdd.Bytes(), "Yard 7");
    const QDateTime stamp =
        QDateTime::fromString(record.strTestTime.Text(), QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    EXPECT_TRUE(before <= stamp && stamp <= after) << record.strTestTime.Text().toStdString();

    const auto shown = bench.Run({"show", "live.cty"});
    ASSERT_EQ(shown.exitCode, 0);
    EXPECT_EQ(result.out, shown.out);
    EXPECT_TRUE(result.out.contains("测试档位：18 -> 19")) << result.out.constData();
    const auto kept = bench.Run({"archive", "list", "--json"});
    EXPECT_EQ(kept.out.count('\n'), 1);
    EXPECT_TRUE(kept.out.contains("\"source\": \"live\"")) << kept.out.constData();
}

TEST_F(LiveCommandTest, TimedChargePollsOnceASecond) {
    ASSERT_TRUE(bench.StartSimulator({"--baud-index", kFast, "--polls", "1", "--verbose"}));
    const auto result = Live({"--charge", "1", "-o", "timed.cty"});
    ASSERT_EQ(result.exitCode, 0) << result.err.constData();
    const QList<Request> requests = Requests(bench.SimulatorLog());
    EXPECT_EQ(Commands(requests), "F4 F5 F6 F6 F6 F6 F6 F7 F8 FA FA FA FA F9");
    ASSERT_GE(requests.size(), 8);
    EXPECT_EQ(requests[0].hex.right(2), "05"); // 5 s, voltage waveform
    EXPECT_GE(requests[7].atMs - requests[1].atMs, 4900) << "armed before 5 s of charging";
    // One line per poll with the three phases of switch type 0.
    static const QRegularExpression poll(
        QStringLiteral("^ ?[1-5]/5 s  A [\\d.]+ V [\\d.]+ A [\\d.]+ Ω [\\d.]+ %  B .* C .*$"),
        QRegularExpression::MultilineOption);
    int lines = 0;
    for (auto it = poll.globalMatch(QString::fromLocal8Bit(result.err)); it.hasNext(); it.next())
        ++lines;
    EXPECT_EQ(lines, 5) << result.err.constData();
    TestRecord record;
    ASSERT_EQ(LoadTestFile(bench.Path("timed.cty"), record), TestFileError::None);
    EXPECT_EQ(record.params.iChargeTime, 1);
    ExpectCapture(record);
}

TEST_F(LiveCommandTest, FailuresWriteNothingAndStopWhatCharges) {
    struct Case {
        const char* fault;
        const char* commands; // what the tester received
        const char* said;     // on stderr
    };
    const Case cases[] = {
        {"F4:nak", "F4", "发送参数失败！"},
        {"F5:nak", "F4 F5 F9", "开始充电失败！"},
        // a start whose answer is lost may still have started the charge
        {"F5:noanswer", "F4 F5 F5 F5 F5 F9", "通讯失败！ start of charging"},
        {"F5:short", "F4 F5 F5 F5 F5 F9", "通讯失败！ start of charging"},
        {"F5:cut", "F4 F5 F5 F5 F5 F9", "通讯失败！ start of charging"},
        {"FA:cut:100", "F4 F5 F7 F8 FA FA FA FA F9", "通讯失败！ phase A block"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fault);
        WriteFile(bench.Path("kept.cty"), "an older file");
        ASSERT_TRUE(bench.StartSimulator(
            {"--baud-index", kFast, "--polls", "1", "--verbose", "--fault", c.fault}));
        const auto result = Live({"--charge", "0", "-o", "kept.cty"});
        const QByteArray commands = Commands(Requests(bench.SimulatorLog()));
        bench.StopSimulator();
        EXPECT_EQ(result.exitCode, 3) << result.err.constData();
        EXPECT_EQ(commands, c.commands);
        EXPECT_TRUE(result.err.contains(c.said)) << result.err.constData();
        EXPECT_TRUE(result.out.isEmpty());
        EXPECT_EQ(ReadFile(bench.Path("kept.cty")), QByteArray("an older file"));
    }
}

TEST_F(LiveCommandTest, ATargetThatCannotBeWrittenSendsNothing) {
    ASSERT_TRUE(bench.StartSimulator({"--baud-index", kFast, "--polls", "1", "--verbose"}));
    ASSERT_EQ(mkfifo(QFile::encodeName(bench.Path("fifo.cty")).constData(), 0600), 0);
    for (const char* target : {"no/such/folder/x.cty", "fifo.cty", "."}) {
        SCOPED_TRACE(target);
        const auto result = Live({"--charge", "0", "-o", target});
        EXPECT_EQ(result.exitCode, 1) << result.err.constData();
        EXPECT_TRUE(result.err.contains("cannot be written")) << result.err.constData();
    }
    EXPECT_TRUE(QFileInfo(bench.Path("fifo.cty")).exists());
    EXPECT_FALSE(QFileInfo(bench.Path("fifo.cty")).isFile());
    EXPECT_EQ(Commands(Requests(bench.SimulatorLog())), "");
}

TEST_F(LiveCommandTest, InterruptStopsTheTester) {
    ASSERT_TRUE(bench.StartSimulator({"--baud-index", kFast, "--polls", "1000", "--verbose"}));
    QProcess cli;
    cli.setProgram(bench.Path("oltc-cli"));
    cli.setArguments(
        {"live", "--port", "3", "--baud-index", kFast, "--charge", "0", "-o", "never.cty"});
    cli.setWorkingDirectory(bench.Folder());
    cli.setReadChannel(QProcess::StandardError);
    cli.start();
    QByteArray err;
    while (!err.contains("waiting up to") && cli.waitForReadyRead(10000))
        err += cli.readAllStandardError();
    ASSERT_TRUE(err.contains("waiting up to")) << err.constData();
    ::kill(pid_t(cli.processId()), SIGINT);
    const bool finished = cli.waitForFinished(10000);
    if (!finished)
        cli.kill();
    ASSERT_TRUE(finished);
    EXPECT_EQ(cli.exitCode(), 128 + SIGINT);
    EXPECT_TRUE(cli.readAllStandardError().contains("interrupted"));
    EXPECT_EQ(Commands(Requests(bench.SimulatorLog())), "F4 F5 F7 F9");
    EXPECT_FALSE(QFile::exists(bench.Path("never.cty")));
}

TEST_F(LiveCommandTest, OverUsb) {
    ASSERT_TRUE(bench.AddUsbBridge());
    const auto result =
        bench.Run({"live", "--usb", "--charge", "0", "-o", "usb.cty"}, {"OLTC_SIM_USB=--polls 1"});
    ASSERT_EQ(result.exitCode, 0) << result.err.constData();
    TestRecord record;
    ASSERT_EQ(LoadTestFile(bench.Path("usb.cty"), record), TestFileError::None);
    ExpectCapture(record);
    EXPECT_TRUE(result.out.startsWith("== usb.cty\n"));
}

TEST(LiveArgs, RefusesWhatThePanelRefuses) {
    struct Case {
        QStringList args;
        const char* error; // empty: accepted
    };
    const Case cases[] = {
        {{"-o", "a.cty"}, ""},
        {{"-o", "a.cty", "--switch-type", "1", "--test-mode", "1", "--step", "197", "--filter", "3",
          "--charge", "19", "--waveform", "1", "--threshold", "20", "--presample", "255"},
         ""},
        {{}, "needs -o"},
        {{"-o"}, "-o needs a file name"},
        {{"-o", "a.cty", "--switch-type", "2"}, "--switch-type"},
        {{"-o", "a.cty", "--test-mode", "2"}, "--test-mode"},
        {{"-o", "a.cty", "--step", "198"}, "--step"},
        {{"-o", "a.cty", "--step", "-1"}, "--step"},
        {{"-o", "a.cty", "--filter", "4"}, "--filter"},
        {{"-o", "a.cty", "--charge", "20"}, "--charge"},
        {{"-o", "a.cty", "--waveform", "2"}, "--waveform"},
        {{"-o", "a.cty", "--presample", "256"}, "--presample"},
        {{"-o", "a.cty", "--presample", "12.5"}, "--presample"},
        {{"-o", "a.cty", "--presample"}, "--presample"},
        {{"-o", "a.cty", "--threshold", "20.01"}, "--threshold"},
        {{"-o", "a.cty", "--threshold", "0.04"}, "--threshold"},
        {{"-o", "a.cty", "--threshold", ""}, "--threshold"},
        {{"-o", "a.cty", "--threshold", "1e1"}, "--threshold"},
        {{"-o", "a.cty", "--threshold", "inf"}, "--threshold"},
        {{"-o", "a.cty", "--port", "17"}, "--port"},
        {{"-o", "a.cty", "--usb", "--port", "2"}, "--usb"},
        {{"-o", "a.cty", "--all"}, "unknown option --all"},
        {{"-o", "a.cty", "3"}, "unexpected argument 3"},
    };
    for (const Case& c : cases) {
        LiveOptions options;
        const auto error = ParseLiveArgs(c.args, options);
        const QString expected = QString::fromUtf8(c.error);
        if (expected.isEmpty())
            EXPECT_FALSE(error) << c.args.join(' ').toStdString() << ": " << error->toStdString();
        else
            EXPECT_TRUE(error && error->contains(expected))
                << c.args.join(' ').toStdString() << ": "
                << (error ? error->toStdString() : "accepted");
    }

    // Thresholds as the panel reads them: single precision, halves to even.
    const std::pair<const char*, int> thresholds[] = {{"0.1", 1},   {"20", 200},   {"0.05", 1},
                                                      {"2.25", 22}, {" 7.5 ", 75}, {".3", 3}};
    for (const auto& [text, tenths] : thresholds)
        EXPECT_EQ(ThresholdTenths(text), tenths) << text;
}

TEST(LiveArgs, SettingsFileValuesOutsideTheLists) {
    struct Case {
        TestParams fromFile;
        QStringList args;
        const char* error; // empty: accepted
        quint8 testMode;   // as sent
    };
    TestParams typeZeroModeOne;
    typeZeroModeOne.iTestMode = 1;
    TestParams stepTooHigh;
    stepTooHigh.iTestStep = 250;
    TestParams noThreshold;
    noThreshold.iSampleBurst = 0;
    TestParams typeTwo;
    typeTwo.iSwitchType = 2;
    const Case cases[] = {
        // switch type 0 lists one mode, whatever the file says
        {typeZeroModeOne, {}, "", 0},
        {typeZeroModeOne, {"--switch-type", "1"}, "", 1},
        {TestParams(), {"--test-mode", "1"}, "only test mode 0", 0},
        {stepTooHigh, {}, "iTestStep=250", 0},
        {stepTooHigh, {"--step", "3"}, "", 0},
        {noThreshold, {}, "--threshold", 0},
        {noThreshold, {"--threshold", "0.1"}, "", 0},
        {typeTwo, {}, "iSwitchType=2", 0},
    };
    for (const Case& c : cases) {
        LiveOptions options;
        ASSERT_FALSE(ParseLiveArgs(c.args + QStringList{"-o", "a.cty"}, options));
        TestParams params = c.fromFile;
        const auto error = ApplyParamOptions(options, params);
        const QString expected = QString::fromUtf8(c.error);
        SCOPED_TRACE(c.args.join(' ').toStdString() + " " + expected.toStdString());
        if (expected.isEmpty()) {
            ASSERT_FALSE(error) << error->toStdString();
            EXPECT_EQ(params.iTestMode, c.testMode);
        } else {
            ASSERT_TRUE(error);
            EXPECT_TRUE(error->contains(expected)) << error->toStdString();
        }
    }
}

TEST(ChargeReadout, ShowsWhatTheChargingWindowShows) {
    const auto status = [](std::array<quint16, 3> mv, std::array<quint16, 3> ma) {
        ChargeStatus s;
        s.millivolts = mv;
        s.milliamps = ma;
        return s;
    };
    TestParams typeZero;
    ChargeReadout all(typeZero);
    EXPECT_EQ(all.Update(status({10000, 0, 3}, {100, 0, 2})),
              QStringLiteral("A 10.00 V 0.10 A 100.00 Ω 0.00 %  B 0.00 V 0.00 A 0.00 Ω 0.00 %  "
                             "C 0.00 V 0.00 A 1.50 Ω 0.00 %"));
    // 101000 after 100000 mΩ changed by 1000 / 101000 = 0.99 %; 7 mV / 3 mA is 2333 mΩ;
    // a resistance that falls to 0 has no rate.
    EXPECT_EQ(all.Update(status({10100, 7, 0}, {100, 3, 2})),
              QStringLiteral("A 10.10 V 0.10 A 101.00 Ω 0.99 %  B 0.01 V 0.00 A 2.33 Ω 0.00 %  "
                             "C 0.00 V 0.00 A 0.00 Ω -- %"));

    TestParams acToB;
    acToB.iSwitchType = 1;
    acToB.iTestMode = 0;
    const QString ac = ChargeReadout(acToB).Update(status({1000, 1000, 1000}, {10, 10, 10}));
    EXPECT_TRUE(ac.startsWith(u"A ") && ac.contains(u"  C ") && !ac.contains(u"B "))
        << ac.toStdString();
    TestParams abToC = acToB;
    abToC.iTestMode = 1;
    const QString ab = ChargeReadout(abToC).Update(status({1000, 1000, 1000}, {10, 10, 10}));
    EXPECT_TRUE(ab.contains(u"  B ") && !ab.contains(u"C ")) << ab.toStdString();
}

QByteArray ReadAll(std::FILE* stream) {
    QByteArray bytes(int(std::ftell(stream)), '\0');
    std::rewind(stream);
    bytes.resize(qsizetype(std::fread(bytes.data(), 1, size_t(bytes.size()), stream)));
    return bytes;
}

// With the waits shortened, in this process against an in-process tester:
// the three-minute bound, a charge poll, arming or trigger poll that fails,
// a stop that fails.
TEST(LiveWait, ShortenedRoads) {
    struct Case {
        int polls; // the capture is ready on this trigger poll
        const char* fault;
        QStringList args;
        int exitCode;
        const char* commands;
        const char* said;
        bool written;
    };
    const Case cases[] = {
        {1000,
         "",
         {"--charge", "0"},
         3,
         "F4 F5 F7 F8 F8 F8 F8 F8 F9",
         "no operation captured within 1.5 s",
         false},
        {1,
         "F6:noanswer",
         {"--charge", "1"},
         3,
         "F4 F5 F6 F6 F6 F6 F9",
         "通讯失败！ charge status",
         false},
        {1, "F7:nak", {"--charge", "0"}, 3, "F4 F5 F7 F9", "did not arm", false},
        {1,
         "F8:noanswer",
         {"--charge", "0"},
         3,
         "F4 F5 F7 F8 F8 F8 F8 F9",
         "通讯失败！ trigger poll",
         false},
        // the capture is whole: it is kept, but the tester may still be charging
        {1,
         "F9:noanswer",
         {"--charge", "0"},
         3,
         "F4 F5 F7 F8 FA FA FA FA F9 F9 F9 F9",
         "通讯失败！ stop",
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fault);
        QTemporaryDir folder;
        SimConfig config;
        config.baudIndex = kFast.toInt();
        config.pollsBeforeReady = c.polls;
        if (*c.fault)
            config.faults << *ParseFault(c.fault);
        SerialFront front(config);
        ASSERT_TRUE(front.Start(folder.path(), 1));
        SetPortsFolder(folder.filePath("ports"));
        UDataCenter() = DataCenter{};
        UDataCenter().settings.giCommStyle = 1;
        UDataCenter().settings.giCommPort = 1;
        UDataCenter().settings.giBaudRate = config.baudIndex;

        const QString path = folder.filePath("live.cty");
        LiveOptions options;
        ASSERT_FALSE(ParseLiveArgs(c.args + QStringList{"-o", path}, options));
        LiveTiming timing;
        timing.chargeSecondMs = 100;
        timing.triggerPollMs = 300;
        timing.triggerWaitMs = 1500;
        timing.afterStopMs = 0;
        std::FILE* out = std::tmpfile();
        std::FILE* err = std::tmpfile();
        const int status = RunLiveTest(options, timing, out, err);
        front.Stop();
        SetPortsFolder({});
        UDataCenter() = DataCenter{};
        const QByteArray printed = ReadAll(out);
        const QByteArray said = ReadAll(err);
        std::fclose(out);
        std::fclose(err);

        EXPECT_EQ(status, c.exitCode);
        QStringList commands;
        for (const LoggedRequest& r : front.Requests())
            commands << r.HexText().left(2);
        EXPECT_EQ(commands.join(' '), c.commands);
        EXPECT_TRUE(said.contains(c.said)) << said.constData();
        EXPECT_EQ(QFile::exists(path), c.written);
        EXPECT_EQ(printed.startsWith("== " + path.toUtf8() + "\n"), c.written)
            << printed.constData();
    }
}

} // namespace
