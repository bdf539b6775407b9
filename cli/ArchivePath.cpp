#include "ArchivePath.h"

#include "FileTarget.h"
#include "NativeFile.h"

#include <QDir>
#include <cerrno>

ArchiveTarget ArchivePath(const QString& folder, const QString& stem, const QByteArray& content,
                          ClaimedName* claim, QString* why) {
    const QDir dir(folder);
    for (int n = 1; n <= 100000; ++n) {
        const QString name = n == 1 ? stem + ".cty" : QString("%1 (%2).cty").arg(stem).arg(n);
        const QString path = dir.filePath(name);
        if (!Occupied(path)) {
            if (!claim)
                return {path, false};
            int code = 0;
            if (claim->ClaimPath(path, &code))
                return {path, false};
            if (code != EEXIST) {
                if (why)
                    *why = SystemReason(code);
                return {};
            }
            // Taken a moment ago: looked at again, as any name that is there.
        }
        QFile file;
        if (OpenToRead(path, file) == FileKind::Regular && file.isOpen() &&
            file.size() == content.size() && file.readAll() == content)
            return {path, true};
    }
    if (why)
        *why = SystemReason(EEXIST);
    return {};
}
