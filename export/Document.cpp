#include "Document.h"

#include "ChartPicture.h"
#include "DocxPackage.h"
#include "FileTarget.h"
#include "SheetCells.h"

#include <QCoreApplication>
#include <QDir>
#include <algorithm>
#include <cmath>
#include <optional>
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

bool Named(pugi::xml_node node, std::string_view name) {
    return name == node.name();
}

// The next node after `node` in document order within `root`, not looking
// below `node` when `into` is false; null at the end. Calls `leave` for
// each element left on the way up. No recursion: a crafted part may nest
// as deep as it likes.
template <typename Leave>
pugi::xml_node NextNode(pugi::xml_node root, pugi::xml_node node, bool into, Leave leave) {
    if (into && node.first_child())
        return node.first_child();
    for (; node && node != root; node = node.parent()) {
        leave(node);
        if (node.next_sibling())
            return node.next_sibling();
    }
    return {};
}

template <typename Visit> void ForEachNode(pugi::xml_node root, Visit visit) {
    for (pugi::xml_node n = root.first_child(); n; n = NextNode(root, n, true, [](auto) {}))
        visit(n);
}

// The text of every paragraph of the body, in the order the paragraphs
// begin; a run counts for the paragraph nearest above it (a text box's
// paragraph inside a paragraph has its own). One pass over the document.
std::vector<std::vector<TextChar>> ParagraphTexts(pugi::xml_node body) {
    std::vector<std::vector<TextChar>> texts;
    std::vector<size_t> open; // the paragraphs entered and not yet left
    const auto leave = [&](pugi::xml_node n) {
        if (Named(n, "w:p"))
            open.pop_back();
    };
    for (pugi::xml_node n = body.first_child(); n; n = NextNode(body, n, true, leave)) {
        if (Named(n, "w:p")) {
            open.push_back(texts.size());
            texts.emplace_back();
            continue;
        }
        if (!Named(n, "w:r") || open.empty())
            continue;
        std::vector<TextChar>& chars = texts[open.back()];
        for (pugi::xml_node child : n.children()) {
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
    return texts;
}

// Where the picture goes: the first whole word "pic" of the body.
struct Placeholder {
    std::vector<TextChar> chars; // its paragraph's text
    size_t at = 0;               // where the word begins in it
};

std::optional<Placeholder> FindPlaceholder(pugi::xml_document& document) {
    const pugi::xml_node body = document.child("w:document").child("w:body");
    for (std::vector<TextChar>& chars : ParagraphTexts(body)) {
        for (size_t i = 0; i + 3 <= chars.size(); ++i) {
            const QString word = QString(chars[i].c) + chars[i + 1].c + chars[i + 2].c;
            if (word.compare(u"pic", Qt::CaseInsensitive) != 0 || !chars[i].t || !chars[i + 2].t)
                continue;
            if ((i > 0 && IsWordChar(chars[i - 1].c)) ||
                (i + 3 < chars.size() && IsWordChar(chars[i + 3].c)))
                continue;
            return Placeholder{std::move(chars), i};
        }
    }
    return std::nullopt;
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
                          const QString& relationId, quint64 pictureId) {
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
            "<wp:docPr id=\"%3\" name=\"%5\"/><wp:cNvGraphicFramePr>"
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
            .arg(cx, cy, QString::number(pictureId), relationId,
                 QCoreApplication::translate("Document", "测试曲线"));
    pugi::xml_document drawing;
    const QByteArray bytes = xml.toUtf8();
    drawing.load_buffer(bytes.constData(), size_t(bytes.size()));
    run.append_copy(drawing.first_child());
    return run;
}

// An id for the picture that no other drawing of the document has. The ids
// are unsigned 32-bit numbers: one past the largest, or when that is taken
// by the largest possible, the smallest free one.
quint64 FreeDrawingId(pugi::xml_document& document) {
    constexpr quint64 kLargestId = 0xFFFFFFFFu;
    std::vector<quint64> ids;
    ForEachNode(document, [&](pugi::xml_node n) {
        if (Named(n, "wp:docPr"))
            ids.push_back(n.attribute("id").as_ullong());
    });
    const quint64 largest = ids.empty() ? 0 : *std::max_element(ids.begin(), ids.end());
    if (largest < kLargestId)
        return largest + 1;
    std::sort(ids.begin(), ids.end());
    quint64 free = 1;
    for (quint64 id : ids)
        if (id == free)
            ++free;
    return free;
}

// Puts the picture in place of the placeholder's word, or at the start of
// the document without one.
void PlacePicture(pugi::xml_document& document, const std::optional<Placeholder>& placeholder,
                  const QString& relationId) {
    const quint64 id = FreeDrawingId(document);
    if (!placeholder) {
        pugi::xml_node body = document.child("w:document").child("w:body");
        pugi::xml_node paragraph = body.prepend_child("w:p");
        PictureRun(paragraph, {}, {}, relationId, id);
        return;
    }
    const std::vector<TextChar>& chars = placeholder->chars;
    const size_t i = placeholder->at;
    // Take the word out of its runs, then split the run that held its first
    // letter: the picture goes between the two halves.
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
}

// The cells the export writes, in the order of DocumentCells; empty when
// the document has no table or the table lacks one.
std::vector<pugi::xml_node> ListedCells(pugi::xml_document& document,
                                        const std::vector<PlacedText>& cells) {
    const pugi::xml_node table = FirstTable(document);
    if (!table)
        return {};
    std::vector<pugi::xml_node> found;
    for (const PlacedText& cell : cells) {
        pugi::xml_node tc = NthChild(NthChild(table, "w:tr", cell.row), "w:tc", cell.column);
        if (!tc)
            return {};
        found.push_back(tc);
    }
    return found;
}

// Whether `node` lies in one of `cells`.
bool InCells(pugi::xml_node node, const std::vector<pugi::xml_node>& cells) {
    for (; node; node = node.parent())
        if (Named(node, "w:tc"))
            return std::find(cells.begin(), cells.end(), node) != cells.end();
    return false;
}

// Read when used: the translation is installed after start-up.
QString kDeviceLabel() {
    return QCoreApplication::translate("Document", "被试设备：");
}
// Read when used: the translation is installed after start-up.
QString kReportLabel() {
    return QCoreApplication::translate("Document", "报告编号：");
}

// The texts of the body that hold the device or report label, outside the
// cells about to be filled; a template has one, a crafted one is not
// searched for ever.
std::vector<pugi::xml_node> LabelTexts(pugi::xml_document& document,
                                       const std::vector<pugi::xml_node>& cells) {
    std::vector<pugi::xml_node> found;
    ForEachNode(document.child("w:document").child("w:body"), [&](pugi::xml_node node) {
        if (Named(node, "w:t")) {
            const QString text = TextOf(node);
            if (found.size() < 16 &&
                (text.contains(kDeviceLabel()) || text.contains(kReportLabel())) &&
                !InCells(node, cells))
                found.push_back(node);
        }
    });
    return found;
}

// The blanks after `label` take `value`, as wide as they were where it fits
// (a wide character counts twice).
QString AfterLabel(QString text, const QString& label, const QString& value) {
    const qsizetype at = text.indexOf(label);
    if (at < 0 || value.isEmpty())
        return text;
    qsizetype from = at + label.size();
    // Latin text puts a blank after the colon; a full-width one needs none.
    if (label.endsWith(u':') && from < text.size() && text[from] == u' ')
        ++from;
    qsizetype blanks = 0;
    while (from + blanks < text.size() && text[from + blanks] == u' ')
        ++blanks;
    qsizetype width = 0;
    for (QChar c : value)
        width += c.unicode() >= 0x2E80 ? 2 : 1;
    const bool more = from + blanks < text.size();
    const qsizetype pad = std::max<qsizetype>(blanks - width, blanks > 0 && more ? 1 : 0);
    return text.replace(from, blanks, value + QString(pad, u' '));
}

} // namespace

bool FillTable(pugi::xml_document& document, const ShownTest& shown) {
    const std::vector<PlacedText> cells = DocumentCells(shown);
    // Every cell must be there before any is written.
    const std::vector<pugi::xml_node> found = ListedCells(document, cells);
    if (found.size() != cells.size())
        return false;
    for (size_t i = 0; i < cells.size(); ++i)
        SetCellText(found[i], cells[i].text);
    return true;
}

void InsertDocumentPicture(pugi::xml_document& document, const QString& relationId) {
    PlacePicture(document, FindPlaceholder(document), relationId);
}

ExportResult WriteDocument(const ShownTest& shown, const QImage& chart, const QString& templatePath,
                           const QString& path) {
    const auto mismatch = [&](const QString& why) {
        return ExportResult::Failed(ExportResult::TemplateMismatch,
                                    QDir::toNativeSeparators(templatePath) + QStringLiteral(": ") +
                                        why);
    };
    DocxPackage package;
    if (QString why; !package.Open(templatePath, &why))
        return mismatch(why);
    pugi::xml_document document;
    if (!package.LoadXml(package.MainPart(), document))
        return mismatch(QStringLiteral("no readable main part %1").arg(package.MainPart()));
    if (!document.child("w:document").child("w:body"))
        return mismatch(QStringLiteral("the main part has no body"));
    // The placeholder is the template's: looked for before any test text is
    // in, and not in a cell about to be filled.
    std::optional<Placeholder> placeholder = FindPlaceholder(document);
    const std::vector<PlacedText> cells = DocumentCells(shown);
    const std::vector<pugi::xml_node> found = ListedCells(document, cells);
    if (found.size() != cells.size())
        return mismatch(QStringLiteral("the first table lacks a cell to fill"));
    if (placeholder && InCells(placeholder->chars[placeholder->at].t, found))
        placeholder.reset();
    const std::vector<pugi::xml_node> labels = LabelTexts(document, found);
    const QByteArray png = PngOf(chart);
    if (png.isEmpty())
        return ExportResult::Failed(ExportResult::CannotWrite,
                                    QStringLiteral("the chart picture cannot be stored"));
    const std::optional<QString> relation = package.AddImage(png);
    if (!relation)
        return mismatch(QStringLiteral("no readable relationships"));
    PlacePicture(document, placeholder, *relation);
    for (size_t i = 0; i < cells.size(); ++i)
        SetCellText(found[i], cells[i].text);
    for (pugi::xml_node t : labels)
        SetText(t, AfterLabel(AfterLabel(TextOf(t), kDeviceLabel(), shown.device), kReportLabel(),
                              shown.report));
    package.SetXml(package.MainPart(), document);

    QString why;
    const QByteArray bytes = package.Bytes(&why);
    if (bytes.isEmpty())
        return WriteFailure(path, why);
    if (!WriteWholeFile(path, bytes, &why))
        return WriteFailure(path, why);
    return {};
}
