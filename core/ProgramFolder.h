#pragma once

#include <QString>

// The folder of the running executable, where SystemFile.ini, the test
// folder and the port links live; the per-user data folder instead when the
// executable's folder cannot be written (a system install).
QString ProgramFolder();

// The settings file in the program folder.
QString SettingsPath();
