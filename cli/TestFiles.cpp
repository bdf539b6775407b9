#include "TestFiles.h"

#include "FileNames.h"
#include "NativeFile.h"
#include "TerminalText.h"
#include "TestFile.h"

#include <QDir>
#include <QFile>
#include <cerrno>
#include <dirent.h>

namespace {

void CollectFolder(const QString& folder, QStringList& files, QStringList& refused) {
    DIR* dir = opendir(NativeFileName(folder).constData());
    if (!dir) {
        refused << PrintedName(folder, false) + QStringLiteral(": ") + SystemReason(errno);
        return;
    }
    QStringList names;
    while (const dirent* entry = readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (name != "." && name != "..")
            names << FileNameFromNative(name);
    }
    closedir(dir);
    names.sort();
    for (const QString& name : names) {
        const QString path = folder + u'/' + name;
        const FileKind kind = KindOf(path);
        if (kind == FileKind::Folder)
            CollectFolder(path, files, refused);
        else if (kind == FileKind::Regular && IsTestFileName(path))
            files << path;
    }
}

} // namespace

QStringList CollectTestFiles(const QStringList& operands, QStringList& refused) {
    QStringList files;
    for (const QString& operand : operands) {
        const FileKind kind = KindOf(operand);
        if (kind == FileKind::Folder)
            CollectFolder(QDir::cleanPath(operand), files, refused);
        else if (kind == FileKind::Missing)
            refused << PrintedName(operand, false) + QStringLiteral(": no such file");
        else if (!IsTestFileName(operand))
            refused << PrintedName(operand, false) +
                           QStringLiteral(": not a test file: the name does not end in .cty");
        else
            files << operand;
    }
    return files;
}

QList<std::pair<QString, QByteArray>> ReadTests(const QStringList& files, QStringList& refused) {
    QList<std::pair<QString, QByteArray>> tests;
    for (const QString& path : files) {
        QFile file;
        QString why;
        if (OpenToRead(path, file, &why) != FileKind::Regular) {
            refused << PrintedName(path, false) + QStringLiteral(": ") + why;
            continue;
        }
        const QByteArray bytes = file.read(kTestFileSize);
        if (bytes.size() < kTestFileSize) {
            refused << PrintedName(path, false) +
                           QStringLiteral(": not a test: shorter than %1 bytes").arg(kTestFileSize);
            continue;
        }
        tests.append({path, bytes});
    }
    return tests;
}
