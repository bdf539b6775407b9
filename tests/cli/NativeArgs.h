#pragma once

#include "FileNames.h"

#include <QProcess>
#include <QStringList>

// Sets `process` to run `program` with `args` as their own bytes. QProcess
// hands arguments over as UTF-8 only, so a name that is not UTF-8 (kept by
// FileNameFromNative) would arrive mangled; such a command goes through sh,
// which rebuilds every argument from its bytes in octal.
inline void SetNativeCommand(QProcess& process, const QString& program, const QStringList& args) {
    bool plain = true;
    for (const QString& arg : args)
        plain = plain && NativeFileName(arg) == arg.toUtf8();
    if (plain) {
        process.setProgram(program);
        process.setArguments(args);
        return;
    }
    QByteArray script = "exec \"$0\"";
    for (const QString& arg : args) {
        script += " \"$(printf '";
        for (const char b : NativeFileName(arg))
            script += '\\' + QByteArray::number(uchar(b), 8).rightJustified(3, '0');
        script += "')\"";
    }
    process.setProgram(QStringLiteral("/bin/sh"));
    process.setArguments({QStringLiteral("-c"), QString::fromLatin1(script), program});
}
