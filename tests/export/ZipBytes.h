#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

// A zip package built by hand, so that it can say what libzip would never
// write: sizes that lie, names given twice, zip64 sizes of a terabyte.
struct ZipEntry {
    QString name;
    QByteArray data;      // what the entry unpacks to
    bool deflate = false; // stored, or deflated
    qint64 declared = -1; // the unpacked size the headers give; -1: the true one
};
QByteArray ZipBytes(const std::vector<ZipEntry>& entries);

// The parts of a package, in order, for editing and building it again.
std::vector<ZipEntry> ZipEntries(const QString& path);
