#pragma once

#include "ShownOptions.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdio>
#include <optional>

struct ReportOptions {
    ShownOptions shown;
    QStringList files;
    QString output; // -o: the one PDF
    QString folder; // -d: NAME.pdf per test
};

// Parses the arguments after "report"; the error text when they are wrong.
std::optional<QString> ParseReportArgs(const QStringList& args, ReportOptions& options);

// Needs a QApplication (the report chart is a widget, never shown). Prints
// each written path on `out` as its file is complete. Exit code 0; 2 for a
// bad option or an unreadable test; else 1 when a PDF could not be
// written. The other files are still done.
int RunReport(const ReportOptions& options, std::FILE* out, std::FILE* err);

QByteArray ReportUsage();
