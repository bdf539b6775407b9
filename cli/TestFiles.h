#pragma once

#include <QStringList>

// The test files that `operands` name: a file ending in .cty as given, a
// folder searched through (its .cty files, depth first in name order, by
// their own bytes). What cannot be taken goes to `refused`, one line each:
// the name and why.
QStringList CollectTestFiles(const QStringList& operands, QStringList& refused);
