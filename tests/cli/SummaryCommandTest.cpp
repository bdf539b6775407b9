// oltc-cli summary on a campaign of taps written as test files: the faulty
// taps flagged by rule and phase, read back by Python's json and csv.
#include "TestFile.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <random>

namespace {

struct Outcome {
    int code = -1;
    QByteArray out, err;
};

Outcome RunProgram(const QString& program, const QStringList& args,
                   const QStringList& environment = {}) {
    QProcess process;
    if (!environment.isEmpty()) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"})
            env.remove(QString::fromLatin1(name));
        for (const QString& setting : environment)
            env.insert(setting.section(u'=', 0, 0), setting.section(u'=', 1));
        process.setProcessEnvironment(env);
    }
    process.start(program, args);
    Outcome run;
    if (!process.waitForFinished(60000))
        return run;
    run.code = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    return run;
}

Outcome Summary(const QStringList& args) {
    return RunProgram(QStringLiteral(OLTC_CLI_PATH), QStringList{QStringLiteral("summary")} + args);
}

// A tap of a sound tap changer, with the noise of a real capture; `fault`
// changes one phase's stage lengths (samples) or levels (0.01 ohm).
struct Stages {
    std::array<int, 3> length = {100, 40, 100};
    std::array<int, 3> level = {2500, 1300, 2450};
    int interruptAt = 0;
};

void WriteTap(const QString& path, int step, unsigned seed,
              const std::function<void(int, Stages&)>& fault = {}) {
    std::mt19937 rng(seed);
    std::normal_distribution<double> noise(0, 6);
    std::uniform_int_distribution<int> wander(-2, 2);
    auto record = std::make_unique<TestRecord>();
    record->params.iTestStep = quint8(step);
    record->strTestTime.SetText(
        QStringLiteral("2026-06-01 10:%1:00").arg(step, 2, 10, QChar(u'0')));
    record->strTestAdd.SetText(QStringLiteral("北郊站"));
    for (int p = 0; p < 3; ++p) {
        Stages s;
        for (int& l : s.length)
            l += wander(rng);
        if (fault)
            fault(p, s);
        const int t1 = 500 + p * 2;
        const int edges[] = {t1, t1 + s.length[0], t1 + s.length[0] + s.length[1],
                             t1 + s.length[0] + s.length[1] + s.length[2]};
        const int levels[] = {500, s.level[0], s.level[1], s.level[2], 510};
        Wave& wave = record->WaveOf(p + 1);
        for (int i = 1; i <= kSampleCount; ++i) {
            int k = 0;
            while (k < 4 && i >= edges[k])
                ++k;
            wave[i - 1] = int(std::nearbyint(levels[k] + noise(rng)));
        }
        if (s.interruptAt > 0)
            wave[s.interruptAt - 1] = 65535;
    }
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(EncodeTestFile(*record));
}

QString Python(const QString& script, const QString& path) {
    const Outcome run =
        RunProgram(QStringLiteral("/usr/bin/python3"), {QStringLiteral("-c"), script, path});
    EXPECT_EQ(run.code, 0) << run.err.toStdString();
    return QString::fromUtf8(run.out).trimmed();
}

class SummaryCommand : public ::testing::Test {
protected:
    void SetUp() override {
        // Ten taps up and ten down; a slow phase B at 4 -> 5, a worn
        // resistor in phase C at 6 <- 7, an interruption in phase A at 2 -> 3.
        QDir().mkpath(folder_.filePath("campaign"));
        for (int k = 0; k < 20; ++k) {
            const int step = k;
            std::function<void(int, Stages&)> fault;
            if (step == 9)
                fault = [](int p, Stages& s) {
                    if (p == 1)
                        s.length[1] = 80;
                };
            if (step == 12)
                fault = [](int p, Stages& s) {
                    if (p == 2)
                        s.level[2] = 3100;
                };
            if (step == 5)
                fault = [](int p, Stages& s) {
                    if (p == 0)
                        s.interruptAt = 560;
                };
            WriteTap(folder_.filePath(QStringLiteral("campaign/t%1.cty").arg(step)), step,
                     unsigned(100 + k), fault);
        }
    }
    QTemporaryDir folder_;
};

TEST_F(SummaryCommand, TheFaultyTapsAreFlaggedAndNothingElse) {
    const QString out = folder_.filePath("s.json");
    const Outcome run = Summary({folder_.filePath("campaign"), QStringLiteral("-o"), out});
    ASSERT_EQ(run.code, 0) << run.err.toStdString();
    const QString flagged = Python(QStringLiteral(R"(
import json, sys
d = json.load(open(sys.argv[1], encoding="utf-8"))
rows = []
for t in d["tests"]:
    rules = sorted({f["rule"] + " " + str(f["phase"]) for f in t["findings"]})
    if t["verdict"] != "pass":
        rows.append(t["step_text"] + ": " + t["verdict"] + " " + ", ".join(rules))
print(d["overall"], len(d["tests"]), d["place"], d["tests"][0]["direction"])
print("\n".join(rows))
)"),
                                   out);
    EXPECT_EQ(flagged, QStringLiteral("fail 20 北郊站 up\n"
                                      "2 -> 3: fail interruption A, resistance A\n"
                                      "4 -> 5: fail time B\n"
                                      "6 <- 7: fail resistance C"))
        << flagged.toStdString();
}

TEST_F(SummaryCommand, CsvHasARowPerTestWithNumbersAsNumbers) {
    const QString out = folder_.filePath("s.csv");
    ASSERT_EQ(Summary({folder_.filePath("campaign"), QStringLiteral("-o"), out}).code, 0);
    const QString read = Python(QStringLiteral(R"(
import csv, sys
rows = list(csv.DictReader(open(sys.argv[1], encoding="utf-8", newline="")))
print(len(rows), rows[0]["direction"], float(rows[0]["A_T"]) > 20, rows[-1]["verdict"])
print([r["verdict"] for r in rows].count("fail"))
)"),
                                out);
    EXPECT_EQ(read, QStringLiteral("20 up True pass\n3"));
}

TEST_F(SummaryCommand, ABaselineAndAProfile) {
    // The baseline of 4 -> 5 is a sound tap: the slow phase differs from it.
    QDir().mkpath(folder_.filePath("base"));
    WriteTap(folder_.filePath("base/b9.cty"), 9, 7);
    QFile profile(folder_.filePath("maker.ini"));
    ASSERT_TRUE(profile.open(QIODevice::WriteOnly));
    profile.write("[Maker]\r\nTMax=26\r\n");
    profile.close();
    const QString out = folder_.filePath("b.json");
    const Outcome run = Summary({QStringLiteral("--baseline"), folder_.filePath("base"),
                                 QStringLiteral("--profile"), profile.fileName(),
                                 folder_.filePath("campaign/t9.cty"), QStringLiteral("-o"), out});
    ASSERT_EQ(run.code, 0) << run.err.toStdString();
    QFile json(out);
    ASSERT_TRUE(json.open(QIODevice::ReadOnly));
    const QJsonObject test = QJsonDocument::fromJson(json.readAll())[u"tests"][0].toObject();
    QStringList rules;
    for (const QJsonValue f : test[u"findings"].toArray())
        rules << f[u"rule"].toString() + u' ' + f[u"phase"].toString() + u' ' +
                     f[u"quantity"].toString();
    EXPECT_EQ(rules, (QStringList{"time B T", "baseline B T2"}));
}

TEST_F(SummaryCommand, TheArchiveGivesTheBaselinesItMarks) {
    QDir().mkpath(folder_.filePath("base"));
    WriteTap(folder_.filePath("base/b9.cty"), 9, 7);
    const QString archive = folder_.filePath("a.sqlite");
    const auto cli = [&](QStringList args) {
        return RunProgram(QStringLiteral(OLTC_CLI_PATH),
                          QStringList{QStringLiteral("archive")} + args +
                              QStringList{QStringLiteral("--archive"), archive});
    };
    ASSERT_EQ(cli({QStringLiteral("import"), folder_.filePath("base/b9.cty")}).code, 0);
    const QString base =
        QJsonDocument::fromJson(cli({QStringLiteral("list"), QStringLiteral("--json")}).out)[u"id"]
            .toString();
    ASSERT_EQ(base.size(), 64);
    ASSERT_EQ(
        cli({QStringLiteral("annotate"), base, QStringLiteral("--baseline"), QStringLiteral("yes")})
            .code,
        0);
    ASSERT_EQ(cli({QStringLiteral("import"), folder_.filePath("campaign/t9.cty")}).code, 0);

    const QString out = folder_.filePath("a.json");
    const Outcome run = Summary({QStringLiteral("--archive"), archive, QStringLiteral("-o"), out});
    ASSERT_EQ(run.code, 0) << run.err.toStdString();
    QFile json(out);
    ASSERT_TRUE(json.open(QIODevice::ReadOnly));
    QStringList seen;
    for (const QJsonValue t : QJsonDocument::fromJson(json.readAll())[u"tests"].toArray()) {
        QStringList rules;
        for (const QJsonValue f : t[u"findings"].toArray())
            if (f[u"rule"].toString() == u"baseline")
                rules << f[u"phase"].toString() + u' ' + f[u"quantity"].toString();
        seen << (t[u"id"].toString() == base ? QStringLiteral("baseline: ")
                                             : QStringLiteral("test: ")) +
                    rules.join(u',');
    }
    seen.sort();
    EXPECT_EQ(seen, (QStringList{"baseline: ", "test: B T2"})) << "a baseline is not its own";
}

TEST_F(SummaryCommand, RefusesWhatItCannotDo) {
    struct Case {
        QStringList args;
        int code;
        const char* said;
    };
    const QString campaign = folder_.filePath("campaign");
    const Case cases[] = {
        {{campaign}, 2, "-o OUT.json, OUT.csv, OUT.pdf or OUT.xlsx is needed"},
        {{campaign, "-o", folder_.filePath("s.xls")}, 2, "json"},
        {{campaign, "-o", folder_.filePath("campaign/t1.cty")}, 2, ""},
        {{"--place", "x", campaign, "-o", folder_.filePath("s.json")}, 2, "--archive"},
        {{"--profile", folder_.filePath("none.ini"), campaign, "-o", folder_.filePath("s.json")},
         2,
         "none.ini"},
        {{folder_.filePath("nothing-here"), "-o", folder_.filePath("s.json")}, 2, "no such file"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.join(u' ').toStdString());
        const Outcome run = Summary(c.args);
        EXPECT_EQ(run.code, c.code);
        EXPECT_TRUE(run.err.contains(c.said)) << run.err.toStdString();
    }
    EXPECT_TRUE(QFile::exists(folder_.filePath("campaign/t1.cty")));
}

} // namespace

namespace {

TEST_F(SummaryCommand, PagesReadByPoppler) {
    const QString out = folder_.filePath("s.pdf");
    const Outcome run = Summary({folder_.filePath("campaign"), QStringLiteral("-o"), out});
    ASSERT_EQ(run.code, 0) << run.err.toStdString();
    const Outcome text =
        RunProgram(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), out, "-"});
    ASSERT_EQ(text.code, 0) << text.err.toStdString();
    const QString pages = QString::fromUtf8(text.out);
    for (const char* said :
         {"有载分接开关过渡过程测试汇总", "测试地点：北郊站",
          "结论：不合格（共 20 次测试，不合格 3 次，无法判断 0 次）", "分接方向 ->", "分接方向 <-",
          "B相：T2 = 8.0 ms", "A相：56.0 ms 处电流中断", "C相：R2 = 25.", "判断依据"})
        EXPECT_TRUE(pages.contains(QString::fromUtf8(said))) << said;
    const Outcome fonts = RunProgram(QStringLiteral("pdffonts"), {out});
    // name, type, encoding, emb, sub, uni, object: every font embedded.
    const QList<QByteArray> lines = fonts.out.split('\n');
    ASSERT_GT(lines.size(), 2);
    for (const QByteArray& line : lines.mid(2)) {
        const QList<QByteArray> f = line.simplified().split(' ');
        if (f.size() >= 5) {
            EXPECT_EQ(f[f.size() - 5], "yes") << line.constData();
        }
    }
}

} // namespace

namespace {

TEST_F(SummaryCommand, ShowJudgesOneTest) {
    const auto show = [&](const QStringList& args) {
        return RunProgram(QStringLiteral(OLTC_CLI_PATH),
                          QStringList{QStringLiteral("show")} + args);
    };
    const Outcome interrupted = show(
        {QStringLiteral("--judge"), QStringLiteral("--json"), folder_.filePath("campaign/t5.cty")});
    ASSERT_EQ(interrupted.code, 0) << interrupted.err.toStdString();
    const QJsonObject test = QJsonDocument::fromJson(interrupted.out).object();
    EXPECT_EQ(test[u"verdict"].toString(), u"fail");
    const QJsonArray findings = test[u"findings"].toArray();
    ASSERT_FALSE(findings.isEmpty());
    EXPECT_EQ(findings[0][u"rule"].toString(), u"interruption");
    EXPECT_EQ(findings[0][u"phase"].toString(), u"A");

    const Outcome sound = show({QStringLiteral("--judge"), folder_.filePath("campaign/t6.cty")});
    EXPECT_TRUE(sound.out.endsWith("结论：合格\n")) << sound.out.constData();
    // The slow phase against a sound baseline of its tap.
    const Outcome slow =
        show({QStringLiteral("--judge"), QStringLiteral("--baseline"),
              folder_.filePath("campaign/t7.cty"), folder_.filePath("campaign/t9.cty")});
    EXPECT_TRUE(slow.out.contains("结论：合格")) << "another tap is no baseline";
    QDir().mkpath(folder_.filePath("base"));
    WriteTap(folder_.filePath("base/b9.cty"), 9, 7);
    const Outcome based =
        show({QStringLiteral("--judge"), QStringLiteral("--baseline"),
              folder_.filePath("base/b9.cty"), folder_.filePath("campaign/t9.cty")});
    EXPECT_TRUE(based.out.contains("结论：不合格\n  B相：T2 = 8.0 ms，基准为 4.0 ms"))
        << based.out.constData();
    EXPECT_EQ(show({QStringLiteral("--profile"), QStringLiteral("p.ini"),
                    folder_.filePath("campaign/t9.cty")})
                  .code,
              2);
}

} // namespace

namespace {

TEST_F(SummaryCommand, AWorkbookWithNumbersAndCharts) {
    const QString out = folder_.filePath("s.xlsx");
    const Outcome run = Summary({folder_.filePath("campaign"), QStringLiteral("-o"), out});
    ASSERT_EQ(run.code, 0) << run.err.toStdString();
    const QString read = Python(QStringLiteral(R"(
import openpyxl, sys
wb = openpyxl.load_workbook(sys.argv[1])
for ws in wb.worksheets:
    marked = [c.coordinate for row in ws.iter_rows(min_row=5) for c in row
              if c.font.b and c.data_type == "n"]
    print(ws.title, ws.max_row - 4, len(ws._charts), ws["A5"].value, ws["B5"].data_type,
          ",".join(marked))
)"),
                                out);
    // Slow B T2 at 4 -> 5 (column I), the interrupted A's R1 at 2 -> 3 (F),
    // the worn C R2 at 6 <- 7 (S).
    EXPECT_EQ(read, QStringLiteral("方向 -> 10 2 0 -> 1 n F7,I9\n方向 <- 10 2 0 <- 1 n S11"));
}

} // namespace

// The command line speaks English when the locale or --lang says so, and
// Chinese, as ever, otherwise; what it writes for people follows.
TEST_F(SummaryCommand, EnglishWhenTheLocaleOrTheOptionSays) {
    const QString tap = folder_.filePath("campaign/t9.cty");
    const auto show = [&](const QStringList& pre, const QString& lang) {
        return RunProgram(QStringLiteral(OLTC_CLI_PATH),
                          pre + QStringList{QStringLiteral("show"), QStringLiteral("--judge"),
                                            QStringLiteral("--auto-markers"), tap},
                          {QStringLiteral("LANG=") + lang});
    };
    // Apart from the test's own place.
    const auto han = [](const QByteArray& bytes) {
        const QString text = QString::fromUtf8(bytes).remove(QStringLiteral("北郊站"));
        for (const QChar c : text)
            if (c.unicode() >= 0x4E00 && c.unicode() <= 0x9FFF)
                return true;
        return false;
    };
    struct Case {
        QStringList pre;
        const char* lang;
        bool english;
    } cases[] = {
        {{}, "en_US.UTF-8", true},
        {{}, "C.UTF-8", false},
        {{}, "zh_CN.UTF-8", false},
        {{"--lang", "en"}, "C", true},
        {{"--lang", "zh"}, "en_GB.UTF-8", false},
    };
    QByteArray chinese;
    for (const Case& c : cases) {
        const Outcome run = show(c.pre, QString::fromLatin1(c.lang));
        ASSERT_EQ(run.code, 0) << run.err.toStdString();
        EXPECT_EQ(han(run.out), !c.english) << c.lang << "\n" << run.out.toStdString();
        EXPECT_EQ(run.out.contains("Verdict: "), c.english) << run.out.toStdString();
        if (!c.english) {
            EXPECT_TRUE(chinese.isEmpty() || run.out == chinese) << "Chinese is one and the same";
            chinese = run.out;
        }
    }
    EXPECT_TRUE(chinese.contains("结论："));
    EXPECT_EQ(show({QStringLiteral("--lang"), QStringLiteral("fr")}, QStringLiteral("C")).code, 2);

    const QString out = folder_.filePath("e.csv");
    ASSERT_EQ(RunProgram(QStringLiteral(OLTC_CLI_PATH),
                         {QStringLiteral("summary"), folder_.filePath("campaign"),
                          QStringLiteral("-o"), out},
                         {QStringLiteral("LANG=en_US.UTF-8")})
                  .code,
              0);
    QFile csv(out);
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    const QByteArray text = csv.readAll();
    EXPECT_FALSE(han(text)) << text.toStdString();
    EXPECT_TRUE(text.contains("Phase B: T2 = "));
}
