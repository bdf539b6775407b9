#include "ProgramFolder.h"

#include "Settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

QString InstalledDataFolder() {
    const QString data = QDir(QCoreApplication::applicationDirPath())
                             .absoluteFilePath(QStringLiteral("../share/oltc"));
    return QFileInfo(data).isDir() ? QDir::cleanPath(data) : QString();
}

QString ProgramFolder() {
    // Installed, the executable's folder is the system's even where it can be
    // written (by root): nothing of a user's goes there.
    const QString exeFolder = QCoreApplication::applicationDirPath();
    if (InstalledDataFolder().isEmpty() && QFileInfo(exeFolder).isWritable())
        return exeFolder;
    const QString data = QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
                             .filePath(QStringLiteral("oltc"));
    QDir().mkpath(data);
    return data;
}

QString SettingsPath() {
    return QDir(ProgramFolder()).filePath(kSettingsFileName);
}
