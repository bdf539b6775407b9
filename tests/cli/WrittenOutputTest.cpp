// What oltc-cli writes is whole or it fails: no test replaced by its own
// export, no file lost between two runs into one folder, no trace of a
// killed run, no failed output reported as success.
#include "ShowCommand.h"
#include "TestFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <csignal>
#include <functional>
#include <gtest/gtest.h>
#include <pty.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

struct CliRun {
    int code = -1;
    bool crashed = false;
    QByteArray out, err;
};

struct RunSetup {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    QString stdoutFile;
    std::function<void()> child; // in the child, before the program starts
};

CliRun Cli(const QStringList& args, const RunSetup& setup = {}) {
    QProcess cli;
    cli.setProcessEnvironment(setup.environment);
    if (!setup.stdoutFile.isEmpty())
        cli.setStandardOutputFile(setup.stdoutFile);
    if (setup.child)
        cli.setChildProcessModifier(setup.child);
    cli.start(QStringLiteral(OLTC_CLI_PATH), args);
    if (!cli.waitForFinished(60000))
        return {-1, false, {}, "timed out"};
    return {cli.exitCode(), cli.exitStatus() == QProcess::CrashExit, cli.readAllStandardOutput(),
            cli.readAllStandardError()};
}

QByteArray TestBytes() {
    TestRecord record;
    record.strTestUser.Set("Wang");
    for (int k = 1; k <= kSampleCount; ++k)
        record.WaveA[k - 1] = k < 100 || k >= 400 ? 50 : 900;
    return EncodeTestFile(record);
}

QString WriteTest(const QString& path) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(TestBytes());
    return path;
}

QByteArray Contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList Lines(const QByteArray& out) {
    return QString::fromUtf8(out).split(u'\n', Qt::SkipEmptyParts);
}

// The names in a folder, hidden ones included.
QStringList Names(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
}

// A zip written whole ends with its end-of-directory record.
bool WholeZip(const QByteArray& bytes) {
    return bytes.startsWith("PK\x03\x04") && bytes.size() > 22 &&
           bytes.mid(bytes.size() - 22, 4) == "PK\x05\x06";
}

} // namespace

TEST(WrittenOutput, AnOutputThatIsATestOrOfAnotherKindIsRefused) {
    QTemporaryDir dir;
    const QString test = WriteTest(dir.filePath("t.cty"));
    const QString asWorkbook = WriteTest(dir.filePath("t.xlsx")); // a test under another name
    ASSERT_EQ(::link(QFile::encodeName(test).constData(),
                     QFile::encodeName(dir.filePath("same.xlsx")).constData()),
              0);
    QDir().mkdir(dir.filePath("sub"));
    const QString pdfTest = WriteTest(dir.filePath("t.pdf"));
    ASSERT_TRUE(QFile::link(pdfTest, dir.filePath("link.pdf")));
    struct Case {
        QStringList args;
        const char* said;
    };
    const Case cases[] = {
        {{"export", test, "-o", test}, "writes only .xlsx, .xls, .docx, .doc, .csv"},
        {{"export", test, "-o", dir.filePath("x.pdf")}, "writes only .xlsx"},
        {{"export", test, "-o", dir.filePath("x")}, "writes only .xlsx"},
        {{"report", test, "-o", test}, "writes only .pdf"},
        {{"report", test, "-o", dir.filePath("r.xlsx")}, "writes only .pdf"},
        {{"export", test, "-o", dir.filePath("same.xlsx")}, "is the test file"},
        {{"export", "--force", asWorkbook, "-o", dir.filePath("sub/../t.xlsx")},
         "is the test file"},
        {{"report", "--force", pdfTest, "-o", dir.filePath("link.pdf")}, "is the test file"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.join(u' ').toStdString());
        const CliRun run = Cli(c.args);
        EXPECT_EQ(run.code, 2);
        EXPECT_TRUE(run.err.contains(c.said)) << run.err.constData();
        EXPECT_TRUE(run.out.isEmpty());
        for (const QString& kept : {test, asWorkbook, pdfTest})
            EXPECT_EQ(Contents(kept), TestBytes()) << kept.toStdString();
    }
    // The extension in any case is taken.
    EXPECT_EQ(Cli({"export", test, "-o", dir.filePath("OUT.XLS")}).code, 0);
    EXPECT_TRUE(WholeZip(Contents(dir.filePath("OUT.XLS"))));
}

TEST(WrittenOutput, TestsAreKnownByTheirNameUnlessForced) {
    QTemporaryDir dir;
    const QString pdf = WriteTest(dir.filePath("a.pdf")); // as large as a test
    const QString upper = WriteTest(dir.filePath("B.CTY"));
    const QString out = dir.filePath("o");
    QDir().mkdir(out);
    struct Case {
        QStringList args;
        int code;
    };
    const Case cases[] = {
        {{"show", pdf}, 2},
        {{"show", "--json", pdf, upper}, 2},
        {{"export", pdf, "-o", dir.filePath("x.csv")}, 2},
        {{"report", pdf, "-d", out}, 2},
        {{"show", "--force", pdf}, 0},
        {{"export", "--force", pdf, "-o", dir.filePath("y.csv")}, 0},
        {{"report", "--force", pdf, "-d", out}, 0},
        {{"show", upper}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.join(u' ').toStdString());
        const CliRun run = Cli(c.args);
        EXPECT_EQ(run.code, c.code) << run.err.constData();
        if (c.code == 2) {
            EXPECT_TRUE(run.err.contains("a.pdf: not a test file")) << run.err.constData();
        }
    }
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("x.csv")));
    EXPECT_TRUE(QFileInfo::exists(dir.filePath("y.csv")));
    EXPECT_EQ(Names(out), QStringList{"a.pdf"});
}

TEST(WrittenOutput, AFailedStandardOutputIsAFailure) {
    QTemporaryDir dir;
    const QString test = WriteTest(dir.filePath("t.cty"));
    const QString out = dir.filePath("o");
    QDir().mkdir(out);
    RunSetup full;
    full.stdoutFile = QStringLiteral("/dev/full");
    for (const QStringList& args :
         {QStringList{"show", "--json", test}, QStringList{"show", test},
          QStringList{"report", test, "-d", out},
          QStringList{"export", test, "-o", dir.filePath("x.csv")}, QStringList{"--help"}}) {
        SCOPED_TRACE(args.join(u' ').toStdString());
        const CliRun run = Cli(args, full);
        EXPECT_NE(run.code, 0);
        EXPECT_TRUE(run.err.contains("standard output could not be written: No space left"))
            << run.err.constData();
    }
}

TEST(WrittenOutput, TwoRunsIntoOneFolderKeepEveryFile) {
    QTemporaryDir dir;
    // Thirty tests of one name: every run wants the same names.
    QStringList tests;
    for (int i = 0; i < 30; ++i)
        tests << WriteTest(dir.filePath(QStringLiteral("in%1/t.cty").arg(i)));
    const QString out = dir.filePath("out");
    struct Case {
        QStringList args;
        int files;
        const char* extension;
    };
    const Case cases[] = {
        {QStringList{"export", "--format", "csv", "-d", out} + tests, 30, "csv"},
        {QStringList{"report", "-d", out} + tests.mid(0, 8), 8, "pdf"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.extension);
        QDir(out).removeRecursively();
        QDir().mkpath(out);
        QProcess first, second;
        for (QProcess* run : {&first, &second})
            run->start(QStringLiteral(OLTC_CLI_PATH), c.args);
        QStringList printed;
        for (QProcess* run : {&first, &second}) {
            ASSERT_TRUE(run->waitForFinished(120000));
            EXPECT_EQ(run->exitCode(), 0) << run->readAllStandardError().constData();
            printed += Lines(run->readAllStandardOutput());
        }
        EXPECT_EQ(printed.size(), 2 * c.files);
        EXPECT_EQ(QSet<QString>(printed.begin(), printed.end()).size(), 2 * c.files)
            << "no name given twice";
        EXPECT_EQ(Names(out).size(), 2 * c.files);
        const QByteArray one = Contents(printed.front());
        for (const QString& path : printed) {
            EXPECT_TRUE(path.endsWith(QLatin1String(c.extension)));
            EXPECT_EQ(Contents(path).size(), one.size()) << path.toStdString();
        }
    }
}

TEST(WrittenOutput, AKilledRunLeavesOnlyWholeFiles) {
    QTemporaryDir dir;
    QStringList tests;
    for (int i = 0; i < 40; ++i)
        tests << WriteTest(dir.filePath(QStringLiteral("in/t%1.cty").arg(i)));
    int round = 0;
    for (const int signal : {SIGTERM, SIGINT, SIGTERM}) {
        for (int after = 1; after <= 3; ++after) {
            ++round;
            SCOPED_TRACE(
                QStringLiteral("signal %1 after %2 files").arg(signal).arg(after).toStdString());
            const QString out = dir.filePath(QStringLiteral("out%1").arg(round));
            QProcess run;
            run.start(QStringLiteral(OLTC_CLI_PATH),
                      QStringList{"export", "--format", "xlsx", "-d", out} + tests);
            QStringList printed;
            while (printed.size() < after && run.waitForReadyRead(30000))
                while (run.canReadLine())
                    printed << QString::fromUtf8(run.readLine()).trimmed();
            ASSERT_GE(printed.size(), after) << "each path is printed when its file is done";
            ::kill(pid_t(run.processId()), signal);
            ASSERT_TRUE(run.waitForFinished(30000));
            printed += Lines(run.readAllStandardOutput());
            EXPECT_EQ(run.exitStatus(), QProcess::CrashExit) << "ended by the signal";
            const QStringList names = Names(out);
            EXPECT_LT(printed.size(), tests.size()) << "killed before the end";
            EXPECT_GE(names.size(), printed.size());
            EXPECT_LE(names.size(), printed.size() + 1) << names.join(u' ').toStdString();
            for (const QString& name : names) {
                EXPECT_FALSE(name.startsWith(u'.')) << name.toStdString();
                EXPECT_TRUE(WholeZip(Contents(QDir(out).filePath(name)))) << name.toStdString();
            }
            for (const QString& path : printed)
                EXPECT_TRUE(QFileInfo::exists(path)) << path.toStdString();
        }
    }
}

TEST(WrittenOutput, WithoutADisplayNothingAborts) {
    QTemporaryDir dir;
    const QString test = WriteTest(dir.filePath("t.cty"));
    RunSetup setup;
    setup.environment.insert("QT_QPA_PLATFORM", "xcb");
    setup.environment.remove("DISPLAY");
    setup.environment.remove("WAYLAND_DISPLAY");
    for (const QStringList& args : {QStringList{"export", test, "-o", dir.filePath("q.csv")},
                                    QStringList{"export", test, "-o", dir.filePath("q.xlsx")},
                                    QStringList{"report", test, "-o", dir.filePath("q.pdf")}}) {
        SCOPED_TRACE(args.join(u' ').toStdString());
        const CliRun run = Cli(args, setup);
        EXPECT_FALSE(run.crashed);
        EXPECT_EQ(run.code, 0) << run.err.constData();
        EXPECT_TRUE(QFileInfo(args.last()).size() > 0);
    }
}

TEST(WrittenOutput, AFileSizeLimitFailsTheWriteWithItsReason) {
    QTemporaryDir dir;
    const QString test = WriteTest(dir.filePath("t.cty"));
    struct Case {
        const char* name;
        rlim_t limit;
    };
    // The workbook's wave sheet unpacks to 440 KB, the workbook itself
    // packs to 75 KB: a limit between them cuts only a temporary part.
    const Case cases[] = {{"w.xlsx", 200000},
                          {"w.xlsx", 20000},
                          {"w.docx", 20000},
                          {"w.csv", 20000},
                          {"w.pdf", 5000}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString target = dir.filePath(QString::fromLatin1(c.name));
        RunSetup setup;
        const rlim_t limit = c.limit;
        setup.child = [limit] {
            const rlimit size{limit, limit};
            ::setrlimit(RLIMIT_FSIZE, &size);
        };
        const QString command = target.endsWith(u".pdf") ? "report" : "export";
        const CliRun run = Cli({command, test, "-o", target}, setup);
        EXPECT_EQ(run.code, 1) << run.err.constData();
        EXPECT_TRUE(run.err.contains("File too large")) << run.err.constData();
        EXPECT_EQ(Names(dir.path()), QStringList{"t.cty"});
    }
}

TEST(WrittenOutput, NamesOnATerminalShowNoControlCharacter) {
    QTemporaryDir dir;
    const QString name = dir.filePath(QStringLiteral("red\x1B[31m\nline.cty"));
    WriteTest(name);
    QByteArray out, err;
    ASSERT_EQ(RunShow({name}, out, err, true, true), 0);
    EXPECT_TRUE(out.contains("red\\x1B[31m\\x0Aline.cty")) << out.constData();
    out.clear();
    ASSERT_EQ(RunShow({name, dir.filePath("gone\x1B.cty")}, out, err, false, true), 2);
    EXPECT_TRUE(out.contains(QFile::encodeName(name))) << "a pipe gets the name's own bytes";
    EXPECT_TRUE(err.contains("gone\\x1B.cty: no such file")) << err.constData();

    // Through a terminal: the program itself tells.
    int master = -1, slave = -1;
    ASSERT_EQ(::openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
    const QString folder = dir.filePath("o");
    RunSetup setup;
    setup.child = [slave] {
        ::dup2(slave, STDOUT_FILENO);
        ::dup2(slave, STDERR_FILENO);
    };
    const CliRun run = Cli({"export", "--format", "csv", "-d", folder, name}, setup);
    ::close(slave);
    EXPECT_EQ(run.code, 0);
    QByteArray screen;
    char buffer[4096];
    for (ssize_t n; (n = ::read(master, buffer, sizeof buffer)) > 0;)
        screen.append(buffer, n);
    ::close(master);
    EXPECT_TRUE(screen.contains("red\\x1B[31m\\x0Aline.csv")) << screen.constData();
    EXPECT_FALSE(screen.contains('\x1B'));
}
