#pragma once

#include <QByteArray>
#include <QString>
#include <cstdio>

// A message as the bytes printed: UTF-8, with every file name in it given
// as its own bytes, so that a name which is not UTF-8 is printed as the
// system names it and can be used again.
QByteArray TerminalBytes(const QString& text);

// Whether `stream` is a terminal.
bool IsTerminal(std::FILE* stream);

// A file name inside a message: into a pipe or a file its own bytes, for a
// script to use again; on a terminal with control characters (a newline,
// an escape sequence) and bytes that are not UTF-8 written as \xNN, so
// that a name cannot move the cursor or rewrite the screen.
QString PrintedName(const QString& name, bool terminal);

// Writes the bytes, as given, or the text as TerminalBytes, and flushes, so
// progress shows at once.
void Write(std::FILE* stream, const QByteArray& bytes);
void Print(std::FILE* stream, const QString& text);

// The error number of the first write to `stream` that failed, 0 while
// none did (a failed flush leaves the stream's error set, not its reason).
int FirstWriteError(std::FILE* stream);
