// oltc-cli archive as a user runs it: imports, lists, gets, revisions and
// syncs, on SQLite files and on a PostgreSQL server of the test's own;
// kills, two writers and damaged files.
#include "PgServer.h"
#include "SampleTests.h"
#include "TestFile.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <csignal>
#include <gtest/gtest.h>

namespace {

struct Outcome {
    int code = -1;
    QByteArray out, err;
};

Outcome Cli(const QStringList& args) {
    QProcess cli;
    cli.start(QStringLiteral(OLTC_CLI_PATH), QStringList{QStringLiteral("archive")} + args);
    Outcome run;
    if (!cli.waitForFinished(120000))
        return run;
    run.code = cli.exitStatus() == QProcess::NormalExit ? cli.exitCode() : -1;
    run.out = cli.readAllStandardOutput();
    run.err = cli.readAllStandardError();
    return run;
}

void WriteFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class ArchiveCommand : public ::testing::Test {
protected:
    QString At(const QString& name) const { return folder_.filePath(name); }
    QStringList With(QStringList args) const {
        return args << QStringLiteral("--archive") << At(QStringLiteral("a.sqlite"));
    }
    QTemporaryDir folder_;
};

TEST_F(ArchiveCommand, ImportCountsWhatItAddedWhatWasThereAndWhatItRefused) {
    for (unsigned k = 0; k < 4; ++k)
        WriteFile(At(QStringLiteral("in/%1/t%2.CTY").arg(k % 2).arg(k)), SampleTestBytes(k));
    WriteFile(At(QStringLiteral("in/short.cty")), "too short");
    WriteFile(At(QStringLiteral("in/notes.txt")), "not looked at inside a folder");
    WriteFile(At(QStringLiteral("report.pdf")), SampleTestBytes(9));
    struct Case {
        QStringList operands;
        int code;
        const char* said;
    };
    const Case cases[] = {
        {{At("in/0")}, 0, "added 2, already there 0, refused 0"},
        {{At("in")}, 2, "added 2, already there 2, refused 1"},
        {{At("in/1/t1.CTY"), At("report.pdf"), At("missing.cty")},
         2,
         "added 0, already there 1, refused 2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.said);
        const Outcome run = Cli(With(QStringList{QStringLiteral("import")} + c.operands));
        EXPECT_EQ(run.code, c.code) << run.err.toStdString();
        EXPECT_EQ(run.out.trimmed(), c.said);
    }
    const Outcome refused = Cli(With({QStringLiteral("import"), At("report.pdf")}));
    EXPECT_TRUE(refused.err.contains("report.pdf: not a test file")) << refused.err.toStdString();
    const Outcome list = Cli(With({QStringLiteral("list")}));
    EXPECT_EQ(list.out.count('\n'), 4);
}

TEST_F(ArchiveCommand, ListGetMarkersAndAnnotateAnswerByTheId) {
    const QByteArray up = SampleTestBytes(1, QStringLiteral("北郊站"), QStringLiteral("王工"), 9,
                                          QStringLiteral("2026-05-04 10:20:30"));
    const QByteArray down = SampleTestBytes(2, QStringLiteral("西山站"), QStringLiteral("李工"), 8,
                                            QStringLiteral("2025-01-02 03:04:05"));
    WriteFile(At("up.cty"), up);
    WriteFile(At("down.cty"), down);
    ASSERT_EQ(Cli(With({QStringLiteral("import"), At("up.cty"), At("down.cty")})).code, 0);

    const Outcome json = Cli(With({QStringLiteral("list"), QStringLiteral("--json"),
                                   QStringLiteral("--place"), QStringLiteral("北郊")}));
    ASSERT_EQ(json.code, 0);
    const QJsonObject test = QJsonDocument::fromJson(json.out).object();
    EXPECT_EQ(test.value("step_text").toString(), u"4 -> 5");
    EXPECT_EQ(test.value("user").toString(), u"王工");
    EXPECT_EQ(test.value("source").toString(), u"import");
    EXPECT_EQ(test.value("file").toString(), At("up.cty"));
    EXPECT_TRUE(test.value("markers").isNull());
    const QString id = test.value("id").toString();
    ASSERT_EQ(id.size(), 64);
    const QStringList keys = {"id",    "time",      "user",        "place",     "device",
                              "step",  "step_text", "switch_type", "test_mode", "source",
                              "added", "markers",   "baseline",    "file"};
    EXPECT_EQ(test.keys().size(), keys.size());

    const QString prefix = id.left(7);
    const Outcome get =
        Cli(With({QStringLiteral("get"), prefix, QStringLiteral("-o"), At("back.cty")}));
    EXPECT_EQ(get.code, 0) << get.err.toStdString();
    EXPECT_EQ(ReadFile(At("back.cty")), up);
    EXPECT_EQ(Cli(With({QStringLiteral("get"), prefix, QStringLiteral("-o"), At("back.pdf")})).code,
              2);
    EXPECT_EQ(Cli(With({QStringLiteral("get"), QStringLiteral("fff0"), QStringLiteral("-o"),
                        At("x.cty")}))
                  .code,
              1);

    ASSERT_EQ(Cli(With({QStringLiteral("markers"), prefix, QStringLiteral("--set"),
                        QStringLiteral("B=501,601,641,721")}))
                  .code,
              0);
    ASSERT_EQ(Cli(With({QStringLiteral("markers"), prefix, QStringLiteral("--set"),
                        QStringLiteral("a=100,150,180,260")}))
                  .code,
              0);
    EXPECT_EQ(Cli(With({QStringLiteral("markers"), prefix})).out,
              "A 100 150 180 260\nB 501 601 641 721\nC 0 0 0 0\n");
    EXPECT_EQ(Cli(With({QStringLiteral("markers"), prefix, QStringLiteral("--set"),
                        QStringLiteral("A=5,4,3,2")}))
                  .code,
              2);

    ASSERT_EQ(Cli(With({QStringLiteral("annotate"), prefix, QStringLiteral("--device"),
                        QStringLiteral("北郊站2号主变 OLTC"), QStringLiteral("--report"),
                        QStringLiteral("R-7")}))
                  .code,
              0);
    const Outcome byDevice =
        Cli(With({QStringLiteral("list"), QStringLiteral("--device"), QStringLiteral("2号主变")}));
    EXPECT_EQ(byDevice.out.count('\n'), 1);
    EXPECT_TRUE(byDevice.out.startsWith(id.left(12).toUtf8()));
    EXPECT_TRUE(byDevice.out.contains("markers"));
    const Outcome byDates =
        Cli(With({QStringLiteral("list"), QStringLiteral("--from"), QStringLiteral("2025-01-01"),
                  QStringLiteral("--to"), QStringLiteral("2025-01-02")}));
    EXPECT_EQ(byDates.out.count('\n'), 1);
    EXPECT_TRUE(byDates.out.contains("西山站"));
    ASSERT_EQ(Cli(With({QStringLiteral("annotate"), prefix, QStringLiteral("--baseline"),
                        QStringLiteral("yes")}))
                  .code,
              0);
    const Outcome baselines =
        Cli(With({QStringLiteral("list"), QStringLiteral("--baseline"), QStringLiteral("yes")}));
    EXPECT_EQ(baselines.out.count('\n'), 1);
    EXPECT_TRUE(baselines.out.startsWith(id.left(12).toUtf8()));
    EXPECT_TRUE(baselines.out.trimmed().endsWith("baseline"));
    EXPECT_EQ(
        Cli(With({QStringLiteral("list"), QStringLiteral("--baseline"), QStringLiteral("no")}))
            .out.count('\n'),
        1);
    EXPECT_EQ(Cli(With({QStringLiteral("annotate"), prefix, QStringLiteral("--baseline"),
                        QStringLiteral("maybe")}))
                  .code,
              2);
    EXPECT_EQ(
        Cli(With({QStringLiteral("list"), QStringLiteral("--from"), QStringLiteral("yesterday")}))
            .code,
        2);
    EXPECT_EQ(Cli(With({QStringLiteral("check")})).code, 0);
}

TEST_F(ArchiveCommand, ADamagedArchiveIsNamedAndLeftForRescue) {
    WriteFile(At("t.cty"), SampleTestBytes(3));
    ASSERT_EQ(Cli(With({QStringLiteral("import"), At("t.cty")})).code, 0);
    QByteArray bytes = ReadFile(At("a.sqlite"));
    ASSERT_GT(bytes.size(), 4096);
    bytes.replace(0, 100, QByteArray(100, '\x5a'));
    WriteFile(At("a.sqlite"), bytes);
    const QStringList commands[] = {{QStringLiteral("check")},
                                    {QStringLiteral("list")},
                                    {QStringLiteral("import"), At("t.cty")}};
    for (const QStringList& command : commands) {
        SCOPED_TRACE(command[0].toStdString());
        const Outcome run = Cli(With(command));
        EXPECT_EQ(run.code, 1);
        EXPECT_TRUE(run.err.contains("a.sqlite")) << run.err.toStdString();
        EXPECT_EQ(ReadFile(At("a.sqlite")), bytes);
    }
}

TEST_F(ArchiveCommand, AKilledImportLosesNothingItCommitted) {
    for (unsigned k = 0; k < 3000; ++k)
        WriteFile(At(QStringLiteral("in/t%1.cty").arg(k)), SampleTestBytes(k));
    QProcess cli;
    cli.start(QStringLiteral(OLTC_CLI_PATH),
              With({QStringLiteral("archive"), QStringLiteral("import"), At("in")}));
    ASSERT_TRUE(cli.waitForStarted());
    // Killed once part of the tests are in.
    const QString wal = At("a.sqlite-wal");
    for (int i = 0; i < 500 && QFileInfo(wal).size() < 2'000'000; ++i)
        QThread::msleep(10);
    ::kill(pid_t(cli.processId()), SIGKILL);
    cli.waitForFinished();
    const Outcome check = Cli(With({QStringLiteral("check")}));
    EXPECT_EQ(check.code, 0) << check.out.toStdString() << check.err.toStdString();
    const Outcome again = Cli(With({QStringLiteral("import"), At("in")}));
    EXPECT_EQ(again.code, 0) << again.err.toStdString();
    const QList<QByteArray> counts = again.out.trimmed().split(' ');
    ASSERT_EQ(counts.size(), 7);
    EXPECT_EQ(counts[1].chopped(1).toInt() + counts[4].chopped(1).toInt(), 3000)
        << again.out.toStdString();
    EXPECT_EQ(Cli(With({QStringLiteral("list")})).out.count('\n'), 3000);
}

TEST_F(ArchiveCommand, TwoImportsAtOnceBothSucceed) {
    for (unsigned k = 0; k < 600; ++k)
        WriteFile(At(QStringLiteral("%1/t%2.cty").arg(k % 2 ? "odd" : "even").arg(k)),
                  SampleTestBytes(k));
    QProcess a, b;
    a.start(QStringLiteral(OLTC_CLI_PATH),
            With({QStringLiteral("archive"), QStringLiteral("import"), At("odd")}));
    b.start(QStringLiteral(OLTC_CLI_PATH),
            With({QStringLiteral("archive"), QStringLiteral("import"), At("even")}));
    ASSERT_TRUE(a.waitForFinished(120000) && b.waitForFinished(120000));
    EXPECT_EQ(a.exitCode(), 0) << a.readAllStandardError().toStdString();
    EXPECT_EQ(b.exitCode(), 0) << b.readAllStandardError().toStdString();
    EXPECT_EQ(Cli(With({QStringLiteral("list")})).out.count('\n'), 600);
}

TEST_F(ArchiveCommand, PushAndPullThroughAPostgresServer) {
    PgServer server;
    if (server.Missing())
        GTEST_SKIP() << server.Problem().toStdString();
    ASSERT_TRUE(server.Problem().isEmpty()) << server.Problem().toStdString();
    const QString url = server.NewDatabase(QStringLiteral("fleet"));
    for (unsigned k = 0; k < 40; ++k)
        WriteFile(At(QStringLiteral("in/t%1.cty").arg(k)),
                  SampleTestBytes(k, k % 4 ? QStringLiteral("北郊站") : QStringLiteral("西山站")));
    ASSERT_EQ(Cli(With({QStringLiteral("import"), At("in")})).code, 0);
    // Two laptops push at once: both succeed, nothing twice.
    QProcess one, two;
    for (QProcess* p : {&one, &two})
        p->start(QStringLiteral(OLTC_CLI_PATH),
                 With({QStringLiteral("archive"), QStringLiteral("push"), url}));
    ASSERT_TRUE(one.waitForFinished(60000) && two.waitForFinished(60000));
    EXPECT_EQ(one.exitCode(), 0) << one.readAllStandardError().toStdString();
    EXPECT_EQ(two.exitCode(), 0) << two.readAllStandardError().toStdString();
    const Outcome onServer = Cli({QStringLiteral("list"), QStringLiteral("--archive"), url});
    EXPECT_EQ(onServer.out.count('\n'), 40);

    const Outcome pull = Cli({QStringLiteral("pull"), url, QStringLiteral("--place"),
                              QStringLiteral("西山"), QStringLiteral("--archive"), At("b.sqlite")});
    EXPECT_EQ(pull.code, 0) << pull.err.toStdString();
    EXPECT_EQ(pull.out, "10 tests looked at, 10 new to " + At("b.sqlite").toUtf8() + "\n");

    server.Stop();
    const Outcome lost = Cli(With({QStringLiteral("push"), url}));
    EXPECT_EQ(lost.code, 3);
    EXPECT_FALSE(lost.err.isEmpty());
    EXPECT_EQ(Cli({QStringLiteral("list"), QStringLiteral("--archive"), url}).code, 3);
    EXPECT_EQ(Cli({QStringLiteral("list"), QStringLiteral("--archive"),
                   QStringLiteral("postgresql://x@/db?bad=1")})
                  .code,
              2);
}

} // namespace
