#include "ReportCommand.h"
#include "TestFile.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct CliRun {
    int code;
    QByteArray out, err;
};

CliRun Cli(const QStringList& args) {
    QProcess cli;
    cli.start(QStringLiteral(OLTC_CLI_PATH), QStringList{"report"} + args);
    if (!cli.waitForFinished(20000))
        return {-1, {}, "timed out"};
    return {cli.exitCode(), cli.readAllStandardOutput(), cli.readAllStandardError()};
}

QString PdfText(const QString& path) {
    QProcess text;
    text.start("pdftotext", {"-layout", path, "-"});
    text.waitForFinished(20000);
    return QString::fromUtf8(text.readAllStandardOutput());
}

} // namespace

TEST(ReportCommand, OptionsAreCheckedBeforeAnythingIsWritten) {
    const struct {
        QStringList args;
        const char* error;
    } cases[] = {
        {{"a.cty"}, "either -o OUT.pdf or -d DIR"},
        {{"a.cty", "-o", "x.pdf", "-d", "."}, "either -o OUT.pdf or -d DIR"},
        {{"a.cty", "b.cty", "-o", "x.pdf"}, "-o takes exactly one"},
        {{"-o", "x.pdf"}, "no test file"},
        {{"a.cty", "-d", "/no/such/dir"}, "not a folder"},
        {{"a.cty", "-o", "x.pdf", "--brand", "3"}, "--brand 3"},
        {{"a.cty", "-o", "x.pdf", "--color", "1,2,256"}, "--color 1,2,256"},
        {{"a.cty", "-o", "x.pdf", "--marker", "A=4,3,2,1"}, "--marker A=4,3,2,1"},
        {{"a.cty", "-o", "x.pdf", "--json"}, "unknown option --json"},
    };
    for (const auto& c : cases) {
        ReportOptions options;
        const auto error = ParseReportArgs(c.args, options);
        ASSERT_TRUE(error) << c.args.join(' ').toStdString();
        EXPECT_TRUE(error->contains(QLatin1String(c.error))) << error->toStdString();
    }
    ReportOptions options;
    EXPECT_FALSE(ParseReportArgs({"a.cty", "--inverted", "--auto-markers", "--brand=2", "--color",
                                  "0,0,255", "--marker", "b=1,2,3,4", "-o", "x.pdf"},
                                 options));
    EXPECT_TRUE(options.shown.inverted);
    EXPECT_TRUE(options.shown.autoMarkers);
    EXPECT_EQ(options.shown.brand, 2);
    EXPECT_EQ(options.shown.color, (ChartColor{0, 0, 255}));
    EXPECT_EQ(options.shown.markers[1], (std::array<int, 4>{1, 2, 3, 4}));
}

TEST(ReportCommand, WritesEachReportNeverOverwritingAndGoesOnPastBadFiles) {
    QTemporaryDir dir;
    TestRecord r;
    r.strTestUser.Set("Wang");
    r.strTestTime.Set("2010-12-21 08:05:03");
    for (int k = 1; k <= kSampleCount; ++k)
        r.WaveA[k - 1] = k < 150 ? 100 : 350;
    const QString test = dir.filePath("site 7.cty");
    ASSERT_TRUE(WriteTestFile(test, r));
    QFile bad(dir.filePath("bad.cty"));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("short");
    bad.close();
    const QString out = dir.filePath("out");
    ASSERT_TRUE(QDir(dir.path()).mkdir("out"));

    CliRun run =
        Cli({test, "--brand", "1", "--marker", "A=100,160,300,400", "-o", dir.filePath("one.pdf")});
    EXPECT_EQ(run.code, 0) << run.err.constData();
    const QString text = PdfText(dir.filePath("one.pdf"));
    for (const char* shown : {"Wang", "Aulexcorp", "2010-12-21", "08:05:03", "6.0", "2.50"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(shown))) << shown;

    run = Cli({test, bad.fileName(), test, "-d", out});
    EXPECT_EQ(run.code, 2);
    EXPECT_TRUE(run.err.contains("bad.cty")) << run.err.constData();
    EXPECT_TRUE(QFile::exists(out + "/site 7.pdf"));
    EXPECT_TRUE(QFile::exists(out + "/site 7 (2).pdf")) << "the second never overwrites the first";
    EXPECT_EQ(run.out.count('\n'), 2);

    run = Cli({test, "-o", dir.filePath("no/such/r.pdf")});
    EXPECT_EQ(run.code, 1);
    EXPECT_TRUE(run.err.contains("cannot write")) << run.err.constData();

    // Named as a report, so that the name passes and the folder is met.
    const QString folder = dir.filePath("folder.pdf");
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder.pdf"));
    run = Cli({test, "-o", folder});
    EXPECT_EQ(run.code, 1) << "a folder is not replaced by a file";
    EXPECT_TRUE(QFileInfo(folder).isDir());
}
