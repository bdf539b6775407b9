#include "ShowCommand.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtEndian>
#include <gtest/gtest.h>

namespace {

// Test files put together byte by byte from the file layout, independent of
// the program's own writer.
class CtyBytes {
public:
    CtyBytes() : bytes_(32356, '\0') {}
    CtyBytes& Byte(int offset, quint8 v) {
        bytes_[offset] = char(v);
        return *this;
    }
    CtyBytes& Int(int offset, qint32 v) {
        qToLittleEndian(v, bytes_.data() + offset);
        return *this;
    }
    CtyBytes& Text(int offset, const QByteArray& text) {
        Byte(offset, quint8(text.size()));
        std::copy(text.begin(), text.end(), bytes_.begin() + offset + 1);
        return *this;
    }
    // Sample k (1-based) of phase 0..2.
    CtyBytes& Sample(int phase, int k, qint32 v) {
        return Int(80 + phase * 10756 + (k - 1) * 4, v);
    }
    CtyBytes& Samples(int phase, int from, int to, qint32 v) {
        for (int k = from; k <= to; ++k)
            Sample(phase, k, v);
        return *this;
    }
    void Save(const QString& path) const {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes_);
    }

private:
    QByteArray bytes_;
};

// Switch type 1, mode (A.C)->B: phases A and C drawn. A steps to 300 after
// 1.0 ms; C rises 0.5 ohm above a 1.00 ohm floor from sample 150 on.
CtyBytes HandMadeTest() {
    CtyBytes t;
    t.Byte(0, 1).Byte(1, 0).Byte(2, 17).Byte(3, 2).Byte(4, 2).Byte(5, 1);
    t.Int(8, 25).Int(12, 12);
    t.Text(16, "2010-12-21 08:05:03").Text(36, "\xCD\xF5\xB9\xA4").Text(57, "Site 4");
    t.Samples(0, 11, 2688, 300);
    t.Samples(2, 1, 149, 100).Samples(2, 150, 2688, 150);
    t.Samples(1, 1, 2688, 999); // B is not drawn: its samples do not count
    t.Int(32348, 2).Int(32352, 5);
    return t;
}

QJsonObject ShowJsonOf(const QStringList& args, int* status = nullptr, QByteArray* err = nullptr) {
    QByteArray out, errors;
    const int code = RunShow(args, out, errors);
    if (status)
        *status = code;
    if (err)
        *err = errors;
    return QJsonDocument::fromJson(out).object();
}

} // namespace

TEST(ShowCommand, JsonGivesTheHandWorkedResultsOfAHandMadeFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath("t.cty");
    HandMadeTest().Save(path);
    int status = -1;
    const QJsonObject o = ShowJsonOf({"--json", path}, &status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(o["file"].toString(), path);
    const QJsonObject params = o["params"].toObject();
    EXPECT_EQ(params["iSwitchType"].toInt(), 1);
    EXPECT_EQ(params["iTestStep"].toInt(), 17);
    EXPECT_EQ(params["iSampleBurst"].toInt(), 25);
    EXPECT_EQ(params["iSamplePoint"].toInt(), 12);
    EXPECT_EQ(o["strTestTime"].toString(), u"2010-12-21 08:05:03");
    EXPECT_EQ(o["strTestUser"].toString(), u"王工");
    EXPECT_EQ(o["strTestAdd"].toString(), u"Site 4");
    EXPECT_EQ(o["iLoops"].toInt(), 2);
    EXPECT_EQ(o["iAngle"].toInt(), 5);
    EXPECT_EQ(o["markers"].toObject()["B"].toArray(), QJsonArray({0, 0, 0, 0}));
    EXPECT_EQ(o["markers"].toObject()["C"].toArray(), QJsonArray({100, 200, 300, 400}));

    // A: 10 ms stages, 3.00 ohm. C: baseline 100; stage 100..200 holds 50
    // samples of 100 and 51 of 150: 12650 / 101 = 125.2 -> 125, so R1 = 25;
    // R2 = 150 - 100 = 50. B: all zero. Spreads include B's zeros.
    const QJsonObject r = o["results"].toObject();
    const std::pair<const char*, int> values[] = {
        {"AT1", 100}, {"AT", 300},  {"AR1", 300}, {"AR2", 300}, {"BT1", 0},
        {"BR1", 0},   {"CT1", 100}, {"CR1", 25},  {"CR2", 50},  {"dT1", 100},
        {"dT0", 100}, {"dR1", 300}, {"dR2", 300}, {"Loops", 2}, {"Angle", 5},
    };
    for (const auto& [key, value] : values)
        EXPECT_EQ(r[key].toInt(-1), value) << key;
    EXPECT_EQ(r.size(), 26);

    const QJsonObject boxes = o["boxes"].toObject();
    EXPECT_EQ(boxes.size(), 26);
    const std::pair<const char*, const char*> texts[] = {
        {"EdtAT1", "10.0"}, {"EdtAR1", "3.00"}, {"EdtBT1", "0.0"}, {"EdtBR2", "0.00"},
        {"EdtCR1", "0.25"}, {"EdtCR2", "0.50"}, {"EdtDT", "10.0"}, {"EdtDR1", "3.00"},
        {"EdtLoop", "2"},   {"EdtAngle", "5"},
    };
    for (const auto& [key, text] : texts)
        EXPECT_EQ(boxes[key].toString(), QLatin1String(text)) << key;
}

TEST(ShowCommand, TextShowsThePanelsAsTheWindowDoes) {
    QTemporaryDir dir;
    const QString path = dir.filePath("t.cty");
    HandMadeTest().Save(path);
    QByteArray out, err;
    ASSERT_EQ(RunShow({path}, out, err), 0);
    const QString text = QString::fromUtf8(out);
    for (const char* line :
         {"开关类型：中性点不引出\n", "测试方式：(A.C)->B\n", "测试档位：8 -> 9\n",
          "滤波深度：中\n", "充电时间：10 S\n", "波形：电阻\n", "采样触发：2.5 Ω\n",
          "预采样：12 点  1.2 mS\n", "测试人员：王工\n", "测试地点：Site 4\n",
          "测试时间：2010-12-21 08:05:03\n", "转角：2 圈 5 度\n",
          "相 序 A    10.0    10.0    10.0    30.0    3.00    3.00\n",
          "相 序 C    10.0    10.0    10.0    30.0    0.25    0.50\n"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(line))) << line << "\n" << out.constData();
}

TEST(ShowCommand, ControlCharactersOfAFileAreShownNotObeyed) {
    QTemporaryDir dir;
    const QString path = dir.filePath("t.cty");
    // Clear the screen, a carriage return and DEL; the full-width space of
    // the place is no control character and stays.
    CtyBytes t = HandMadeTest();
    t.Text(36, "A\x1b[2J\rB\x7f").Text(57, "\xA1\xA1x");
    t.Save(path);
    QByteArray out, err;
    ASSERT_EQ(RunShow({path}, out, err), 0);
    EXPECT_TRUE(out.contains("测试人员：A\\x1B[2J\\x0DB\\x7F\n")) << out.constData();
    EXPECT_TRUE(out.contains("测试地点：\u3000x\n")) << out.constData();
    for (const char c : out)
        EXPECT_TRUE(c == '\n' || quint8(c) >= 0x20) << int(c);
}

TEST(ShowCommand, MarkerOptionMovesOnePhase) {
    QTemporaryDir dir;
    const QString path = dir.filePath("t.cty");
    HandMadeTest().Save(path);
    const QJsonObject o =
        ShowJsonOf({"--marker", "B=300,450,500,700", "--marker=a=5,5,2688,2688", "--json", path});
    EXPECT_EQ(o["markers"].toObject()["A"].toArray(), QJsonArray({5, 5, 2688, 2688}));
    EXPECT_EQ(o["markers"].toObject()["B"].toArray(), QJsonArray({300, 450, 500, 700}));
    const QJsonObject r = o["results"].toObject();
    EXPECT_EQ(r["BT1"].toInt(), 150);
    EXPECT_EQ(r["BR1"].toInt(), 0); // all 999, the same as its baseline
    EXPECT_EQ(r["AT2"].toInt(), 2683);
    EXPECT_EQ(r["AR1"].toInt(), 0);   // sample 5 is 0
    EXPECT_EQ(r["AR2"].toInt(), 300); // the last sample alone
    EXPECT_EQ(r["dT0"].toInt(), 295); // t1 of 5, 300 and 100
}

TEST(ShowCommand, BadOptionsAreRefusedWithAClearLine) {
    QTemporaryDir dir;
    const QString path = dir.filePath("t.cty");
    HandMadeTest().Save(path);
    const std::pair<QStringList, const char*> cases[] = {
        {{"--marker", "B=300,200,500,700", path}, "t1 <= t2"},
        {{"--marker", "C=0,0,0,2689", path}, "<= 2688"},
        {{"--marker", "D=1,2,3,4", path}, "one of A, B, C"},
        {{"--marker", "A=1,2,3", path}, "P=t1,t2,t3,t4"},
        {{"--marker", "A=-1,2,3,4", path}, "P=t1,t2,t3,t4"},
        {{"--marker"}, "needs a value"},
        {{"--jsn", path}, "unknown option --jsn"},
        {{"--json"}, "no test file"},
    };
    for (const auto& [args, reason] : cases) {
        QByteArray out, err;
        EXPECT_EQ(RunShow(args, out, err), 2) << reason;
        EXPECT_TRUE(out.isEmpty()) << reason;
        EXPECT_TRUE(err.startsWith("oltc-cli show: ")) << err.constData();
        EXPECT_TRUE(err.contains(reason)) << err.constData();
    }
}

TEST(ShowCommand, BadFilesAreNamedAndTheOthersStillShown) {
    QTemporaryDir dir;
    const QString good = dir.filePath("good.cty");
    const QString shortFile = dir.filePath("short.cty");
    HandMadeTest().Save(good);
    {
        QFile f(shortFile);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(32355, '\0'));
    }
    const QString missing = dir.filePath("missing.cty");
    QByteArray out, err;
    EXPECT_EQ(RunShow({"--json", missing, good, dir.path(), shortFile, good}, out, err), 2);
    const QJsonArray shown = QJsonDocument::fromJson(out).array();
    ASSERT_EQ(shown.size(), 2);
    EXPECT_EQ(shown[0].toObject()["file"].toString(), good);
    const QStringList lines = QString::fromUtf8(err).split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3) << err.constData();
    EXPECT_EQ(lines[0], "oltc-cli show: " + missing + ": no such file");
    EXPECT_EQ(lines[1], "oltc-cli show: " + dir.path() + ": not a regular file");
    EXPECT_TRUE(lines[2].startsWith("oltc-cli show: " + shortFile + ": shorter than 32356 bytes"));
}

TEST(ShowCommand, TheProgramRunsAsAProcess) {
    QTemporaryDir dir;
    const QString path = dir.filePath("t.cty");
    HandMadeTest().Save(path);
    QProcess cli;
    cli.start(QStringLiteral(OLTC_CLI_PATH), {"show", "--json", path, path});
    ASSERT_TRUE(cli.waitForFinished(10000));
    EXPECT_EQ(cli.exitCode(), 0) << cli.readAllStandardError().constData();
    const QJsonArray files = QJsonDocument::fromJson(cli.readAllStandardOutput()).array();
    ASSERT_EQ(files.size(), 2);
    EXPECT_EQ(files[1].toObject()["results"].toObject()["CR1"].toInt(), 25);

    cli.start(QStringLiteral(OLTC_CLI_PATH), {"show", dir.filePath("none.cty")});
    ASSERT_TRUE(cli.waitForFinished(10000));
    EXPECT_EQ(cli.exitCode(), 2);
    EXPECT_TRUE(cli.readAllStandardOutput().isEmpty());
    EXPECT_TRUE(cli.readAllStandardError().contains("none.cty: no such file"));

    cli.start(QStringLiteral(OLTC_CLI_PATH), {"--help"});
    ASSERT_TRUE(cli.waitForFinished(10000));
    EXPECT_EQ(cli.exitCode(), 0);
    EXPECT_TRUE(cli.readAllStandardOutput().contains("show"));
}

// Every command answers --help with its own usage and success, and a bad
// option with its name, the reason and its usage, exit 2; nothing reaches a
// tester or a file on the way.
TEST(CommandLine, EachCommandsHelpAndBadOption) {
    struct Case {
        const char* command;
        const char* usage;
        bool readsOptionsFirst; // summary and archive answer a bad option themselves
    };
    const Case cases[] = {
        {"show", "usage: oltc-cli show ", true},
        {"identify", "usage: oltc-cli identify ", true},
        {"history", "usage: oltc-cli history ", true},
        {"fetch", "usage: oltc-cli fetch ", true},
        {"live", "usage: oltc-cli live ", true},
        {"report", "usage: oltc-cli report ", true},
        {"export", "usage: oltc-cli export ", true},
        {"summary", "usage: oltc-cli summary ", false},
        {"archive", "usage: oltc-cli archive ", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        QProcess cli;
        cli.start(QStringLiteral(OLTC_CLI_PATH), {c.command, "--help"});
        ASSERT_TRUE(cli.waitForFinished(10000));
        EXPECT_EQ(cli.exitCode(), 0);
        EXPECT_TRUE(cli.readAllStandardOutput().startsWith(c.usage));
        EXPECT_TRUE(cli.readAllStandardError().isEmpty());
        if (!c.readsOptionsFirst)
            continue;
        cli.start(QStringLiteral(OLTC_CLI_PATH), {c.command, "--bad"});
        ASSERT_TRUE(cli.waitForFinished(10000));
        EXPECT_EQ(cli.exitCode(), 2);
        EXPECT_TRUE(cli.readAllStandardOutput().isEmpty());
        const QByteArray err = cli.readAllStandardError();
        EXPECT_TRUE(err.startsWith(QByteArray("oltc-cli ") + c.command +
                                   ": unknown option --bad\n" + c.usage))
            << err.constData();
    }
    QProcess cli;
    cli.start(QStringLiteral(OLTC_CLI_PATH), {"bogus"});
    ASSERT_TRUE(cli.waitForFinished(10000));
    EXPECT_EQ(cli.exitCode(), 2);
    EXPECT_TRUE(cli.readAllStandardError().startsWith(
        "oltc-cli: unknown command bogus\nusage: oltc-cli COMMAND [OPTIONS]\n"));
}

// --auto-markers: found phases get the waveform's edges, the others keep the
// default placement, --marker still wins, and "found" says which were found.
TEST(ShowCommand, AutoMarkersPlaceWhatTheWaveformsShow) {
    QTemporaryDir dir;
    const QString path = dir.filePath("t.cty");
    CtyBytes t = HandMadeTest(); // (A.C)->B: A and C drawn
    t.Samples(0, 1, 499, 300).Samples(0, 500, 599, 800).Samples(0, 600, 639, 550);
    t.Samples(0, 640, 719, 820).Samples(0, 720, 2688, 310);
    t.Save(path);

    const QJsonObject found = ShowJsonOf({"--auto-markers", "--json", path});
    EXPECT_EQ(found["found"].toObject(), (QJsonObject{{"A", true}, {"B", false}, {"C", false}}));
    const QJsonObject quality = found["quality"].toObject();
    EXPECT_GE(quality["A"].toDouble(), 1) << "clean steps clear every bar";
    EXPECT_TRUE(quality["B"].isNull() && quality["C"].isNull());
    EXPECT_EQ(found["markers"].toObject()["A"].toArray(), (QJsonArray{500, 600, 640, 720}));
    EXPECT_EQ(found["markers"].toObject()["C"].toArray(), (QJsonArray{100, 200, 300, 400}));
    EXPECT_EQ(found["results"].toObject()["AT"].toInt(), 220);

    const QJsonObject overridden =
        ShowJsonOf({"--auto-markers", "--marker", "A=1,2,3,4", "--json", path});
    EXPECT_EQ(overridden["markers"].toObject()["A"].toArray(), (QJsonArray{1, 2, 3, 4}));
    EXPECT_FALSE(ShowJsonOf({"--json", path}).contains("found")) << "only when asked";

    QByteArray out, err;
    EXPECT_EQ(RunShow({"--auto-markers", path}, out, err), 0);
    EXPECT_TRUE(QString::fromUtf8(out).contains(QStringLiteral("自动定位：A 已自动定位，C 无跳变")))
        << out.constData();
}
