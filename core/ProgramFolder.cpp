#include "ProgramFolder.h"

#include "Settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#ifdef Q_OS_WIN
#include <QStandardPaths>
#endif

#ifndef OLTC_INSTALL_LIBDIR
#define OLTC_INSTALL_LIBDIR "lib"
#endif

namespace {

QString InstalledFolder(const QString& exeFolder, const QString& relative) {
    const QString path = QDir(exeFolder).absoluteFilePath(relative);
    return QFileInfo(path).isDir() ? QDir::cleanPath(path) : QString();
}

} // namespace

QString PerUserDataFolder(const QString& xdgDataHome, const QString& home) {
    // Relative values are ignored, as the XDG rules say: they would name a
    // folder wherever the program happens to be started.
    QString data;
    if (QDir::isAbsolutePath(xdgDataHome))
        data = xdgDataHome;
    else if (QDir::isAbsolutePath(home))
        data = QDir(home).filePath(QStringLiteral(".local/share"));
    else
        return {};
    return QDir::cleanPath(QDir(data).filePath(QStringLiteral("oltc")));
}

ProgramPlaces CurrentPlaces() {
    ProgramPlaces places;
    places.executableFolder = QCoreApplication::applicationDirPath();
    places.installedData =
        InstalledFolder(places.executableFolder, QStringLiteral("../share/oltc"));
    if (!places.installedData.isEmpty()) {
        const QString libdir = QStringLiteral(OLTC_INSTALL_LIBDIR);
        places.installedLibraries = QDir::isAbsolutePath(libdir)
                                        ? QDir::cleanPath(libdir)
                                        : InstalledFolder(places.executableFolder, "../" + libdir);
    }
#ifdef Q_OS_WIN
    places.perUserData = QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
                             .filePath(QStringLiteral("oltc"));
#else
    places.perUserData =
        PerUserDataFolder(qEnvironmentVariable("XDG_DATA_HOME"), qEnvironmentVariable("HOME"));
#endif
    return places;
}

QString ProgramFolderAt(const ProgramPlaces& places) {
    // Installed, the executable's folder is the system's even where it can be
    // written (by root): nothing of a user's goes there.
    if (places.installedData.isEmpty() && !places.executableFolder.isEmpty() &&
        QFileInfo(places.executableFolder).isWritable())
        return places.executableFolder;
    return places.perUserData;
}

QString InstalledDataFolder() {
    return CurrentPlaces().installedData;
}

QString ProgramFolder() {
    const ProgramPlaces places = CurrentPlaces();
    const QString folder = ProgramFolderAt(places);
    if (!folder.isEmpty() && folder == places.perUserData)
        QDir().mkpath(folder);
    return folder;
}

QString SettingsPath() {
    const QString folder = ProgramFolder();
    return folder.isEmpty() ? QString() : QDir(folder).filePath(kSettingsFileName);
}

QString TestFolder(const QString& programFolder) {
    return QDir(programFolder).filePath(QStringLiteral("测试记录"));
}
