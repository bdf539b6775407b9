#include "TerminalText.h"

#include "FileNames.h"

QByteArray TerminalBytes(const QString& text) {
    return NativeFileName(text);
}
