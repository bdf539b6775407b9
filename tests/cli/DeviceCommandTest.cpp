#include "ArchivePath.h"
#include "CliBench.h"
#include "DeviceOptions.h"
#include "FileNames.h"
#include "FileTarget.h"
#include "Helpers.h"
#include "PortsCommand.h"
#include "SimStoredTest.h"
#include "SimWaveform.h"
#include "TestFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QSerialPortInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>

namespace {

constexpr quint32 kSeed = 1; // the simulator's default

QString Fast() {
    return QStringLiteral("12");
} // 115200 bit/s

QString StampText(const SimStoredTest& t) {
    return QString::asprintf("%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour,
                             t.minute, t.second);
}

QString StampFileName(const SimStoredTest& t) {
    return QString::asprintf("%02d-%02d-%02d %02d-%02d-%02d.cty", t.year % 100, t.month, t.day,
                             t.hour, t.minute, t.second);
}

void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// What a fetched test k must hold, with the settings file's filter, charge
// time and waveform type.
void ExpectStoredTest(const QString& path, int k, const TestParams& fromSettings) {
    SCOPED_TRACE(path.toStdString());
    TestRecord record;
    ASSERT_EQ(LoadTestFile(path, record), TestFileError::None);
    const SimStoredTest t = StoredTestOf(kSeed, k);
    EXPECT_EQ(record.strTestTime.Bytes(), StampText(t).toLatin1());
    EXPECT_EQ(record.strTestUser.Bytes(), t.user);
    EXPECT_EQ(record.strTestAdd.Bytes(), t.place);
    EXPECT_EQ(record.params.iSwitchType, t.switchType);
    EXPECT_EQ(record.params.iTestMode, t.testMode);
    EXPECT_EQ(record.params.iTestStep, t.step);
    EXPECT_EQ(record.params.iSampleBurst, t.threshold);
    EXPECT_EQ(record.params.iSamplePoint, t.preTrigger);
    EXPECT_EQ(record.params.iSampleLength, fromSettings.iSampleLength);
    EXPECT_EQ(record.params.iChargeTime, fromSettings.iChargeTime);
    EXPECT_EQ(record.params.iSeriesType, fromSettings.iSeriesType);
    EXPECT_EQ(record.iLoops, 0);
    EXPECT_EQ(record.iAngle, 0);
    for (int phase = 1; phase <= 3; ++phase) {
        const auto wave = SimWaveform(kSeed, phase, k);
        int wrong = 0;
        for (int n = 1; n <= kSampleCount; ++n)
            wrong += record.SampleAt(phase, n) != wave[n - 1];
        EXPECT_EQ(wrong, 0) << "phase " << phase;
    }
}

TEST(DeviceArgs, ParsesAndRefuses) {
    struct Case {
        const char* command;
        QStringList args;
        bool ok;
    };
    const Case cases[] = {
        {"identify", {}, true},
        {"identify", {"--port", "16", "--baud-index", "13"}, true},
        {"identify", {"--usb"}, true},
        {"identify", {"--port", "17"}, false},
        {"identify", {"--port", "0"}, false},
        {"identify", {"--port"}, false},
        {"identify", {"--baud-index", "14"}, false},
        {"identify", {"--usb", "--port", "2"}, false},
        {"identify", {"extra"}, false},
        {"history", {"--all"}, false},
        {"fetch", {"3", "-o", "a.cty"}, true},
        {"fetch", {"--all", "-d", "out"}, true},
        {"fetch", {"3"}, false},
        {"fetch", {"-o", "a.cty"}, false},
        {"fetch", {"0", "-o", "a.cty"}, false},
        {"fetch", {"x", "-o", "a.cty"}, false},
        {"fetch", {"3", "4", "-o", "a.cty"}, false},
        {"fetch", {"--all"}, false},
        {"fetch", {"--all", "-d", "out", "3"}, false},
        {"fetch", {"--all", "-o", "a.cty", "-d", "out"}, false},
        {"fetch", {"2", "-o", "a.cty", "--verbose"}, false},
    };
    for (const Case& c : cases) {
        DeviceOptions options;
        const auto error = ParseDeviceArgs(c.command, c.args, options);
        EXPECT_EQ(!error, c.ok) << c.command << " " << c.args.join(' ').toStdString();
    }
    DeviceOptions options;
    ASSERT_FALSE(ParseDeviceArgs("fetch", {"7", "-o", "x.cty", "--port", "4"}, options));
    EXPECT_EQ(options.entry, 7);
    EXPECT_EQ(options.output, QString("x.cty"));
    SystemSettings settings;
    settings.giCommStyle = 0;
    settings.giBaudRate = 9;
    ApplyLinkOptions(options, settings);
    EXPECT_EQ(settings.giCommStyle, 1);
    EXPECT_EQ(settings.giCommPort, 4);
    EXPECT_EQ(settings.giBaudRate, 9);
}

TEST(ArchivePath, NeverOverwrites) {
    QTemporaryDir dir;
    const QString stem = "10-12-21 14-30-05";
    EXPECT_EQ(ArchivePath(dir.path(), stem, "abc").path, dir.filePath(stem + ".cty"));
    WriteFile(dir.filePath(stem + ".cty"), "abc");
    const ArchiveTarget same = ArchivePath(dir.path(), stem, "abc");
    EXPECT_TRUE(same.alreadyThere);
    EXPECT_EQ(same.path, dir.filePath(stem + ".cty"));
    const ArchiveTarget other = ArchivePath(dir.path(), stem, "abd");
    EXPECT_FALSE(other.alreadyThere);
    EXPECT_EQ(other.path, dir.filePath(stem + " (2).cty"));
    WriteFile(other.path, "abd");
    QDir(dir.path()).mkdir(stem + " (3).cty");
    EXPECT_EQ(ArchivePath(dir.path(), stem, "abe").path, dir.filePath(stem + " (4).cty"));
    EXPECT_TRUE(ArchivePath(dir.path(), stem, "abd").alreadyThere);
}

// Two fetches into one folder: the first claims the free name while it
// writes, the second takes the next; a claim not kept gives the name back.
TEST(ArchivePath, AClaimedNameIsTakenOnce) {
    QTemporaryDir dir;
    const QString stem = "10-12-21 14-30-05";
    {
        ClaimedName first, second;
        const ArchiveTarget a = ArchivePath(dir.path(), stem, "abc", &first);
        const ArchiveTarget b = ArchivePath(dir.path(), stem, "abc", &second);
        EXPECT_EQ(a.path, dir.filePath(stem + ".cty"));
        EXPECT_EQ(b.path, dir.filePath(stem + " (2).cty"));
        EXPECT_FALSE(a.alreadyThere || b.alreadyThere);
        WriteFile(a.path, "abc");
        first.Keep();
    }
    EXPECT_TRUE(QFileInfo::exists(dir.filePath(stem + ".cty")));
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(stem + " (2).cty")));
    ClaimedName third;
    EXPECT_TRUE(ArchivePath(dir.path(), stem, "abc", &third).alreadyThere);
    QString why;
    ClaimedName none;
    EXPECT_TRUE(ArchivePath(dir.filePath("no/such"), stem, "abc", &none, &why).path.isEmpty());
    EXPECT_FALSE(why.isEmpty());
}

class DeviceCommandTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(bench.IsReady()); }
    CliBench bench;
};

TEST_F(DeviceCommandTest, IdentifyBySettingsFileAndByOptions) {
    // The settings file names the port and speed; options override them.
    WriteFile(bench.Path("SystemFile.ini"),
              "[Communication]\r\ngiCommStyle=0\r\ngiCommPort=3\r\ngiBaudRate=12\r\n");
    ASSERT_TRUE(bench.StartSimulator({"--baud-index", Fast(), "--brand", "2"}));
    auto result = bench.Run({"identify", "--port", "3"});
    EXPECT_EQ(result.exitCode, 0) << result.err.constData();
    EXPECT_EQ(result.out, QByteArray("2\tBorvin\n"));
    bench.StopSimulator();

    WriteFile(bench.Path("SystemFile.ini"),
              "[Communication]\r\ngiCommStyle=1\r\ngiCommPort=3\r\ngiBaudRate=7\r\n");
    ASSERT_TRUE(bench.StartSimulator({"--brand", "7"}));
    result = bench.Run({"identify"});
    EXPECT_EQ(result.exitCode, 0) << result.err.constData();
    EXPECT_EQ(result.out, QByteArray("7\t\n"));

    result = bench.Run({"identify", "--port", "9"});
    EXPECT_EQ(result.exitCode, 3);
    EXPECT_TRUE(result.out.isEmpty());
    EXPECT_TRUE(result.err.contains("通讯失败！")) << result.err.constData();
    EXPECT_TRUE(result.err.contains("COM9")) << result.err.constData();
}

TEST_F(DeviceCommandTest, HistoryAndFetchOne) {
    WriteFile(bench.Path("SystemFile.ini"),
              "[SetParam]\r\niSampleLength=3\r\niChargeTime=5\r\niSeriesType=1\r\n"
              "[RestParam]\r\nstrTestUser=Nobody\r\n");
    ASSERT_TRUE(bench.StartSimulator({"--baud-index", Fast(), "--stored", "3"}));
    auto result = bench.Run({"history", "--port", "3", "--baud-index", Fast()});
    ASSERT_EQ(result.exitCode, 0) << result.err.constData();
    QByteArray expected;
    for (int k = 1; k <= 3; ++k) {
        const SimStoredTest t = StoredTestOf(kSeed, k);
        expected += QString("%1\t%2\t%3\n").arg(k).arg(StepText(t.step), StampText(t)).toUtf8();
    }
    EXPECT_EQ(result.out, expected);

    result = bench.Run({"fetch", "2", "-o", "two.cty", "--port", "3", "--baud-index", Fast()});
    ASSERT_EQ(result.exitCode, 0) << result.err.constData();
    EXPECT_TRUE(result.err.contains("phase C")) << result.err.constData();
    TestParams fromSettings;
    fromSettings.iSampleLength = 3;
    fromSettings.iChargeTime = 5;
    fromSettings.iSeriesType = 1;
    ExpectStoredTest(bench.Path("two.cty"), 2, fromSettings);

    result = bench.Run({"fetch", "4", "-o", "four.cty", "--port", "3", "--baud-index", Fast()});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(result.err.contains("no stored test 4")) << result.err.constData();
    EXPECT_FALSE(QFile::exists(bench.Path("four.cty")));
}

TEST_F(DeviceCommandTest, FetchAllNeverOverwrites) {
    ASSERT_TRUE(bench.StartSimulator({"--baud-index", Fast(), "--stored", "2"}));
    const QStringList args{"fetch",  "--all", "-d",           "archive",
                           "--port", "3",     "--baud-index", Fast()};
    auto result = bench.Run(args);
    ASSERT_EQ(result.exitCode, 0) << result.err.constData();
    const QString first = bench.Path("archive/" + StampFileName(StoredTestOf(kSeed, 1)));
    const QString second = bench.Path("archive/" + StampFileName(StoredTestOf(kSeed, 2)));
    ExpectStoredTest(first, 1, TestParams());
    ExpectStoredTest(second, 2, TestParams());

    // A second run finds both; a file that changed meanwhile is kept and
    // the test is written beside it.
    QByteArray changed = ReadFile(first);
    changed[100] = char(changed[100] ^ 0x5A);
    WriteFile(first, changed);
    result = bench.Run(args);
    ASSERT_EQ(result.exitCode, 0) << result.err.constData();
    EXPECT_TRUE(result.out.contains("(already there)"));
    EXPECT_EQ(ReadFile(first), changed);
    QString beside = first;
    beside.replace(".cty", " (2).cty");
    ExpectStoredTest(beside, 1, TestParams());
    EXPECT_EQ(QDir(bench.Path("archive")).entryList(QDir::Files).size(), 3);

    // Each test kept once in the program folder's archive, seen last at its
    // file; none with --no-archive, another archive with --archive.
    const auto kept = bench.Run({"archive", "list", "--json"});
    ASSERT_EQ(kept.exitCode, 0) << kept.err.constData();
    EXPECT_EQ(kept.out.count('\n'), 2) << kept.out.constData();
    EXPECT_TRUE(kept.out.contains("\"source\": \"fetch\""));
    EXPECT_TRUE(kept.out.contains("archive/" + StampFileName(StoredTestOf(kSeed, 2)).toUtf8()));
    result = bench.Run(
        {"fetch", "1", "-o", "none.cty", "--no-archive", "--port", "3", "--baud-index", Fast()});
    ASSERT_EQ(result.exitCode, 0) << result.err.constData();
    result = bench.Run({"fetch", "2", "-o", "other.cty", "--archive", "other.sqlite", "--port", "3",
                        "--baud-index", Fast()});
    ASSERT_EQ(result.exitCode, 0) << result.err.constData();
    EXPECT_EQ(bench.Run({"archive", "list"}).out.count('\n'), 2);
    EXPECT_FALSE(bench.Run({"archive", "list"}).out.contains("none.cty"));
    EXPECT_EQ(bench.Run({"archive", "list", "--archive", "other.sqlite"}).out.count('\n'), 1);
    // An archive that cannot be used is said, and the test is written all the same.
    WriteFile(bench.Path("broken.sqlite"), QByteArray(4096, 'x'));
    result = bench.Run({"fetch", "2", "-o", "still.cty", "--archive", "broken.sqlite", "--port",
                        "3", "--baud-index", Fast()});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_TRUE(result.err.contains("broken.sqlite")) << result.err.constData();
    ExpectStoredTest(bench.Path("still.cty"), 2, TestParams());
}

TEST_F(DeviceCommandTest, NamesThatAreNotUtf8) {
    ASSERT_TRUE(bench.StartSimulator({"--baud-index", Fast(), "--stored", "1"}));
    const QByteArray gbk = "\xB2\xE2\xCA\xD4"; // "测试" in GBK
    const QByteArray folder = QFile::encodeName(bench.Folder()) + '/';
    auto result = bench.Run({"fetch", "1", "-o", FileNameFromNative(gbk + ".cty"), "--port", "3",
                             "--baud-index", Fast()});
    ASSERT_EQ(result.exitCode, 0) << result.err.constData();
    ExpectStoredTest(FileNameFromNative(folder + gbk + ".cty"), 1, TestParams());

    result = bench.Run(
        {"fetch", "--all", "-d", FileNameFromNative(gbk), "--port", "3", "--baud-index", Fast()});
    ASSERT_EQ(result.exitCode, 0) << result.err.constData();
    const QByteArray archived = gbk + '/' + StampFileName(StoredTestOf(kSeed, 1)).toUtf8();
    EXPECT_EQ(result.out, "1\t" + archived + '\n');
    ExpectStoredTest(FileNameFromNative(folder + archived), 1, TestParams());
    std::filesystem::remove_all((folder + gbk).toStdString());
    std::filesystem::remove((folder + gbk + ".cty").toStdString());
}

TEST_F(DeviceCommandTest, FailedExchangesLeaveNothingHalfWritten) {
    struct Case {
        const char* fault;
        QStringList args;
        int exitCode;
        const char* what; // in the error line
    };
    const Case cases[] = {
        {"F1:noanswer", {"history"}, 3, "number of stored tests"},
        {"F2:cut:5", {"history"}, 3, "stored test 1 of 3"},
        {"F3:noanswer", {"fetch", "1", "-o", "kept.cty"}, 3, "header of stored test 1"},
        // the header comes whole, phase A is cut
        {"F3:cut:5000", {"fetch", "--all", "-d", "archive"}, 3, "phase A of stored test 1"},
        // a fault that wears off within the four attempts is not seen
        {"F3:noanswer::3", {"fetch", "1", "-o", "kept.cty"}, 0, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fault);
        WriteFile(bench.Path("kept.cty"), "an older file");
        ASSERT_TRUE(bench.StartSimulator({"--baud-index", Fast(), "--fault", c.fault}));
        const auto result = bench.Run(c.args + QStringList{"--port", "3", "--baud-index", Fast()});
        bench.StopSimulator();
        EXPECT_EQ(result.exitCode, c.exitCode) << result.err.constData();
        if (c.exitCode == 0) {
            ExpectStoredTest(bench.Path("kept.cty"), 1, TestParams());
            continue;
        }
        const QByteArray last = result.err.trimmed().split('\n').last();
        EXPECT_TRUE(last.startsWith("oltc-cli: 通讯失败！")) << result.err.constData();
        EXPECT_TRUE(last.contains(c.what)) << result.err.constData();
        EXPECT_EQ(ReadFile(bench.Path("kept.cty")), QByteArray("an older file"));
        EXPECT_TRUE(QDir(bench.Path("archive")).entryList(QDir::Files).isEmpty());
    }
}

TEST_F(DeviceCommandTest, OverUsb) {
    // Without the bridge library every USB call fails.
    auto result = bench.Run({"identify", "--usb"});
    EXPECT_EQ(result.exitCode, 3);
    EXPECT_TRUE(result.err.contains("通讯失败！")) << result.err.constData();
    EXPECT_TRUE(result.err.contains("libSiUSBXp.so")) << result.err.constData();

    ASSERT_TRUE(bench.AddUsbBridge());
    WriteFile(bench.Path("SystemFile.ini"), "[Communication]\r\ngiCommStyle=0\r\n");
    result = bench.Run({"identify"}, {"OLTC_SIM_USB=--product XK4N7-01"});
    EXPECT_EQ(result.exitCode, 0) << result.err.constData();
    EXPECT_EQ(result.out, QByteArray("1\tXK4N7-01\n"));
    result = bench.Run({"identify"}, {"OLTC_SIM_USB=--devices 0"});
    EXPECT_EQ(result.exitCode, 3);
    result = bench.Run({"history"}, {"OLTC_SIM_USB=--devices 0"});
    EXPECT_EQ(result.exitCode, 3);
    EXPECT_TRUE(result.err.contains("no USB device is connected")) << result.err.constData();

    // Only the first 100 of 150 stored tests are listed.
    result = bench.Run({"history", "--usb"}, {"OLTC_SIM_USB=--stored 150"});
    ASSERT_EQ(result.exitCode, 0) << result.err.constData();
    const QList<QByteArray> lines = result.out.trimmed().split('\n');
    ASSERT_EQ(lines.size(), 100);
    const SimStoredTest last = StoredTestOf(kSeed, 100);
    EXPECT_EQ(lines.last(),
              QString("100\t%1\t%2").arg(StepText(last.step), StampText(last)).toUtf8());
    EXPECT_TRUE(result.err.contains("150")) << result.err.constData();

    result = bench.Run({"fetch", "3", "-o", "three.cty", "--usb"});
    ASSERT_EQ(result.exitCode, 0) << result.err.constData();
    ExpectStoredTest(bench.Path("three.cty"), 3, TestParams());

    result = bench.Run({"fetch", "--all", "-d", "archive", "--usb"},
                       {"OLTC_SIM_USB=--fault F3:cut:4000"});
    EXPECT_EQ(result.exitCode, 3);
    EXPECT_TRUE(result.err.contains("phase A of stored test 1")) << result.err.constData();
    EXPECT_TRUE(QDir(bench.Path("archive")).entryList(QDir::Files).isEmpty());
}

TEST(PortsText, OneLinePerPortThenPerBridge) {
    SerialPortEntry linked;
    linked.number = 3;
    linked.device = "/dev/pts/7";
    linked.linked = true;
    SerialPortEntry usb;
    usb.number = 1;
    usb.device = "/dev/ttyUSB0";
    usb.listed = true;
    usb.description = "CP2102\tUSB to UART";
    usb.manufacturer = "Silicon Labs";
    usb.serialNumber = "0001";
    usb.vendorId = 0x10c4;
    usb.productId = 0xea60;
    SerialPortEntry unreached;
    unreached.device = "/dev/ttyS9";
    unreached.listed = true;
    const QByteArray text =
        PortsText({usb, linked, unreached}, {{0, "K4N7", "OLTC Tester USB K4N7", "10C4", "EA61"}});
    EXPECT_EQ(text, "COM1\t/dev/ttyUSB0\torder\tCP2102 USB to UART\tSilicon Labs\t0001\t10c4:ea60\n"
                    "COM3\t/dev/pts/7\tlink\t\t\t\t\n"
                    "-\t/dev/ttyS9\t\t\t\t\t\n"
                    "USB0\tK4N7\tOLTC Tester USB K4N7\t10c4:ea61\n");
    EXPECT_EQ(PortSummary(usb),
              "/dev/ttyUSB0: CP2102\tUSB to UART, Silicon Labs, 0001, USB 10c4:ea60");
    EXPECT_EQ(PortSummary(linked), "/dev/pts/7");
    EXPECT_EQ(PortToolTip({usb, linked}, 3), "/dev/pts/7");
    EXPECT_EQ(PortToolTip({usb, linked}, 2), QStringLiteral("无此串口"));
}

TEST_F(DeviceCommandTest, PortsByTheNamesTheProgramGives) {
    ASSERT_TRUE(bench.StartSimulator({}));
    auto result = bench.Run({"ports"});
    ASSERT_EQ(result.exitCode, 0) << result.err.constData();
    EXPECT_TRUE(result.err.contains("no USB bridge library (libSiUSBXp.so)"))
        << result.err.constData();
    QMap<QString, QStringList> byName;
    for (const QByteArray& line : result.out.split('\n'))
        if (!line.isEmpty())
            byName[QString::fromUtf8(line).section(u'\t', 0, 0)] =
                QString::fromUtf8(line).split(u'\t');
    // COM3 is the simulator's link; the others the system's ports in order.
    ASSERT_TRUE(byName.contains("COM3")) << result.out.constData();
    EXPECT_EQ(byName["COM3"][1], QFileInfo(bench.Path("ports/COM3")).canonicalFilePath());
    EXPECT_EQ(byName["COM3"][2], "link");
    QStringList system;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
        system << info.systemLocation();
    std::sort(system.begin(), system.end());
    for (int n = 1; n <= 16; ++n) {
        if (n == 3)
            continue;
        const QString name = QStringLiteral("COM%1").arg(n);
        SCOPED_TRACE(name.toStdString());
        if (n > system.size()) {
            EXPECT_FALSE(byName.contains(name));
            continue;
        }
        ASSERT_TRUE(byName.contains(name));
        EXPECT_EQ(byName[name][1], system[n - 1]);
        EXPECT_EQ(byName[name][2], "order");
        EXPECT_EQ(byName[name].size(), 7);
    }
    for (const QString& name : byName.keys())
        EXPECT_FALSE(name.startsWith("USB")) << "no bridge library, no bridge device";

    // The bridge double lists its one device; with none plugged in, nothing.
    ASSERT_TRUE(bench.AddUsbBridge());
    result = bench.Run({"ports"}, {"OLTC_SIM_USB=--product XK4N7-01"});
    ASSERT_EQ(result.exitCode, 0) << result.err.constData();
    EXPECT_TRUE(result.out.endsWith("\nUSB0\tXK4N7-01\tXK4N7-01\t10c4:ea61\n"))
        << result.out.constData();
    EXPECT_FALSE(result.err.contains("bridge")) << result.err.constData();
    result = bench.Run({"ports"}, {"OLTC_SIM_USB=--devices 0"});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_FALSE(result.out.contains("USB0")) << result.out.constData();
    EXPECT_EQ(bench.Run({"ports", "extra"}).exitCode, 2);
}

} // namespace
