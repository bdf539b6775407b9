#pragma once

#include "ShownOptions.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdio>
#include <optional>

struct ExportOptions {
    ShownOptions shown; // --marker, --auto-markers, --inverted, --color, --brand
    QStringList files;
    QString output;             // -o FILE
    QString directory;          // -d DIR
    QString format;             // --format xlsx|docx|csv|cfg|json, with -d
    bool comtradeAscii = false; // --comtrade-ascii
};

// Parses the arguments after "export"; the error text when they are wrong.
std::optional<QString> ParseExportArgs(const QStringList& args, ExportOptions& options);

// The extensions -o takes, in lower case.
extern const QStringList kExportExtensions;

// Whether the exports asked for draw the chart (all but the waveform data),
// and so need a QApplication.
bool ExportDraws(const ExportOptions& options);

// Writes the exports, printing each written path on `out` as its file is
// complete. Exit code 0, 2 when a test file could not be read, 1 when an
// export could not be written (the template missing or not matching
// included).
int RunExport(const ExportOptions& options, std::FILE* out, std::FILE* err);

QByteArray ExportUsage();
