#pragma once

#include <QByteArray>
#include <QStringList>
#include <cstdio>

// oltc-cli archive: the store of every test, on the command line. The
// arguments after "archive"; `defaultArchive` is used without --archive.
// Exit 0; 1 when the archive cannot be used or a test is not there; 2 for
// bad arguments or a refused file; 3 when a server refused or went away.
int RunArchive(const QStringList& args, const QString& defaultArchive, std::FILE* out,
               std::FILE* err);

QByteArray ArchiveUsage();
