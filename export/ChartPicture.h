#pragma once

#include "ShownTest.h"

#include <QImage>
#include <QSize>
#include <QString>

class QWidget;

// The exports store the chart at 96 dots per inch (as near as a whole
// number of dots per metre comes).
inline constexpr int kPictureDotsPerMeter = 3780;

// The chart picture as PNG: the same pixels, compressed.
QByteArray PngOf(const QImage& picture);

// A pixel copy of what the chart shows (markers, cursor, zoom included).
QImage ChartPictureOf(QWidget& chart);

// Writes the picture as a Windows bitmap; false with the reason in `error`.
bool SaveChartPicture(const QImage& picture, const QString& path, QString* error);

// The chart of a test as the main window would draw it at its opening size,
// drawn without a window (for the command line).
QImage DrawChartPicture(const ShownTest& shown);

// The chart's size in the main window at its opening size.
QSize ChartSizeAtOpening();
