#pragma once

#include "ExportResult.h"
#include "ShownTest.h"

#include <QImage>
#include <QString>

// "a".."z", "aa".."zz": the column letters of ranges (1 gives a, 27 aa).
QString ColumnName(int n);

// Where the chart picture stands on the first sheet, in points.
inline constexpr double kSheetPictureLeft = 150, kSheetPictureTop = 20;
inline constexpr double kSheetPictureWidth = 485, kSheetPictureHeight = 360;

// The workbook of a test: the first sheet as the window shows it, all of
// it text-formatted, with the chart picture; a second sheet "波形数据" with
// the samples as numbers and a line chart of them. Written through a
// temporary file: on failure nothing at `path` changes.
ExportResult WriteWorkbook(const ShownTest& shown, const QImage& chart, const QString& path);
