// Test files and folders whose names are not UTF-8 (GBK, from an old Windows
// machine) are read and written under their own names by the real program.
#include "FileNames.h"
#include "NativeArgs.h"
#include "TestFile.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

const QByteArray kGbk = "\xB2\xE2\xCA\xD4"; // "测试"

struct Ran {
    int exitCode = -1;
    QByteArray out, err;
};

Ran RunCli(const QStringList& args) {
    QProcess cli;
    SetNativeCommand(cli, QStringLiteral(OLTC_CLI_PATH), args);
    cli.start();
    Ran ran;
    if (!cli.waitForFinished(60000))
        return ran;
    ran.exitCode = cli.exitCode();
    ran.out = cli.readAllStandardOutput();
    ran.err = cli.readAllStandardError();
    return ran;
}

bool IsRegularFile(const QByteArray& native) {
    struct stat info;
    return ::stat(native.constData(), &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0;
}

} // namespace

TEST(FileNameCommands, NamesThatAreNotUtf8OpenAndAreWrittenBeside) {
    QTemporaryDir dir;
    const QByteArray folder = QFile::encodeName(dir.path()) + '/' + kGbk;
    const QByteArray test = folder + '/' + kGbk + ".cty";
    ASSERT_EQ(::mkdir(folder.constData(), 0700), 0);
    TestRecord record;
    record.strTestAdd.Set("Yard");
    ASSERT_TRUE(WriteTestFile(FileNameFromNative(test), record));
    const QString name = FileNameFromNative(test);

    Ran ran = RunCli({"show", name});
    EXPECT_EQ(ran.exitCode, 0) << ran.err.constData();
    EXPECT_TRUE(ran.out.startsWith("== " + test + '\n')) << ran.out.left(80).constData();
    EXPECT_TRUE(ran.out.contains("Yard"));

    // JSON is UTF-8 text: the kept bytes are written out as \xNN.
    ran = RunCli({"show", "--json", name});
    EXPECT_EQ(ran.exitCode, 0);
    EXPECT_EQ(QJsonDocument::fromJson(ran.out).object()["file"].toString(), VisibleText(name));

    ran = RunCli({"report", name, "-d", FileNameFromNative(folder)});
    EXPECT_EQ(ran.exitCode, 0) << ran.err.constData();
    EXPECT_EQ(ran.out, folder + '/' + kGbk + ".pdf\n");
    EXPECT_TRUE(IsRegularFile(folder + '/' + kGbk + ".pdf"));

    // A folder made for the export, its name not UTF-8 either.
    const QByteArray made = folder + "/new\xFF";
    ran = RunCli({"export", name, "--format", "csv", "-d", FileNameFromNative(made)});
    EXPECT_EQ(ran.exitCode, 0) << ran.err.constData();
    EXPECT_EQ(ran.out, made + '/' + kGbk + ".csv\n");
    EXPECT_TRUE(IsRegularFile(made + '/' + kGbk + ".csv"));

    // What is missing is named by its own bytes.
    ran = RunCli({"show", FileNameFromNative(folder + "/\xFF.cty")});
    EXPECT_EQ(ran.exitCode, 2);
    EXPECT_TRUE(ran.err.contains(folder + "/\xFF.cty: no such file")) << ran.err.constData();

    std::filesystem::remove_all(folder.toStdString());
}
