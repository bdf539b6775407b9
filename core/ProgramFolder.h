#pragma once

#include <QString>

// The folder of the running executable, where SystemFile.ini, the test
// folder and the port links live; the per-user data folder ("oltc" in the
// user's data folder, shared by all the programs) instead when the program
// is installed or its folder cannot be written.
QString ProgramFolder();

// The settings file in the program folder.
QString SettingsPath();

// An installed program's read-only data: "<prefix>/share/oltc" beside the
// executable's "<prefix>/bin"; empty when the program runs from elsewhere
// (a build folder).
QString InstalledDataFolder();
