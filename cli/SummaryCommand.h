#pragma once

#include <QByteArray>
#include <QStringList>
#include <cstdio>

// oltc-cli summary: a campaign of tests judged tap by tap, written as JSON
// CSV or PDF; the PDF needs a QApplication. The arguments after "summary"; `defaultArchive` gives
// the kept markers of tests when it exists. Exit 0 (whatever the verdicts), 1 when the output
// cannot be written or the archive cannot be used, 2 for bad arguments or a test that cannot be
// read, 3 when a server went away.
int RunSummary(const QStringList& args, const QString& defaultArchive, std::FILE* out,
               std::FILE* err);

QByteArray SummaryUsage();
