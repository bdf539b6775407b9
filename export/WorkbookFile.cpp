#include "WorkbookFile.h"

#include "DocxPackage.h"
#include "FileTarget.h"

#include <QDir>
#include <QFileInfo>
#include <pugixml.hpp>
#include <sys/statvfs.h>

// Whether every part of the written workbook unpacks whole and is
// well-formed XML: the writer does not check its own temporary files, so a
// part cut short would otherwise go unnoticed.
bool WholeWorkbook(const QString& path, QString* why) {
    DocxPackage written;
    if (!written.Open(path, why))
        return false;
    for (const QString& part : written.Parts()) {
        if (!part.endsWith(u".xml") && !part.endsWith(u".rels"))
            continue;
        pugi::xml_document xml;
        if (!written.LoadXml(part, xml)) {
            *why = QStringLiteral("%1 came out incomplete").arg(part);
            return false;
        }
    }
    return true;
}

// Why a write into `folder` failed, when the system can tell: a full disk
// or a file-size limit is said as such whatever the writer reported. The
// writer's temporary files are not its to check, so the folder is asked
// again with a file as large as the wave sheet's part.
QString FolderReason(const QString& folder) {
    struct statvfs room;
    if (::statvfs(NativeFileName(folder).constData(), &room) == 0 && room.f_bavail == 0)
        return SystemReason(ENOSPC);
    StagedFile probe(QDir(folder).filePath(QStringLiteral("probe")));
    QString why;
    if (!probe.Prepare(&why))
        return why;
    const QByteArray chunk(64 << 10, '\0');
    for (int i = 0; i < 16; ++i)
        if (!probe.Write(chunk, &why))
            return why;
    return {}; // the file goes with the probe
}

ExportResult WriteBook(const QString& path, const std::function<bool(Book& book)>& fill) {
    StagedFile staged(path);
    if (QString why; !staged.Prepare(&why))
        return WriteFailure(path, why);
    const QString folder = QFileInfo(staged.TempPath()).absolutePath();
    QString why;
    {
        Book book(staged.TempPath(), folder);
        if (!book.get() || !fill(book))
            return WriteFailure(path, QStringLiteral("cannot start the workbook"));
        if (!book.Close(&why) || !WholeWorkbook(staged.TempPath(), &why)) {
            if (const QString system = FolderReason(folder); !system.isEmpty())
                why = system;
            return WriteFailure(path, why);
        }
    }
    if (!staged.Commit(&why))
        return WriteFailure(path, why);
    return {};
}
