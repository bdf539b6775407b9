#pragma once

#include <QFile>
#include <QString>

// File operations on names as FileNames.h keeps them, so that a name which
// is not UTF-8 reaches the system as its own bytes.

enum class FileKind { Missing, Regular, Folder, Other };

// What stands at `path`, links followed. A name that cannot be looked up
// (a folder on the way not searchable) counts as missing; opening it then
// names the reason.
FileKind KindOf(const QString& path);

// Whether anything stands at `path`, a link to nothing included.
bool Occupied(const QString& path);

// Opens `path` for reading when it is a regular file and never opens
// anything else: a FIFO would block, a device could deliver without end or
// act on being opened. Returns what stands there; `file` is open when that
// is Regular and `error` stays empty.
FileKind OpenToRead(const QString& path, QFile& file, QString* error = nullptr);

// Makes the folder `path` and those above it that are missing.
bool MakeFolders(const QString& path, QString* error = nullptr);

// The system's words for the error number `code`.
QString SystemReason(int code);
