#pragma once

#include <QByteArray>
#include <QStringList>
#include <utility>

// The test files that `operands` name: a file ending in .cty as given, a
// folder searched through (its .cty files, depth first in name order, by
// their own bytes). What cannot be taken goes to `refused`, one line each:
// the name and why.
QStringList CollectTestFiles(const QStringList& operands, QStringList& refused);

// The test files' bytes (their first 32356), with their paths; a file that
// cannot be read or is too short for a test goes to `refused`.
QList<std::pair<QString, QByteArray>> ReadTests(const QStringList& files, QStringList& refused);
