#include "XmlText.h"

namespace {

bool XmlAllows(char32_t c) {
    if (c < 0x20)
        return c == 0x09 || c == 0x0A || c == 0x0D;
    if (c < 0xD800)
        return true;
    if (c < 0xE000)
        return false; // surrogates
    return c != 0xFFFE && c != 0xFFFF && c <= 0x10FFFF;
}

// The length of the well-formed UTF-8 sequence at `s` holding an XML
// character, else 0.
qsizetype AllowedAt(const unsigned char* s, qsizetype left) {
    const unsigned char b = s[0];
    if (b < 0x80)
        return XmlAllows(b) ? 1 : 0;
    int length = 0;
    char32_t c = 0, least = 0;
    if ((b & 0xE0) == 0xC0) {
        length = 2, c = b & 0x1F, least = 0x80;
    } else if ((b & 0xF0) == 0xE0) {
        length = 3, c = b & 0x0F, least = 0x800;
    } else if ((b & 0xF8) == 0xF0) {
        length = 4, c = b & 0x07, least = 0x10000;
    } else {
        return 0;
    }
    if (left < length)
        return 0;
    for (int i = 1; i < length; ++i) {
        if ((s[i] & 0xC0) != 0x80)
            return 0;
        c = (c << 6) | (s[i] & 0x3F);
    }
    return c >= least && XmlAllows(c) ? length : 0; // overlong forms are not UTF-8
}

} // namespace

bool IsXmlSafeUtf8(QByteArrayView utf8) {
    const auto* s = reinterpret_cast<const unsigned char*>(utf8.data());
    for (qsizetype i = 0; i < utf8.size();) {
        if (s[i] >= 0x20 && s[i] < 0x80) {
            ++i;
            continue;
        }
        const qsizetype n = AllowedAt(s + i, utf8.size() - i);
        if (n == 0)
            return false;
        i += n;
    }
    return true;
}

QByteArray XmlSafeUtf8(QByteArrayView utf8) {
    if (IsXmlSafeUtf8(utf8))
        return utf8.toByteArray();
    QByteArray safe;
    safe.reserve(utf8.size());
    const auto* s = reinterpret_cast<const unsigned char*>(utf8.data());
    for (qsizetype i = 0; i < utf8.size();) {
        const qsizetype n = AllowedAt(s + i, utf8.size() - i);
        if (n == 0) {
            ++i; // a dropped byte; what follows is looked at anew
            continue;
        }
        safe.append(utf8.sliced(i, n));
        i += n;
    }
    return safe;
}
