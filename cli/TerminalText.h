#pragma once

#include <QByteArray>
#include <QString>

// A message as the bytes printed: UTF-8, with every file name in it given
// as its own bytes, so that a name which is not UTF-8 is printed as the
// system names it and can be used again.
QByteArray TerminalBytes(const QString& text);
