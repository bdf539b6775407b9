#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// A file name is bytes to the system, and not every name is UTF-8: one
// copied from an old Windows machine is often GBK. The name is decoded as
// UTF-8 where it is valid; every other byte is kept as the code unit
// U+DC00 + byte (0xDC80..0xDCFF), which no decoded text contains, so the
// name goes back to the very same bytes and the file opens.
QString FileNameFromNative(QByteArrayView native);
QByteArray NativeFileName(QStringView name);

// `text` safe for a terminal: control characters (C0, DEL, C1) and the kept
// bytes of a file name written as \xNN, so that neither a name nor a text
// read from a file can move the cursor or rewrite the screen.
QString VisibleText(QStringView text);
