#pragma once

#include <QString>

// `text` with its control characters (C0, DEL, C1) written as \xNN, so that
// a text from a file cannot move the cursor or rewrite the terminal.
QString VisibleText(const QString& text);
