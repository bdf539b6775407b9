#include "TerminalText.h"

QString VisibleText(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x20 || (u >= 0x7F && u <= 0x9F))
            out += QStringLiteral("\\x") +
                   QStringLiteral("%1").arg(uint(u), 2, 16, QLatin1Char('0')).toUpper();
        else
            out += c;
    }
    return out;
}
