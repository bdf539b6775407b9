#include "TerminalText.h"

#include "FileNames.h"

#include <unistd.h>

QByteArray TerminalBytes(const QString& text) {
    return NativeFileName(text);
}

bool IsTerminal(std::FILE* stream) {
    return ::isatty(::fileno(stream)) == 1;
}

QString PrintedName(const QString& name, bool terminal) {
    return terminal ? VisibleText(name) : name;
}

void Print(std::FILE* stream, const QString& text) {
    const QByteArray bytes = TerminalBytes(text);
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    std::fflush(stream);
}
