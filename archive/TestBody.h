#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// A test as the archive keeps it: known by the SHA-256 of its 32356 bytes,
// stored packed so that it comes back byte for byte.

// Lowercase hex SHA-256 of the first 32356 bytes; empty when there are fewer.
QString TestId(QByteArrayView bytes);

// The 32356 bytes packed: samples as differences in two byte planes, then
// deflated. Anything a sample slot cannot hold as 16 bits is kept as is.
QByteArray PackTest(QByteArrayView bytes);

// The 32356 bytes back; empty when `packed` is not a packed test.
QByteArray UnpackTest(QByteArrayView packed);
