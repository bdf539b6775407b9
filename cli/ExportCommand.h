#pragma once

#include "ShownOptions.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

struct ExportOptions {
    ShownOptions shown; // --marker, --inverted, --color
    QStringList files;
    QString output;    // -o FILE
    QString directory; // -d DIR
    QString format;    // --format xlsx|docx|csv, with -d
};

// Parses the arguments after "export"; the error text when they are wrong.
std::optional<QString> ParseExportArgs(const QStringList& args, ExportOptions& options);

// Writes the exports; needs a QApplication (the chart is drawn). Exit code
// 0, 2 when a test file could not be read, 1 when an export could not be
// written (the template missing or not matching included).
int RunExport(const ExportOptions& options, QByteArray& out, QByteArray& err);

QByteArray ExportUsage();
