// Every command under every fault the simulated tester offers, over serial
// and USB: each ends with the data a fault-free run gives, or fails with
// exit status 3 and keeps nothing it did not get whole. Never wrong data
// with success.
#include "DeviceCommands.h"
#include "DeviceOptions.h"
#include "LiveCommand.h"
#include "PortNames.h"
#include "SerialFront.h"
#include "SiBridge.h"
#include "SimFault.h"
#include "UDataCenter.h"

#include <QDir>
#include <QFile>
#include <QLibrary>
#include <QTemporaryDir>
#include <cstdio>
#include <gtest/gtest.h>
#include <memory>

namespace {

constexpr int kFastIndex = 13; // 256000 bit/s
constexpr int kPort = 4;

// One fault per kind, with the argument and count that reach its worst:
// answers lost, spoiled or late once or twice and then right, or wrong on
// every attempt.
const char* const kKinds[] = {
    "noanswer::1", "nak",     "wrongecho::1", "short::1", "cut::1",
    "garbage::1",  "garbage", "delay:600",    "late::2",  "twice",
};

struct Command {
    const char* name;
    QStringList args;   // "-o"/"-d" targets are relative to the run's folder
    QByteArray faulted; // the command bytes that get the fault
};

const Command kCommands[] = {
    {"identify", {"identify"}, "\xF0"},
    {"history", {"history"}, "\xF1\xF2"},
    {"fetch", {"fetch", "2", "-o", "two.cty"}, "\xF1\xF3"},
    {"fetch-all", {"fetch", "--all", "-d", "all"}, "\xF1\xF3"},
    {"live", {"live", "--charge", "0", "-o", "live.cty"}, "\xF4\xF5\xF7\xF8\xF9\xFA"},
    // five charge polls, 100 ms apart
    {"live-charged", {"live", "--charge", "1", "-o", "live.cty"}, "\xF6"},
};

// Byte 1 carries data in these answers: a changed byte 1 is a tester that
// says something else, not a fault the program could see.
bool ByteOneIsData(quint8 command) {
    return command == 0xF0 || command == 0xF1 || command == 0xF6;
}

QStringList FaultOptions(const Command& command, const QString& kind) {
    QStringList faults;
    for (const char byte : command.faulted) {
        if (kind == u"nak" && ByteOneIsData(quint8(byte)))
            continue;
        faults << QStringLiteral("%1:%2").arg(QString::number(quint8(byte), 16).toUpper(), kind);
    }
    return faults;
}

QByteArray ReadAll(std::FILE* stream) {
    QByteArray bytes(int(std::ftell(stream)), '\0');
    std::rewind(stream);
    bytes.resize(qsizetype(std::fread(bytes.data(), 1, size_t(bytes.size()), stream)));
    return bytes;
}

// What a run left: its exit status, its output and the test files it wrote
// by name; the live test's time stamp, the only thing that may differ, is
// blanked.
struct Outcome {
    int status = -1;
    QByteArray out;
    QByteArray err;
    QMap<QString, QByteArray> files;
};

QMap<QString, QByteArray> FilesIn(const QString& folder) {
    QMap<QString, QByteArray> files;
    QDir dir(folder);
    for (const QString& name : dir.entryList({"*.cty"}, QDir::Files, QDir::Name)) {
        QFile file(dir.filePath(name));
        if (file.open(QIODevice::ReadOnly))
            files.insert(name, file.readAll());
    }
    return files;
}

class FaultTable : public testing::TestWithParam<std::tuple<bool, int>> {
protected:
    void SetUp() override {
        saved = UDataCenter();
        if (Usb()) {
            bridge.setFileName(QStringLiteral(OLTC_SIM_USB_PATH));
            ASSERT_TRUE(bridge.load()) << bridge.errorString().toStdString();
            configure = reinterpret_cast<int (*)(const char*)>(bridge.resolve("SimUsb_Configure"));
            ASSERT_NE(configure, nullptr);
            SetBridgeLibraryPath(QStringLiteral(OLTC_SIM_USB_PATH));
        }
    }
    void TearDown() override {
        SetBridgeLibraryPath({});
        SetPortsFolder({});
        UDataCenter() = saved;
    }
    bool Usb() const { return std::get<0>(GetParam()); }
    const Command& TheCommand() const { return kCommands[std::get<1>(GetParam())]; }

    Outcome Run(const QStringList& faults) {
        QTemporaryDir folder;
        std::unique_ptr<SerialFront> front;
        SimConfig config;
        config.baudIndex = kFastIndex;
        config.pollsBeforeReady = 1;
        config.storedTests = 2;
        for (const QString& fault : faults)
            config.faults << *ParseFault(fault);
        if (Usb()) {
            QString options = QStringLiteral("--polls 1 --stored 2");
            for (const QString& fault : faults)
                options += QStringLiteral(" --fault ") + fault;
            EXPECT_EQ(configure(options.toLatin1().constData()), 0) << options.toStdString();
        } else {
            front = std::make_unique<SerialFront>(config);
            EXPECT_TRUE(front->Start(folder.path(), kPort));
            SetPortsFolder(folder.filePath("ports"));
        }
        UDataCenter() = DataCenter{};
        SystemSettings& settings = UDataCenter().settings;
        settings.giCommStyle = Usb() ? 0 : 1;
        settings.giCommPort = kPort;
        settings.giBaudRate = kFastIndex;

        QStringList args = TheCommand().args;
        for (QString& arg : args)
            if (arg.endsWith(u".cty") || arg == u"all")
                arg = folder.filePath(arg);
        const QString command = args.takeFirst();
        std::FILE* out = std::tmpfile();
        std::FILE* err = std::tmpfile();
        Outcome outcome;
        if (command == u"live") {
            LiveOptions options;
            EXPECT_FALSE(ParseLiveArgs(args, options));
            LiveTiming timing;
            timing.chargeSecondMs = 100;
            timing.triggerPollMs = 200;
            timing.triggerWaitMs = 4000;
            timing.afterStopMs = 0;
            outcome.status = RunLiveTest(options, timing, out, err);
        } else {
            DeviceOptions options;
            if (Usb())
                args << QStringLiteral("--usb");
            else
                args << "--port" << QString::number(kPort) << "--baud-index"
                     << QString::number(kFastIndex);
            EXPECT_FALSE(ParseDeviceArgs(command, args, options));
            outcome.status = RunDeviceCommand(options, out, err);
        }
        if (front)
            front->Stop();
        // The listing of fetch --all names the run's folder.
        outcome.out = ReadAll(out).replace(folder.path().toUtf8(), "DIR");
        outcome.err = ReadAll(err);
        std::fclose(out);
        std::fclose(err);
        outcome.files = FilesIn(folder.path());
        const QMap<QString, QByteArray> archived = FilesIn(folder.filePath("all"));
        for (auto it = archived.begin(); it != archived.end(); ++it)
            outcome.files.insert("all/" + it.key(), it.value());
        if (command == u"live") {
            // The live test is stamped with the time it ran; live.cty is
            // also printed with its stamp.
            for (QByteArray& bytes : outcome.files)
                if (bytes.size() > 36)
                    bytes.replace(16, 20, QByteArray(20, '\0'));
            outcome.out.clear();
        }
        return outcome;
    }

    DataCenter saved;
    QLibrary bridge;
    int (*configure)(const char*) = nullptr;
};

TEST_P(FaultTable, RightDataOrACleanFailure) {
    const Outcome reference = Run({});
    ASSERT_EQ(reference.status, 0) << reference.err.constData();
    ASSERT_FALSE(reference.out.isEmpty() && reference.files.isEmpty());
    for (const char* kind : kKinds) {
        const QStringList faults = FaultOptions(TheCommand(), QString::fromLatin1(kind));
        if (faults.isEmpty())
            continue;
        SCOPED_TRACE(faults.join(' ').toStdString());
        const Outcome run = Run(faults);
        // A fault that wears off within the four attempts is not seen.
        EXPECT_TRUE(run.status == 0 || !QByteArray(kind).contains("::")) << run.err.constData();
        if (run.status == 0) {
            EXPECT_EQ(run.out, reference.out);
            EXPECT_EQ(run.files, reference.files);
            continue;
        }
        EXPECT_EQ(run.status, 3) << run.err.constData();
        // What was printed or written before the failure is right: the
        // first lines of the listing, the tests fetched whole.
        EXPECT_TRUE(reference.out.startsWith(run.out)) << run.out.constData();
        for (auto it = run.files.begin(); it != run.files.end(); ++it)
            EXPECT_EQ(it.value(), reference.files.value(it.key())) << it.key().toStdString();
        EXPECT_LT(run.files.size(), qMax<qsizetype>(reference.files.size(), 1));
    }
}

std::string CaseName(const testing::TestParamInfo<FaultTable::ParamType>& info) {
    std::string name = kCommands[std::get<1>(info.param)].name;
    for (char& c : name)
        if (c == '-')
            c = '_';
    return (std::get<0>(info.param) ? "usb_" : "serial_") + name;
}

INSTANTIATE_TEST_SUITE_P(Serial, FaultTable,
                         testing::Combine(testing::Values(false), testing::Range(0, 6)), CaseName);
// Over USB the tester is identified by its device string, not by a request.
INSTANTIATE_TEST_SUITE_P(Usb, FaultTable,
                         testing::Combine(testing::Values(true), testing::Range(1, 6)), CaseName);

} // namespace
