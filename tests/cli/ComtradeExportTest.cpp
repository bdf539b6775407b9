// oltc-cli export to COMTRADE, read back by a reader written apart from the
// writer (Python, standard library only), and to JSON.
#include "TestFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>

namespace {

struct CliResult {
    int code = -1;
    QByteArray out, err;
};

CliResult Cli(const QStringList& args) {
    QProcess cli;
    cli.start(QStringLiteral(OLTC_CLI_PATH), args);
    if (!cli.waitForFinished(60000))
        return {-1, {}, "did not end"};
    return {cli.exitCode(), cli.readAllStandardOutput(), cli.readAllStandardError()};
}

QJsonObject ReadBack(const QString& cfg) {
    QProcess python;
    python.start(QStringLiteral("/usr/bin/python3"), {QStringLiteral(OLTC_COMTRADE_READER), cfg});
    if (!python.waitForFinished(60000))
        return {};
    const QByteArray err = python.readAllStandardError();
    EXPECT_EQ(python.exitCode(), 0) << err.constData();
    return QJsonDocument::fromJson(python.readAllStandardOutput()).object();
}

QByteArray Contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void Put(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

TestRecord BaseRecord() {
    TestRecord record;
    record.strTestTime.Set("2010-12-21 08:05:03");
    record.strTestAdd.SetText(QStringLiteral("变电站,1号"));
    record.strTestUser.SetText(QStringLiteral("王"));
    return record;
}

// A: every step from 0 to 655.34 ohm; B: 655.35 ohm with a dip to 0.01;
// C: nothing (zeros).
TestRecord WideRecord() {
    TestRecord record = BaseRecord();
    for (int k = 1; k <= kSampleCount; ++k) {
        record.WaveA[k - 1] = int(qint64(k - 1) * 65534 / (kSampleCount - 1));
        record.WaveB[k - 1] = k >= 1000 && k < 1100 ? 1 : 65535;
    }
    return record;
}

// Every phase from 0.01 to 655.35 ohm.
TestRecord HighRecord() {
    TestRecord record = WideRecord();
    for (int p = kPhaseA; p <= kPhaseC; ++p) {
        record.WaveOf(p).fill(65535);
        record.WaveOf(p)[7 * p] = 1;
    }
    return record;
}

// One phase holding both 0 and 655.35 ohm: 65536 values, one more than
// 16-bit binary holds beside its missing-value mark.
TestRecord FullSpanRecord() {
    TestRecord record = WideRecord();
    record.WaveA[5] = 65535;
    return record;
}

// A step of 9 ohm from 10 to 40 ms on every phase, as a tester shows it.
TestRecord StepRecord() {
    TestRecord record = BaseRecord();
    for (int k = 1; k <= kSampleCount; ++k)
        for (int p = kPhaseA; p <= kPhaseC; ++p)
            record.WaveOf(p)[k - 1] = k < 100 || k >= 400 ? 50 + p : 900 + p;
    return record;
}

QString WriteTest(const QString& path, const TestRecord& record) {
    Put(path, EncodeTestFile(record));
    return path;
}

} // namespace

TEST(CliComtrade, EverySampleReadBackInOhm) {
    QTemporaryDir dir;
    struct Case {
        const char* name;
        std::function<TestRecord()> record;
        QStringList options;
        int code;
        const char* type;   // the data file type, when written
        const char* device; // the recording device
    };
    const Case cases[] = {
        {"binary, 0 to 655.34", WideRecord, {}, 0, "BINARY", ""},
        {"binary, 0.01 to 655.35", HighRecord, {"--brand", "1"}, 0, "BINARY", "Aulex"},
        {"ascii", WideRecord, {"--comtrade-ascii", "--brand", "2"}, 0, "ASCII", "Borvin"},
        {"binary cannot hold 0 and 655.35 in one phase", FullSpanRecord, {}, 1, nullptr, ""},
        {"ascii holds them", FullSpanRecord, {"--comtrade-ascii"}, 0, "ASCII", ""},
        {"a step", StepRecord, {}, 0, "BINARY", ""},
    };
    int round = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const TestRecord record = c.record();
        const QString test = WriteTest(dir.filePath(QStringLiteral("t%1.cty").arg(round)), record);
        const QString cfg = dir.filePath(QStringLiteral("r%1.cfg").arg(round++));
        const CliResult run = Cli(QStringList{"export", test, "-o", cfg} + c.options);
        EXPECT_EQ(run.code, c.code) << run.err.constData();
        const QString stem = cfg.chopped(3);
        if (!c.type) {
            EXPECT_TRUE(run.err.contains("phase A spans more values than 16-bit binary holds"))
                << run.err.constData();
            for (const char* ext : {"cfg", "dat", "hdr"})
                EXPECT_FALSE(QFileInfo::exists(stem + QLatin1String(ext))) << ext;
            continue;
        }
        EXPECT_EQ(run.out.trimmed(), cfg.toUtf8());
        const QJsonObject read = ReadBack(cfg);
        EXPECT_EQ(read["station"].toString(), QStringLiteral("变电站1号"));
        EXPECT_EQ(read["device"].toString(), QLatin1String(c.device));
        EXPECT_EQ(read["rev_year"].toString(), u"2013");
        EXPECT_EQ(read["analog"].toInt(), 3);
        EXPECT_EQ(read["digital"].toInt(), 0);
        EXPECT_EQ(read["frequency"].toString(), u"50");
        EXPECT_EQ(read["rates"].toArray(), (QJsonArray{QJsonArray{"10000", kSampleCount}}));
        EXPECT_EQ(read["start"].toString(), u"21/12/2010,08:05:03.000000");
        EXPECT_EQ(read["trigger"].toString(), u"21/12/2010,08:05:03.000000");
        EXPECT_EQ(read["type"].toString(), QLatin1String(c.type));
        EXPECT_EQ(read["timemult"].toString(), u"1.0");
        EXPECT_TRUE(read["extra_lines"].toArray().isEmpty()) << "only what 1999 knows";
        EXPECT_EQ(read["samples"].toInt(), kSampleCount);
        EXPECT_TRUE(read["numbers_ok"].toBool());
        EXPECT_TRUE(read["times_ok"].toBool()) << "0.1 ms apart";
        const QJsonArray channels = read["channels"].toArray();
        ASSERT_EQ(channels.size(), 3);
        for (int p = 0; p < 3; ++p) {
            SCOPED_TRACE(p);
            const QJsonObject channel = channels[p].toObject();
            EXPECT_EQ(channel["phase"].toString(), QString(QChar(u'A' + p)));
            EXPECT_EQ(channel["unit"].toString(), u"Ohm");
            EXPECT_TRUE(channel["within_min_max"].toBool());
            const QJsonArray values = channel["values"].toArray();
            ASSERT_EQ(values.size(), kSampleCount);
            int wrong = 0;
            for (int k = 1; k <= kSampleCount; ++k)
                if (values[k - 1] != QJsonValue(record.SampleAt(p + 1, k)) && wrong++ < 3)
                    ADD_FAILURE() << "sample " << k << ": "
                                  << QJsonDocument(QJsonArray{values[k - 1]}).toJson().constData()
                                  << " for " << record.SampleAt(p + 1, k);
        }
        const QByteArray cfgText = Contents(cfg);
        EXPECT_TRUE(cfgText.endsWith("\r\n1.0\r\n"));
    }
}

TEST(CliComtrade, TheHeaderHoldsPanelMarkersAndResults) {
    QTemporaryDir dir;
    const QString test = WriteTest(dir.filePath("t.cty"), StepRecord());
    const QString cfg = dir.filePath("R.CFG");
    const CliResult run = Cli({"export", "--marker", "B=100,150,350,400", test, "-o", cfg});
    ASSERT_EQ(run.code, 0) << run.err.constData();
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              (QStringList{"R.CFG", "R.DAT", "R.HDR", "t.cty"}))
        << "the set takes the case of the name given";
    const QString hdr = QString::fromUtf8(Contents(dir.filePath("R.HDR")));
    for (const char* line : {"测试地点：变电站,1号", "测试人员：王",
                             "测试时间：2010-12-21 08:05:03", "相序A  100  200  300  400",
                             "相序B  100  150  350  400", "滤波深度：中", "采样触发：0.1 Ω"})
        EXPECT_TRUE(hdr.contains(QString::fromUtf8(line) + QStringLiteral("\r\n")))
            << line << "\n"
            << hdr.toStdString();
    // B's markers: 5 ms from 100 to 150, its T in the results.
    EXPECT_TRUE(
        hdr.contains(QStringLiteral("相序B  T1: 5.0 mS  T2: 20.0 mS  T3: 5.0 mS  T : 30.0 mS")))
        << hdr.toStdString();
    // With the markers found instead: those show --auto-markers finds.
    const CliResult found = Cli({"export", "--auto-markers", test, "-o", cfg});
    ASSERT_EQ(found.code, 0) << found.err.constData();
    const QJsonObject shown =
        QJsonDocument::fromJson(Cli({"show", "--json", "--auto-markers", test}).out).object();
    QString line = QStringLiteral("相序C");
    for (const QJsonValue t : shown["markers"].toObject()["C"].toArray())
        line += QStringLiteral("  %1").arg(t.toInt());
    EXPECT_TRUE(
        QString::fromUtf8(Contents(dir.filePath("R.HDR"))).contains(line + QStringLiteral("\r\n")))
        << line.toStdString() << "\n"
        << Contents(dir.filePath("R.HDR")).constData();
}

TEST(CliComtrade, ASetIsWrittenWholeOrNotAtAll) {
    QTemporaryDir dir;
    const QString test = WriteTest(dir.filePath("t.cty"), StepRecord());
    const QString asData = WriteTest(dir.filePath("d.dat"), StepRecord());
    const auto path = [&](const char* name) { return dir.filePath(QString::fromUtf8(name)); };
    Put(path("old.cfg"), "old cfg");
    Put(path("old.dat"), "old dat");
    QDir().mkdir(path("old.hdr"));
    struct Case {
        const char* name;
        QStringList args;
        int code;
        const char* says;
    };
    const Case cases[] = {
        {"a header name that is a folder", {test, "-o", path("old.cfg")}, 1, "not a regular file"},
        {"the data name is the test",
         {"--force", asData, "-o", path("d.cfg")},
         2,
         "is the test file"},
        {"--comtrade-ascii without COMTRADE",
         {test, "-o", path("x.csv"), "--comtrade-ascii"},
         2,
         "--comtrade-ascii goes with"},
        {"a test time that is no date", {}, 1, "is not a date"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QStringList args = c.args;
        if (args.isEmpty()) {
            TestRecord record = StepRecord();
            record.strTestTime.Set("yesterday");
            args = {WriteTest(path("n.cty"), record), "-o", path("n.cfg")};
        }
        const CliResult run = Cli(QStringList{"export"} + args);
        EXPECT_EQ(run.code, c.code) << run.err.constData();
        EXPECT_TRUE(run.err.contains(c.says)) << run.err.constData();
    }
    EXPECT_EQ(Contents(path("old.cfg")), "old cfg");
    EXPECT_EQ(Contents(path("old.dat")), "old dat");
    EXPECT_EQ(Contents(asData), EncodeTestFile(StepRecord()));
    for (const char* gone : {"d.cfg", "d.hdr", "n.cfg", "n.dat", "n.hdr", "x.csv"})
        EXPECT_FALSE(QFileInfo::exists(path(gone))) << gone;
    EXPECT_TRUE(QDir(dir.path())
                    .entryList(QStringList{".*.part", ".*.old"}, QDir::Hidden | QDir::Files)
                    .isEmpty());

    // An earlier set is replaced as a whole.
    QDir(path("old.hdr")).removeRecursively();
    Put(path("old.hdr"), "old hdr");
    ASSERT_EQ(Cli({"export", test, "-o", path("old.cfg")}).code, 0);
    EXPECT_TRUE(Contents(path("old.cfg")).startsWith("变电站1号,,2013\r\n"));
    EXPECT_EQ(Contents(path("old.dat")).size(), kSampleCount * 14);
    EXPECT_TRUE(Contents(path("old.hdr")).startsWith("有载分接开关测试仪报告"));
}

TEST(CliComtrade, IntoAFolderEachSetTakesOneFreeNumber) {
    QTemporaryDir dir;
    const QString test = WriteTest(dir.filePath("a.cty"), StepRecord());
    const QString out = dir.filePath("out");
    QDir().mkdir(out);
    Put(QDir(out).filePath("a (2).hdr"), "someone else's"); // 2 is not free for a whole set
    QStringList printed;
    for (int i = 0; i < 3; ++i) {
        const CliResult run = Cli({"export", "--format", "cfg", "-d", out, test});
        ASSERT_EQ(run.code, 0) << run.err.constData();
        printed << QString::fromUtf8(run.out.trimmed());
    }
    EXPECT_EQ(printed, (QStringList{QDir(out).filePath("a.cfg"), QDir(out).filePath("a (3).cfg"),
                                    QDir(out).filePath("a (4).cfg")}));
    EXPECT_EQ(QDir(out).entryList(QDir::Files | QDir::Hidden).size(), 10);
    EXPECT_EQ(Contents(QDir(out).filePath("a (2).hdr")), "someone else's");
}

TEST(CliJsonExport, ExactlyWhatShowPrints) {
    QTemporaryDir dir;
    const QString test = WriteTest(dir.filePath("t.cty"), StepRecord());
    const QStringList variants[] = {
        {},
        {"--auto-markers"},
        {"--marker", "A=110,120,300,390"},
        {"--auto-markers", "--marker", "C=1,2,3,4"},
    };
    int i = 0;
    for (const QStringList& options : variants) {
        SCOPED_TRACE(options.join(u' ').toStdString());
        const QString json = dir.filePath(QStringLiteral("s%1.json").arg(i++));
        const CliResult shown = Cli(QStringList{"show", "--json"} + options + QStringList{test});
        ASSERT_EQ(shown.code, 0);
        const CliResult run = Cli(QStringList{"export"} + options + QStringList{test, "-o", json});
        ASSERT_EQ(run.code, 0) << run.err.constData();
        EXPECT_EQ(Contents(json), shown.out);
        EXPECT_FALSE(QJsonDocument::fromJson(Contents(json)).isNull());
    }
    const QString out = dir.filePath("j");
    const CliResult run = Cli({"export", "--format", "json", "-d", out, test});
    ASSERT_EQ(run.code, 0) << run.err.constData();
    EXPECT_EQ(Contents(QDir(out).filePath("t.json")), Cli({"show", "--json", test}).out);
}
