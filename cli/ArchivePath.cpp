#include "ArchivePath.h"

#include "NativeFile.h"

#include <QDir>

ArchiveTarget ArchivePath(const QString& folder, const QString& stem, const QByteArray& content) {
    const QDir dir(folder);
    for (int n = 1;; ++n) {
        const QString name = n == 1 ? stem + ".cty" : QString("%1 (%2).cty").arg(stem).arg(n);
        const QString path = dir.filePath(name);
        if (!Occupied(path))
            return {path, false};
        QFile file;
        if (OpenToRead(path, file) == FileKind::Regular && file.isOpen() &&
            file.size() == content.size() && file.readAll() == content)
            return {path, true};
    }
}
