#include "Document.h"
#include "ExportActions.h"
#include "Language.h"
#include "ReadBack.h"
#include "ZipBytes.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QString CellText(const QJsonObject& doc, int row, int cell) {
    return doc[u"rows"].toArray()[row - 1].toArray()[cell - 1].toString();
}

QString Blanks(int n) {
    return QString(n, u' ');
}

// The unpacked parts of a package, the picture's included.
std::vector<std::pair<QString, QByteArray>> Parts(const QString& path) {
    std::vector<std::pair<QString, QByteArray>> parts;
    for (const ZipEntry& entry : ZipEntries(path))
        parts.emplace_back(entry.name, entry.data);
    return parts;
}

} // namespace

// Under English the shipped English template and the translated texts leave
// nothing Chinese in the document; the test's own texts are ASCII.
TEST(EnglishDocument, NothingChineseAndTheCellsInEnglish) {
    ASSERT_TRUE(InstallLanguage(Language::English));
    const auto chinese = qScopeGuard([] { InstallLanguage(Language::Chinese); });
    ShownTest shown = SampleShown();
    shown.panel.user = QStringLiteral("J. Smith");
    shown.panel.addr = QStringLiteral("North substation");
    shown.device = QStringLiteral("T2 OLTC");
    shown.report = QStringLiteral("R-1");
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("report.docx"));
    ASSERT_TRUE(WriteDocument(shown, SamplePicture(), EnglishTemplatePath(), path).ok());
    const QJsonObject doc = ReadBack(path);

    EXPECT_EQ(doc[u"chinese"].toString(), QString());
    const std::tuple<int, int, const char*> cells[] = {
        {1, 1, "Test parameters"},
        {1, 3, "Phase A"},
        {2, 1, "Switch type"},
        {2, 2, "Neutral out"},
        {2, 4, "Transition time T1"},
        {2, 6, "ms"},
        {5, 1, "Trigger (Ω)"},
        {7, 2, "20 pts"},
        {7, 3, "Transition resistance R2"},
        {8, 2, "2.0 ms"},
        {10, 1, "Tester"},
        {10, 2, "J. Smith"},
        {11, 2, "North substation"},
        {22, 3, "Switch rotation"},
        {23, 4, "Rotation: 2 turns 35°"},
        {23, 5, "ΔT0"},
    };
    for (const auto& [row, cell, text] : cells)
        EXPECT_EQ(CellText(doc, row, cell), QString::fromUtf8(text)) << row << "," << cell;
    const QJsonArray paragraphs = doc[u"paragraphs"].toArray();
    ASSERT_GE(paragraphs.size(), 3);
    EXPECT_EQ(paragraphs[0].toString(), u"OLTC Transition Test Report");
    EXPECT_EQ(paragraphs[1].toString(), QStringLiteral("Device: T2 OLTC") + Blanks(22) +
                                            QStringLiteral("Report number: R-1") + Blanks(14));
    EXPECT_TRUE(paragraphs[2].toString().startsWith(u"Test waveforms"));
    EXPECT_EQ(doc[u"pictures"].toInt(), 1);
    EXPECT_EQ(doc[u"picture"].toObject()[u"paragraph_text"].toString(), u"");
}

// The English template's labels above the table, filled or left blank.
TEST(EnglishDocument, TheDeviceAndReportNumberLine) {
    struct Case {
        const char *device, *report;
        QString line;
    };
    const Case cases[] = {
        {"", "",
         QStringLiteral("Device:") + Blanks(30) + QStringLiteral("Report number:") + Blanks(18)},
        {"", "R-7",
         QStringLiteral("Device:") + Blanks(30) + QStringLiteral("Report number: R-7") +
             Blanks(14)},
        {"A device name longer than thirty", "",
         QStringLiteral("Device: A device name longer than thirty Report number:") + Blanks(18)},
        {"北郊站2号主变", "",
         QStringLiteral("Device: 北郊站2号主变") + Blanks(16) + QStringLiteral("Report number:") +
             Blanks(18)},
    };
    ASSERT_TRUE(InstallLanguage(Language::English));
    const auto chinese = qScopeGuard([] { InstallLanguage(Language::Chinese); });
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line.toStdString());
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("d.docx"));
        ShownTest shown = SampleShown();
        shown.device = QString::fromUtf8(c.device);
        shown.report = QString::fromUtf8(c.report);
        ASSERT_TRUE(WriteDocument(shown, SamplePicture(), EnglishTemplatePath(), path).ok());
        const QJsonArray paragraphs = ReadBack(path)[u"paragraphs"].toArray();
        ASSERT_GE(paragraphs.size(), 2);
        EXPECT_EQ(paragraphs[1].toString(), c.line);
    }
}

// Chinese after English is Chinese again: the same parts, byte for byte,
// as before English was ever installed.
TEST(ChineseDocument, TheSameAfterEnglishCameAndWent) {
    QTemporaryDir folder;
    const QString before = folder.filePath(QStringLiteral("before.docx"));
    const QString after = folder.filePath(QStringLiteral("after.docx"));
    ShownTest shown = SampleShown();
    shown.device = QStringLiteral("北郊站2号主变 OLTC");
    shown.report = QStringLiteral("R-2026-001");
    ASSERT_TRUE(WriteDocument(shown, SamplePicture(), TemplatePath(), before).ok());
    ASSERT_TRUE(InstallLanguage(Language::English));
    ASSERT_TRUE(InstallLanguage(Language::Chinese));
    // The panel's texts made again, as the window does on the next export.
    ShownTest again = SampleShown();
    again.device = shown.device;
    again.report = shown.report;
    ASSERT_TRUE(WriteDocument(again, SamplePicture(), TemplatePath(), after).ok());
    EXPECT_EQ(Parts(after), Parts(before));
    const QJsonObject doc = ReadBack(after);
    EXPECT_EQ(CellText(doc, 8, 2), u"2.0 mS");
    EXPECT_EQ(CellText(doc, 2, 1), u"开关类型");
    // What the English test asks to be empty is found here.
    EXPECT_TRUE(doc[u"chinese"].toString().startsWith(u"黑体"));
}

// Where each language's template is taken from.
TEST(TemplateSearch, EachLanguageInItsOrder) {
    enum Folder { Program, Executable, Installed };
    struct File {
        Folder folder;
        const char* name;
    };
    struct Case {
        const char* name;
        Language language;
        bool perUser; // the program folder is not the executable's
        std::vector<File> files;
        std::optional<File> expected;
    };
    const File kAll[] = {{Program, "Model.pat"},    {Program, "Model_en.pat"},
                         {Executable, "Model.pat"}, {Executable, "Model_en.pat"},
                         {Installed, "Model.pat"},  {Installed, "Model_en.pat"}};
    const std::vector<File> all(std::begin(kAll), std::end(kAll));
    const Case cases[] = {
        {"Chinese: the program folder's", Language::Chinese, true, all, File{Program, "Model.pat"}},
        {"Chinese never takes the English one",
         Language::Chinese,
         true,
         {{Program, "Model_en.pat"}, {Installed, "Model.pat"}},
         File{Installed, "Model.pat"}},
        {"Chinese beside the executable",
         Language::Chinese,
         false,
         {{Executable, "Model.pat"}, {Executable, "Model_en.pat"}},
         File{Executable, "Model.pat"}},
        {"Chinese: none", Language::Chinese, true, {{Executable, "Model_en.pat"}}, std::nullopt},
        {"English: the program folder's English one", Language::English, true, all,
         File{Program, "Model_en.pat"}},
        {"English: a lab's own in the per-user folder wins",
         Language::English,
         true,
         {{Program, "Model.pat"}, {Executable, "Model_en.pat"}, {Installed, "Model_en.pat"}},
         File{Program, "Model.pat"}},
        {"English: the build's Chinese beside the executable does not",
         Language::English,
         false,
         {{Executable, "Model.pat"}, {Executable, "Model_en.pat"}},
         File{Executable, "Model_en.pat"}},
        {"English: beside the executable before the installed one",
         Language::English,
         true,
         {{Executable, "Model_en.pat"}, {Installed, "Model_en.pat"}, {Installed, "Model.pat"}},
         File{Executable, "Model_en.pat"}},
        {"English: the installed one",
         Language::English,
         true,
         {{Executable, "Model.pat"}, {Installed, "Model_en.pat"}},
         File{Installed, "Model_en.pat"}},
        {"English: no English anywhere, the Chinese search",
         Language::English,
         false,
         {{Executable, "Model.pat"}, {Installed, "Model.pat"}},
         File{Executable, "Model.pat"}},
        {"English: none", Language::English, true, {}, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir root;
        const QString exe = root.filePath(QStringLiteral("bin"));
        const QString program = c.perUser ? root.filePath(QStringLiteral("home/oltc")) : exe;
        const QString folders[] = {program, exe, root.filePath(QStringLiteral("share/oltc"))};
        for (const File& file : c.files) {
            ASSERT_TRUE(QDir().mkpath(folders[file.folder] + QStringLiteral("/Model")));
            QFile made(folders[file.folder] + QStringLiteral("/Model/") +
                       QString::fromLatin1(file.name));
            ASSERT_TRUE(made.open(QIODevice::WriteOnly));
        }
        const QString found = TemplateFileAmong({program, exe, folders[Installed]}, c.language);
        const QString expected =
            c.expected
                ? QDir(folders[c.expected->folder])
                      .filePath(QStringLiteral("Model/") + QString::fromLatin1(c.expected->name))
                : QString();
        EXPECT_EQ(found, expected);
    }
}

// The program folder and the executable's folder named differently are
// still one folder: its Model.pat is the build's, not a lab's; and without a
// program folder (no home) the search goes on.
TEST(TemplateSearch, TheSameFolderSpelledOtherwise) {
    QTemporaryDir root;
    const QString exe = root.filePath(QStringLiteral("bin"));
    ASSERT_TRUE(QDir().mkpath(exe + QStringLiteral("/Model")));
    ASSERT_TRUE(QDir().mkpath(root.filePath(QStringLiteral("share/oltc/Model"))));
    for (const QString& name : {exe + QStringLiteral("/Model/Model.pat"),
                                root.filePath(QStringLiteral("share/oltc/Model/Model_en.pat"))}) {
        QFile made(name);
        ASSERT_TRUE(made.open(QIODevice::WriteOnly));
    }
    const QString installed = root.filePath(QStringLiteral("share/oltc"));
    const QString english = QDir(installed).filePath(QStringLiteral("Model/Model_en.pat"));
    for (const QString& program :
         {exe + u'/', root.filePath(QStringLiteral("bin/../bin")), QString()}) {
        SCOPED_TRACE(program.toStdString());
        EXPECT_EQ(TemplateFileAmong({program, exe, installed}, Language::English), english);
    }
}
