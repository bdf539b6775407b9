#pragma once

#include "ExportResult.h"
#include "ShownTest.h"

#include <QImage>
#include <QString>

namespace pugi {
class xml_document;
}

// The picture's size in the document, in points.
inline constexpr double kDocumentPictureWidth = 469, kDocumentPictureHeight = 345;

// Writes the listed cells of the first table; false when the document has
// no table or the table lacks one of the cells.
bool FillTable(pugi::xml_document& document, const ShownTest& shown);

// Replaces the first whole word "pic" (any letter case, also when split
// across runs) by an inline picture of relationship `relationId`; without
// one the picture opens the document.
void InsertDocumentPicture(pugi::xml_document& document, const QString& relationId);

// The document of a test from the template (a .docx): the cells filled, the
// chart in place of "pic". Written through a temporary file: on failure
// nothing at `path` changes. TemplateMismatch when the template is not a
// document or lacks the table or a cell.
ExportResult WriteDocument(const ShownTest& shown, const QImage& chart, const QString& templatePath,
                           const QString& path);
