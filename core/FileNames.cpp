#include "FileNames.h"

namespace {

constexpr char16_t kKeptByte = 0xDC00;

bool IsKeptByte(char16_t u) {
    return u >= kKeptByte + 0x80 && u <= kKeptByte + 0xFF;
}

bool IsContinuation(uchar b) {
    return (b & 0xC0) == 0x80;
}

// The length of the valid UTF-8 sequence at `p` (at most `left` bytes), or 0
// when none starts there: overlong forms, surrogates and code points past
// U+10FFFF are not valid.
int SequenceLength(const uchar* p, qsizetype left, char32_t& code) {
    const uchar b = p[0];
    int length;
    char32_t least;
    if (b < 0x80) {
        code = b;
        return 1;
    } else if (b >= 0xC2 && b <= 0xDF) {
        length = 2, least = 0x80, code = b & 0x1F;
    } else if (b >= 0xE0 && b <= 0xEF) {
        length = 3, least = 0x800, code = b & 0x0F;
    } else if (b >= 0xF0 && b <= 0xF4) {
        length = 4, least = 0x10000, code = b & 0x07;
    } else {
        return 0;
    }
    if (left < length)
        return 0;
    for (int i = 1; i < length; ++i) {
        if (!IsContinuation(p[i]))
            return 0;
        code = (code << 6) | (p[i] & 0x3F);
    }
    if (code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return 0;
    return length;
}

void AppendUtf8(QByteArray& out, char32_t code) {
    if (code < 0x80) {
        out += char(code);
    } else if (code < 0x800) {
        out += char(0xC0 | (code >> 6));
        out += char(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += char(0xE0 | (code >> 12));
        out += char(0x80 | ((code >> 6) & 0x3F));
        out += char(0x80 | (code & 0x3F));
    } else {
        out += char(0xF0 | (code >> 18));
        out += char(0x80 | ((code >> 12) & 0x3F));
        out += char(0x80 | ((code >> 6) & 0x3F));
        out += char(0x80 | (code & 0x3F));
    }
}

QString Escaped(uint value) {
    return QStringLiteral("\\x") +
           QStringLiteral("%1").arg(value, 2, 16, QLatin1Char('0')).toUpper();
}

} // namespace

QString FileNameFromNative(QByteArrayView native) {
    QString name;
    name.reserve(native.size());
    const auto* p = reinterpret_cast<const uchar*>(native.data());
    const qsizetype size = native.size();
    for (qsizetype i = 0; i < size;) {
        char32_t code;
        if (const int length = SequenceLength(p + i, size - i, code)) {
            name += QStringView(QChar::fromUcs4(code));
            i += length;
        } else {
            name += QChar(char16_t(kKeptByte + p[i]));
            ++i;
        }
    }
    return name;
}

QByteArray NativeFileName(QStringView name) {
    QByteArray out;
    out.reserve(name.size());
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char16_t u = name[i].unicode();
        if (QChar::isHighSurrogate(u) && i + 1 < name.size() &&
            QChar::isLowSurrogate(name[i + 1].unicode())) {
            AppendUtf8(out, QChar::surrogateToUcs4(u, name[i + 1].unicode()));
            ++i;
        } else if (IsKeptByte(u)) {
            out += char(u - kKeptByte);
        } else if (QChar::isSurrogate(u)) {
            out += '?'; // half a pair names no character
        } else {
            AppendUtf8(out, u);
        }
    }
    return out;
}

QString VisibleText(QStringView text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text[i].unicode();
        if (QChar::isHighSurrogate(u) && i + 1 < text.size() &&
            QChar::isLowSurrogate(text[i + 1].unicode())) {
            out += text.mid(i, 2); // a character past U+FFFF
            ++i;
        } else if (u < 0x20 || (u >= 0x7F && u <= 0x9F)) {
            out += Escaped(u);
        } else if (IsKeptByte(u)) {
            out += Escaped(u - kKeptByte);
        } else {
            out += QChar(u);
        }
    }
    return out;
}
