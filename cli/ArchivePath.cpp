#include "ArchivePath.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

ArchiveTarget ArchivePath(const QString& folder, const QString& stem, const QByteArray& content) {
    const QDir dir(folder);
    for (int n = 1;; ++n) {
        const QString name = n == 1 ? stem + ".cty" : QString("%1 (%2).cty").arg(stem).arg(n);
        const QString path = dir.filePath(name);
        const QFileInfo info(path);
        if (!info.exists() && !info.isSymLink())
            return {path, false};
        if (info.isFile() && info.size() == content.size()) {
            QFile file(path);
            if (file.open(QIODevice::ReadOnly) && file.readAll() == content)
                return {path, true};
        }
    }
}
