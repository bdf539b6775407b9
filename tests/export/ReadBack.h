#pragma once

#include "ShownTest.h"

#include <QImage>
#include <QJsonObject>
#include <QString>
#include <ostream>

inline void PrintTo(const QString& text, std::ostream* os) {
    *os << text.toStdString();
}

// What Debian's openpyxl or python-docx read from an exported file; the
// first stored picture goes to `picture` when given.
QJsonObject ReadBack(const QString& path, QImage* picture = nullptr);

// A test as the window shows it after opening: phases stepping at 10, 20,
// 30, 40 ms, markers at their start, the given panel texts.
ShownTest SampleShown();

// A chart-like picture with a pixel pattern that survives only a lossless copy.
QImage SamplePicture(QSize size = {571, 586});

QString TemplatePath();
// The built English template.
QString EnglishTemplatePath();
