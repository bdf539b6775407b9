#pragma once

#include <QByteArray>
#include <QByteArrayView>

// What every XML part the program writes may hold: XML 1.0 allows tab, line
// feed, carriage return and the characters from U+0020 on, except the
// surrogates and U+FFFE, U+FFFF. Bytes such as 0x0B or 0x1B arrive from the
// tester or a file in a test's texts; written as "&#11;" they make a part no
// reader opens. `utf8` with every character XML forbids dropped, and every
// byte that is not UTF-8 too.
QByteArray XmlSafeUtf8(QByteArrayView utf8);

// Whether `utf8` holds nothing that XmlSafeUtf8 would drop.
bool IsXmlSafeUtf8(QByteArrayView utf8);
