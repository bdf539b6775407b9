#include "TerminalText.h"

#include "FileNames.h"

#include <cerrno>
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

namespace {

// Standard output and standard error are the only streams written.
int firstErrors[2] = {0, 0};

int& FirstError(std::FILE* stream) {
    static int other = 0;
    return stream == stdout ? firstErrors[0] : stream == stderr ? firstErrors[1] : other;
}

} // namespace

void Write(std::FILE* stream, const QByteArray& bytes) {
    errno = 0;
    const bool written =
        std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream) == size_t(bytes.size()) &&
        std::fflush(stream) == 0;
    if (!written && FirstError(stream) == 0)
        FirstError(stream) = errno != 0 ? errno : EIO;
}

void Print(std::FILE* stream, const QString& text) {
    Write(stream, TerminalBytes(text));
}

int FirstWriteError(std::FILE* stream) {
    return FirstError(stream);
}
