#include "Document.h"

#include "ChartPicture.h"
#include "DocxPackage.h"
#include "FileTarget.h"
#include "SheetCells.h"

#include <QDir>
#include <cmath>
#include <pugixml.hpp>

namespace {

constexpr long long kEmuPerPoint = 12700;

pugi::xml_node NthChild(pugi::xml_node parent, const char* name, int n) {
    for (pugi::xml_node child = parent.child(name); child; child = child.next_sibling(name))
        if (--n == 0)
            return child;
    return {};
}

pugi::xml_node FirstTable(pugi::xml_document& document) {
    return document.find_node(
        [](pugi::xml_node node) { return std::string_view(node.name()) == "w:tbl"; });
}

// The run formatting a cell's text keeps: its first run's, else that of the
// paragraph mark.
pugi::xml_node RunFormat(pugi::xml_node paragraph) {
    if (pugi::xml_node run = paragraph.find_node(
            [](pugi::xml_node n) { return std::string_view(n.name()) == "w:r"; }))
        if (pugi::xml_node format = run.child("w:rPr"))
            return format;
    return paragraph.child("w:pPr").child("w:rPr");
}

// Appends the text as w:t runs, line breaks as w:br.
void AppendText(pugi::xml_node run, const QString& text) {
    const QStringList lines = text.split(u'\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i > 0)
            run.append_child("w:br");
        pugi::xml_node t = run.append_child("w:t");
        t.append_attribute("xml:space") = "preserve";
        t.text().set(lines[i].toUtf8().constData());
    }
}

void SetCellText(pugi::xml_node cell, const QString& text) {
    pugi::xml_node paragraph = cell.child("w:p");
    if (!paragraph)
        paragraph = cell.append_child("w:p");
    const pugi::xml_node format = RunFormat(paragraph);
    pugi::xml_document keep;
    if (format)
        keep.append_copy(format);
    // Only the first paragraph stays, with its own formatting.
    for (pugi::xml_node next = paragraph.next_sibling(); next;) {
        const pugi::xml_node after = next.next_sibling();
        if (std::string_view(next.name()) != "w:tcPr")
            cell.remove_child(next);
        next = after;
    }
    for (pugi::xml_node child = paragraph.first_child(); child;) {
        const pugi::xml_node after = child.next_sibling();
        if (std::string_view(child.name()) != "w:pPr")
            paragraph.remove_child(child);
        child = after;
    }
    pugi::xml_node run = paragraph.append_child("w:r");
    if (keep.first_child())
        run.append_copy(keep.first_child());
    AppendText(run, text);
}

// One character of a paragraph's text and where it stands.
struct TextChar {
    QChar c;
    pugi::xml_node t; // the w:t holding it; null for tabs and breaks
    int offset;       // within the w:t's text, in UTF-16 units
};

bool IsWordChar(QChar c) {
    return c.isLetterOrNumber() || c == u'_';
}

pugi::xml_node ParagraphOf(pugi::xml_node node) {
    for (node = node.parent(); node; node = node.parent())
        if (std::string_view(node.name()) == "w:p")
            return node;
    return {};
}

std::vector<TextChar> ParagraphText(pugi::xml_node paragraph) {
    std::vector<TextChar> chars;
    for (const pugi::xpath_node& hit : paragraph.select_nodes(".//w:r")) {
        const pugi::xml_node run = hit.node();
        if (ParagraphOf(run) != paragraph)
            continue; // a run of a text box inside this paragraph
        for (pugi::xml_node child : run.children()) {
            const std::string_view name = child.name();
            if (name == "w:t") {
                const QString text = QString::fromUtf8(child.text().get());
                for (int i = 0; i < text.size(); ++i)
                    chars.push_back({text[i], child, i});
            } else if (name == "w:tab" || name == "w:br" || name == "w:cr") {
                chars.push_back({u' ', {}, 0});
            }
        }
    }
    return chars;
}

void SetText(pugi::xml_node t, const QString& text) {
    t.text().set(text.toUtf8().constData());
    if (!t.attribute("xml:space"))
        t.append_attribute("xml:space") = "preserve";
}

QString TextOf(pugi::xml_node t) {
    return QString::fromUtf8(t.text().get());
}

pugi::xml_node PictureRun(pugi::xml_node parent, pugi::xml_node before, pugi::xml_node format,
                          const QString& relationId, int pictureId) {
    pugi::xml_node run =
        before ? parent.insert_child_after("w:r", before) : parent.prepend_child("w:r");
    if (format)
        run.append_copy(format);
    const QString cx = QString::number(std::llround(kDocumentPictureWidth * kEmuPerPoint));
    const QString cy = QString::number(std::llround(kDocumentPictureHeight * kEmuPerPoint));
    const QString xml =
        QStringLiteral(
            "<w:drawing><wp:inline distT=\"0\" distB=\"0\" distL=\"0\" distR=\"0\" "
            "xmlns:wp=\"http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing\">"
            "<wp:extent cx=\"%1\" cy=\"%2\"/><wp:effectExtent l=\"0\" t=\"0\" r=\"0\" b=\"0\"/>"
            "<wp:docPr id=\"%3\" name=\"测试曲线\"/><wp:cNvGraphicFramePr>"
            "<a:graphicFrameLocks "
            "xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\" "
            "noChangeAspect=\"1\"/></wp:cNvGraphicFramePr>"
            "<a:graphic xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\">"
            "<a:graphicData uri=\"http://schemas.openxmlformats.org/drawingml/2006/picture\">"
            "<pic:pic xmlns:pic=\"http://schemas.openxmlformats.org/drawingml/2006/picture\">"
            "<pic:nvPicPr><pic:cNvPr id=\"0\" name=\"chart.png\"/><pic:cNvPicPr/></pic:nvPicPr>"
            "<pic:blipFill><a:blip r:embed=\"%4\" "
            "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\"/>"
            "<a:stretch><a:fillRect/></a:stretch></pic:blipFill>"
            "<pic:spPr><a:xfrm><a:off x=\"0\" y=\"0\"/><a:ext cx=\"%1\" cy=\"%2\"/></a:xfrm>"
            "<a:prstGeom prst=\"rect\"><a:avLst/></a:prstGeom></pic:spPr>"
            "</pic:pic></a:graphicData></a:graphic></wp:inline></w:drawing>")
            .arg(cx, cy, QString::number(pictureId), relationId);
    pugi::xml_document drawing;
    const QByteArray bytes = xml.toUtf8();
    drawing.load_buffer(bytes.constData(), size_t(bytes.size()));
    run.append_copy(drawing.first_child());
    return run;
}

int FreeDrawingId(pugi::xml_document& document) {
    int largest = 0;
    for (const pugi::xpath_node& node : document.select_nodes("//wp:docPr"))
        largest = std::max(largest, node.node().attribute("id").as_int());
    return largest + 1;
}

} // namespace

bool FillTable(pugi::xml_document& document, const ShownTest& shown) {
    const pugi::xml_node table = FirstTable(document);
    if (!table)
        return false;
    const std::vector<PlacedText> cells = DocumentCells(shown);
    // Every cell must be there before any is written.
    std::vector<pugi::xml_node> found;
    for (const PlacedText& cell : cells) {
        pugi::xml_node tc = NthChild(NthChild(table, "w:tr", cell.row), "w:tc", cell.column);
        if (!tc)
            return false;
        found.push_back(tc);
    }
    for (size_t i = 0; i < cells.size(); ++i)
        SetCellText(found[i], cells[i].text);
    return true;
}

void InsertDocumentPicture(pugi::xml_document& document, const QString& relationId) {
    const int id = FreeDrawingId(document);
    for (const pugi::xpath_node& hit : document.select_nodes("//w:body//w:p")) {
        const pugi::xml_node paragraph = hit.node();
        const std::vector<TextChar> chars = ParagraphText(paragraph);
        for (size_t i = 0; i + 3 <= chars.size(); ++i) {
            const QString word = QString(chars[i].c) + chars[i + 1].c + chars[i + 2].c;
            if (word.compare(u"pic", Qt::CaseInsensitive) != 0 || !chars[i].t || !chars[i + 2].t)
                continue;
            if ((i > 0 && IsWordChar(chars[i - 1].c)) ||
                (i + 3 < chars.size() && IsWordChar(chars[i + 3].c)))
                continue;
            // Take the word out of its runs, then split the run that held
            // its first letter: the picture goes between the two halves.
            for (int k = 2; k >= 0; --k) {
                const TextChar& ch = chars[i + size_t(k)];
                SetText(ch.t, TextOf(ch.t).remove(ch.offset, 1));
            }
            const TextChar& first = chars[i];
            pugi::xml_node run = first.t.parent();
            const pugi::xml_node format = run.child("w:rPr");
            const QString text = TextOf(first.t);
            SetText(first.t, text.left(first.offset));
            const QString after = text.mid(first.offset);
            const pugi::xml_node picture = PictureRun(run.parent(), run, format, relationId, id);
            if (!after.isEmpty() || first.t.next_sibling()) {
                pugi::xml_node rest = run.parent().insert_child_after("w:r", picture);
                if (format)
                    rest.append_copy(format);
                if (!after.isEmpty())
                    SetText(rest.append_child("w:t"), after);
                for (pugi::xml_node moved = first.t.next_sibling(); moved;) {
                    const pugi::xml_node next = moved.next_sibling();
                    rest.append_move(moved);
                    moved = next;
                }
            }
            return;
        }
    }
    // No placeholder: the picture opens the document.
    pugi::xml_node body = document.child("w:document").child("w:body");
    pugi::xml_node paragraph = body.prepend_child("w:p");
    PictureRun(paragraph, {}, {}, relationId, id);
}

ExportResult WriteDocument(const ShownTest& shown, const QImage& chart, const QString& templatePath,
                           const QString& path) {
    const auto mismatch = [&](const QString& why) {
        return ExportResult::Failed(ExportResult::TemplateMismatch,
                                    QDir::toNativeSeparators(templatePath) + QStringLiteral(": ") +
                                        why);
    };
    DocxPackage package;
    if (!package.Open(templatePath))
        return mismatch(QStringLiteral("not a document"));
    pugi::xml_document document;
    if (!package.LoadXml(package.MainPart(), document))
        return mismatch(QStringLiteral("no readable main part"));
    if (!FillTable(document, shown))
        return mismatch(QStringLiteral("the first table lacks a cell to fill"));
    const QByteArray png = PngOf(chart);
    if (png.isEmpty())
        return ExportResult::Failed(ExportResult::CannotWrite,
                                    QStringLiteral("the chart picture cannot be stored"));
    const std::optional<QString> relation = package.AddImage(png);
    if (!relation)
        return mismatch(QStringLiteral("no readable relationships"));
    InsertDocumentPicture(document, *relation);
    package.SetXml(package.MainPart(), document);

    StagedFile staged(path);
    if (QString why; !staged.Prepare(&why))
        return WriteFailure(path, why);
    if (!package.Save(staged.TempPath()))
        return WriteFailure(path, QStringLiteral("cannot be written"));
    if (QString why; !staged.Commit(&why))
        return WriteFailure(path, why);
    return {};
}
