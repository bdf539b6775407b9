#pragma once

#include <QString>

// Where a program stands and where its user keeps data.
struct ProgramPlaces {
    QString executableFolder;
    // "<prefix>/share/oltc" and "<prefix>/<libdir>" of an installed program
    // (its executable in "<prefix>/bin"); empty when it runs from elsewhere.
    QString installedData;
    QString installedLibraries;
    // "oltc" in the user's data folder; empty without a home.
    QString perUserData;
};

// The places of the running program, from its executable's path and the
// environment.
ProgramPlaces CurrentPlaces();

// The user's data folder "oltc": in XDG_DATA_HOME, else in HOME's
// ".local/share". Empty when neither is an absolute path: without a home
// nothing of the user's goes to the filesystem root.
QString PerUserDataFolder(const QString& xdgDataHome, const QString& home);

// Where SystemFile.ini, the test folder and the port links live: the
// executable's folder when the program is not installed and the folder can
// be written; otherwise the per-user data folder, which may be empty.
QString ProgramFolderAt(const ProgramPlaces& places);

// The running program's folder, the per-user data folder made when that is
// it; empty when there is none (no home), and then nothing is kept.
QString ProgramFolder();

// The settings file in the program folder; empty without one.
QString SettingsPath();

// "测试记录" in a program folder: where tests are saved and the open, save
// and export dialogs start.
QString TestFolder(const QString& programFolder);

// The running program's "<prefix>/share/oltc", or empty.
QString InstalledDataFolder();
