#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSize>
#include <QTemporaryDir>
#include <QtEndian>
#include <gtest/gtest.h>

namespace {

struct CliRun {
    int status;
    QString out, err;
};

CliRun Cli(const QStringList& args, const QString& program = QStringLiteral(OLTC_CLI_PATH)) {
    QProcess cli;
    cli.start(program, QStringList{QStringLiteral("export")} + args);
    if (!cli.waitForFinished(60000))
        return {-1, {}, QStringLiteral("did not end")};
    return {cli.exitCode(), QString::fromUtf8(cli.readAllStandardOutput()),
            QString::fromUtf8(cli.readAllStandardError())};
}

// A test file: phases stepping up at 10 ms and down at 40 ms.
QString WriteTest(const QTemporaryDir& folder, const QString& name) {
    QByteArray bytes(32356, '\0');
    bytes[2] = 17;
    for (int phase = 0; phase < 3; ++phase)
        for (int k = 1; k <= 2688; ++k)
            qToLittleEndian<qint32>(k < 100 || k >= 400 ? 50 : 900,
                                    bytes.data() + 80 + phase * 10756 + (k - 1) * 4);
    const QString path = folder.filePath(name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return path;
}

QByteArray Contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The size of the first PNG stored in a document (pictures are stored uncompressed).
QSize PngSize(const QByteArray& bytes) {
    const qsizetype at = bytes.indexOf("\x89PNG\r\n\x1a\n");
    if (at < 0)
        return {};
    return {qFromBigEndian<qint32>(bytes.constData() + at + 16),
            qFromBigEndian<qint32>(bytes.constData() + at + 20)};
}

} // namespace

TEST(CliExport, OneFileEachFormat) {
    QTemporaryDir folder;
    const QString test = WriteTest(folder, QStringLiteral("t.cty"));
    const std::pair<const char*, const char*> formats[] = {{"out.xlsx", "xl/workbook.xml"},
                                                           {"out.DOCX", "word/document.xml"},
                                                           {"out.csv", "index,time_ms"}};
    for (const auto& [name, inside] : formats) {
        SCOPED_TRACE(name);
        const QString out = folder.filePath(QString::fromLatin1(name));
        const CliRun run = Cli({QStringLiteral("--marker"), QStringLiteral("A=100,200,300,400"),
                                QStringLiteral("--inverted"), QStringLiteral("--color"),
                                QStringLiteral("255,255,255"), test, QStringLiteral("-o"), out});
        EXPECT_EQ(run.status, 0) << run.err.toStdString();
        EXPECT_EQ(run.out.trimmed(), QDir::toNativeSeparators(out));
        const QByteArray bytes = Contents(out);
        EXPECT_TRUE(bytes.contains(inside));
        if (std::string_view(name).ends_with("DOCX")) {
            // The chart as wide as in the window at 965 pixels.
            EXPECT_EQ(PngSize(bytes).width(), 965 - 24 - 185 - 161 - 24);
            EXPECT_GT(PngSize(bytes).height(), 400);
        }
    }
    EXPECT_TRUE(Contents(folder.filePath("out.csv")).contains("\n100,10.0,9.00,9.00,9.00\n"));
}

TEST(CliExport, ManyIntoAFolderNeverOverwrite) {
    QTemporaryDir folder;
    const QStringList tests{WriteTest(folder, QStringLiteral("a.cty")),
                            WriteTest(folder, QStringLiteral("b.cty"))};
    const QString out = folder.filePath(QStringLiteral("out"));
    for (int round = 0; round < 2; ++round) {
        const CliRun run = Cli(tests + QStringList{"-d", out, "--format", "docx"});
        EXPECT_EQ(run.status, 0) << run.err.toStdString();
    }
    QStringList names = QDir(out).entryList(QDir::Files);
    EXPECT_EQ(names, (QStringList{"a (2).docx", "a.docx", "b (2).docx", "b.docx"}));
}

TEST(CliExport, ExitCodes) {
    QTemporaryDir folder;
    const QString test = WriteTest(folder, QStringLiteral("t.cty"));
    QDir().mkdir(folder.filePath("dir.xlsx"));
    // A copy of the program without its template, and one with a bad template.
    QDir().mkpath(folder.filePath("bare"));
    QDir().mkpath(folder.filePath("bad/Model"));
    const QString bare = folder.filePath("bare/oltc-cli"), bad = folder.filePath("bad/oltc-cli");
    ASSERT_TRUE(QFile::copy(QStringLiteral(OLTC_CLI_PATH), bare));
    ASSERT_TRUE(QFile::copy(QStringLiteral(OLTC_CLI_PATH), bad));
    QFile model(folder.filePath("bad/Model/Model.pat"));
    ASSERT_TRUE(model.open(QIODevice::WriteOnly));
    model.write("not a document");
    model.close();

    struct Case {
        const char* name;
        QStringList args;
        QString program;
        int status;
        const char* says;
    };
    const QString cli = QStringLiteral(OLTC_CLI_PATH);
    const Case cases[] = {
        {"no file", {"-o", "x.xlsx"}, cli, 2, "no test file given"},
        {"both -o and -d", {test, "-o", "x.xlsx", "-d", "y"}, cli, 2, "either -o OUT or -d DIR"},
        {"-d without a format", {test, "-d", "y"}, cli, 2, "--format"},
        {"an unreadable test",
         {folder.filePath("none.cty"), "-o", folder.filePath("n.csv")},
         cli,
         2,
         "none.cty"},
        {"a folder as the target",
         {test, "-o", folder.filePath("dir.xlsx")},
         cli,
         1,
         "not a regular file"},
        {"no template", {test, "-o", folder.filePath("r.docx")}, bare, 1, "系统数据已遭到破坏！"},
        {"a template that does not match",
         {test, "-o", folder.filePath("r.docx")},
         bad,
         1,
         "模板格式不匹配！"},
        {"no template needed for a workbook", {test, "-o", folder.filePath("r.xlsx")}, bare, 0, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const CliRun run = Cli(c.args, c.program);
        EXPECT_EQ(run.status, c.status) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(QString::fromUtf8(c.says))) << run.err.toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists(folder.filePath("r.docx")));
    EXPECT_TRUE(QFileInfo(folder.filePath("dir.xlsx")).isDir());
}

namespace {

// oltc-cli with --lang before the command.
CliRun CliIn(const char* language, const QStringList& args, const QString& program) {
    QProcess cli;
    cli.start(program, QStringList{QStringLiteral("--lang"), QString::fromLatin1(language),
                                   QStringLiteral("export")} +
                           args);
    if (!cli.waitForFinished(60000))
        return {-1, {}, QStringLiteral("did not end")};
    return {cli.exitCode(), QString::fromUtf8(cli.readAllStandardOutput()),
            QString::fromUtf8(cli.readAllStandardError())};
}

// What python-docx reads of a document, as JSON.
QJsonObject ReadDocument(const QString& path) {
    QProcess reader;
    reader.start(QStringLiteral("/usr/bin/python3"), {QStringLiteral(OLTC_READ_OFFICE), path});
    if (!reader.waitForFinished(60000) || reader.exitCode() != 0) {
        ADD_FAILURE() << reader.readAllStandardError().toStdString();
        return {};
    }
    return QJsonDocument::fromJson(reader.readAllStandardOutput()).object();
}

} // namespace

// Each language takes its template: the English one beside the program, else
// the Chinese one, whose labels then stay Chinese.
TEST(CliExport, TheTemplateOfTheLanguage) {
    QTemporaryDir folder;
    const QString test = WriteTest(folder, QStringLiteral("t.cty"));
    // A copy of the program with only the Chinese template beside it.
    QDir().mkpath(folder.filePath("zh/Model"));
    const QString chineseOnly = folder.filePath("zh/oltc-cli");
    ASSERT_TRUE(QFile::copy(QStringLiteral(OLTC_CLI_PATH), chineseOnly));
    ASSERT_TRUE(
        QFile::copy(QFileInfo(QStringLiteral(OLTC_CLI_PATH)).dir().filePath("Model/Model.pat"),
                    folder.filePath("zh/Model/Model.pat")));
    struct Case {
        const char* language;
        QString program;
        const char *label, *value; // the first table's first row below the titles
        bool chinese;              // anything Chinese left in the document
    };
    const QString cli = QStringLiteral(OLTC_CLI_PATH);
    const Case cases[] = {
        {"en", cli, "Switch type", "Neutral out", false},
        {"zh", cli, "开关类型", "中性点引出", true},
        {"en", chineseOnly, "开关类型", "Neutral out", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.language) + " " + c.program.toStdString());
        const QString out = folder.filePath(QStringLiteral("r.docx"));
        QFile::remove(out);
        const CliRun run = CliIn(c.language, {test, "-o", out}, c.program);
        ASSERT_EQ(run.status, 0) << run.err.toStdString();
        const QJsonObject doc = ReadDocument(out);
        const QJsonArray row = doc[u"rows"].toArray()[1].toArray();
        EXPECT_EQ(row[0].toString(), QString::fromUtf8(c.label));
        EXPECT_EQ(row[1].toString(), QString::fromUtf8(c.value));
        EXPECT_EQ(doc[u"chinese"].toString().isEmpty(), !c.chinese)
            << doc[u"chinese"].toString().toStdString();
    }
    // Without any template, English names the English one.
    QDir().mkpath(folder.filePath("bare"));
    const QString bare = folder.filePath("bare/oltc-cli");
    ASSERT_TRUE(QFile::copy(cli, bare));
    const CliRun run = CliIn("en", {test, "-o", folder.filePath("n.docx")}, bare);
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.err.contains(QStringLiteral("Model/Model_en.pat"))) << run.err.toStdString();
    EXPECT_FALSE(run.err.contains(QStringLiteral("系统"))) << run.err.toStdString();
}
