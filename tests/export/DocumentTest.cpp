#include "Document.h"
#include "DocxPackage.h"
#include "ReadBack.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <pugixml.hpp>

namespace {

QString CellText(const QJsonObject& doc, int row, int cell) {
    return doc[u"rows"].toArray()[row - 1].toArray()[cell - 1].toString();
}

// A copy of the shipped template with its main part changed by `edit`.
QString EditedTemplate(const QTemporaryDir& folder, const char* name,
                       const std::function<void(QString&)>& edit) {
    DocxPackage package;
    EXPECT_TRUE(package.Open(TemplatePath()));
    pugi::xml_document xml;
    EXPECT_TRUE(package.LoadXml(package.MainPart(), xml));
    std::ostringstream out;
    xml.save(out, "", pugi::format_raw);
    QString text = QString::fromStdString(out.str());
    edit(text);
    const QByteArray bytes = text.toUtf8();
    EXPECT_TRUE(
        xml.load_buffer(bytes.constData(), size_t(bytes.size()),
                        pugi::parse_default | pugi::parse_ws_pcdata | pugi::parse_declaration));
    package.SetXml(package.MainPart(), xml);
    const QString path = folder.filePath(QString::fromLatin1(name));
    EXPECT_TRUE(package.Save(path));
    return path;
}

} // namespace

TEST(Document, CellsAndPictureReadBackByPythonDocx) {
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("报告.docx"));
    // Choosing an existing document replaces it with the new report.
    QFile old(path);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("an earlier file");
    old.close();

    ShownTest shown = SampleShown();
    shown.boxes[5] = QStringLiteral("14.21"); // EdtAR2
    shown.boxes[6] = QStringLiteral("9.8");   // EdtBT1
    shown.panel.user = QStringLiteral("007");
    const QImage picture = SamplePicture();
    ASSERT_TRUE(WriteDocument(shown, picture, TemplatePath(), path).ok());
    QImage stored;
    const QJsonObject doc = ReadBack(path, &stored);

    const std::tuple<int, int, const char*> cells[] = {
        {2, 2, "中性点引出"},
        {3, 2, "(A.B.C)->O"},
        {4, 2, "8 -> 9"},
        {5, 2, "2.5"},
        {7, 2, "20 点"},
        {8, 2, "2.0 mS"},
        {10, 2, "007"},
        {12, 2, "2026-12-09 10:31:07"},
        {2, 5, "10.0"},
        {7, 4, "14.21"},
        {9, 4, "9.8"},
        {21, 5, "13.37"},
        {23, 4, "转角: 2 圈 35 度"},
        {23, 6, "0.0"},
        {23, 8, "0.0"},
        {25, 8, "0.00"},
    };
    for (const auto& [row, cell, text] : cells)
        EXPECT_EQ(CellText(doc, row, cell), QString::fromUtf8(text)) << row << "," << cell;
    // The labels beside the values are the template's.
    EXPECT_EQ(CellText(doc, 7, 3), u"过渡电阻 R2");
    EXPECT_EQ(CellText(doc, 2, 1), u"开关类型");

    EXPECT_EQ(doc[u"pictures"].toInt(), 1);
    const QJsonObject at = doc[u"picture"].toObject();
    EXPECT_EQ(at[u"cx"].toInt(), 469 * 12700);
    EXPECT_EQ(at[u"cy"].toInt(), 345 * 12700);
    // In place of "pic", the paragraph after the caption.
    EXPECT_EQ(at[u"paragraph_text"].toString(), u"");
    EXPECT_EQ(doc[u"paragraphs"].toArray().last().toString(), u"");
    EXPECT_TRUE(doc[u"paragraphs"].toArray()[2].toString().startsWith(u"测试曲线"));
    EXPECT_EQ(stored.convertToFormat(QImage::Format_RGB32), picture) << "the same pixels";
}

TEST(Document, ThePlaceholderWord) {
    struct Case {
        const char* name;
        const char* replacement; // for the template's <w:t>pic</w:t>
        const char* paragraph;   // the text left beside the picture
        bool first;              // the picture opens the document
    };
    const Case cases[] = {
        {"split across runs, other case",
         "<w:t>epic P</w:t></w:r><w:r><w:rPr><w:b/></w:rPr><w:t>I</w:t></w:r><w:r><w:t>c, "
         "here</w:t>",
         "epic , here", false},
        {"not a whole word: the picture opens the document", "<w:t>pics</w:t>", "", true},
        {"no placeholder", "<w:t>曲线</w:t>", "", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir folder;
        const QString model = EditedTemplate(folder, "Model.pat", [&](QString& xml) {
            xml.replace(QStringLiteral("<w:t>pic</w:t>"), QString::fromUtf8(c.replacement));
        });
        const QString path = folder.filePath(QStringLiteral("t.docx"));
        ASSERT_TRUE(WriteDocument(SampleShown(), SamplePicture(), model, path).ok());
        const QJsonObject doc = ReadBack(path);
        EXPECT_EQ(doc[u"pictures"].toInt(), 1);
        const QJsonObject at = doc[u"picture"].toObject();
        EXPECT_EQ(at[u"paragraph_text"].toString(), QString::fromUtf8(c.paragraph));
        EXPECT_EQ(at[u"paragraph_index"].toInt() == 0, c.first);
        EXPECT_EQ(CellText(doc, 2, 2), u"中性点引出") << "filled all the same";
    }
}

TEST(Document, TemplatesThatDoNotMatchLeaveTheEarlierFile) {
    struct Case {
        const char* name;
        std::function<QString(const QTemporaryDir&)> model;
    };
    const Case cases[] = {
        {"not a document",
         [](const QTemporaryDir& folder) {
             QFile file(folder.filePath(QStringLiteral("Model.pat")));
             file.open(QIODevice::WriteOnly);
             file.write("plain text");
             return file.fileName();
         }},
        {"no table",
         [](const QTemporaryDir& folder) {
             return EditedTemplate(folder, "Model.pat", [](QString& xml) {
                 xml.replace(QRegularExpression(QStringLiteral("<w:tbl>.*</w:tbl>"),
                                                QRegularExpression::DotMatchesEverythingOption),
                             QString());
             });
         }},
        {"24 rows",
         [](const QTemporaryDir& folder) {
             return EditedTemplate(folder, "Model.pat", [](QString& xml) {
                 const qsizetype last = xml.lastIndexOf(QStringLiteral("<w:tr>"));
                 xml.remove(last, xml.indexOf(QStringLiteral("</w:tr>"), last) + 7 - last);
             });
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("t.docx"));
        QFile old(path);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("an earlier file");
        old.close();
        const ExportResult result =
            WriteDocument(SampleShown(), SamplePicture(), c.model(folder), path);
        EXPECT_EQ(result.code, ExportResult::TemplateMismatch) << result.detail.toStdString();
        ASSERT_TRUE(old.open(QIODevice::ReadOnly));
        EXPECT_EQ(old.readAll(), "an earlier file");
        old.close();
        EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden).size(), 2)
            << "no temporary file stays";
    }
}

// What a test's own texts hold never breaks the document nor takes the
// picture: control bytes from the tester are dropped (XML 1.0 forbids
// them, and no reader opens a part that holds them), and "pic" in a text
// is only a text.
TEST(Document, TheTestsTextsAreOnlyTexts) {
    ShownTest shown = SampleShown();
    shown.panel.user = QStringLiteral("Wa\x0Bng\x1B[1m");
    shown.panel.addr = QStringLiteral("pic");
    shown.panel.memoTime = QStringLiteral("2026-12-09\x0C 10:31:07");
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("t.docx"));
    ASSERT_TRUE(WriteDocument(shown, SamplePicture(), TemplatePath(), path).ok());
    const QJsonObject doc = ReadBack(path);
    EXPECT_EQ(CellText(doc, 10, 2), u"Wang[1m");
    EXPECT_EQ(CellText(doc, 11, 2), u"pic");
    EXPECT_EQ(CellText(doc, 12, 2), u"2026-12-09 10:31:07");
    EXPECT_EQ(doc[u"pictures"].toInt(), 1);
    // Where the template's placeholder stood, after the caption.
    const QJsonObject at = doc[u"picture"].toObject();
    EXPECT_GT(at[u"paragraph_index"].toInt(), 0);
    EXPECT_EQ(at[u"paragraph_text"].toString(), u"");
    EXPECT_TRUE(doc[u"paragraphs"].toArray()[2].toString().startsWith(u"测试曲线"));
}

// What the archive knows of the test fills the labels above the table; a
// test it knows nothing of leaves them as the template has them.
TEST(Document, TheDeviceAndReportNumberFromTheArchive) {
    struct Case {
        const char *device, *report, *line;
    };
    const Case cases[] = {
        {"", "", "被试设备：                              报告编号：                  "},
        {"北郊站2号主变 OLTC", "R-2026-001",
         "被试设备：北郊站2号主变 OLTC            报告编号：R-2026-001        "},
        {"", "R-7", "被试设备：                              报告编号：R-7               "},
        {"一个很长很长很长很长很长很长的设备名称", "",
         "被试设备：一个很长很长很长很长很长很长的设备名称 报告编号：                  "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("d.docx"));
        ShownTest shown = SampleShown();
        shown.device = QString::fromUtf8(c.device);
        shown.report = QString::fromUtf8(c.report);
        ASSERT_TRUE(WriteDocument(shown, SamplePicture(), TemplatePath(), path).ok());
        const QJsonArray paragraphs = ReadBack(path)[u"paragraphs"].toArray();
        ASSERT_FALSE(paragraphs.isEmpty());
        ASSERT_GE(paragraphs.size(), 2);
        EXPECT_EQ(paragraphs[1].toString(), QString::fromUtf8(c.line));
    }
}
