#include "ProgramFolder.h"

#include "Settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

QString ProgramFolder() {
    const QString exeFolder = QCoreApplication::applicationDirPath();
    if (QFileInfo(exeFolder).isWritable())
        return exeFolder;
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(data);
    return data;
}

QString SettingsPath() { return QDir(ProgramFolder()).filePath(kSettingsFileName); }
