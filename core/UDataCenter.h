#pragma once

#include "Settings.h"
#include "TestRecord.h"

// The process-wide state: the one current test and the settings. Touched
// only by the user-interface thread. The link to the tester is the main
// window's (its Tester); the transport choice is settings.giCommStyle.
struct DataCenter {
    TestRecord record;
    SystemSettings settings;
};

DataCenter& UDataCenter();

// Reads the settings file into UDataCenter: the settings, and the record's
// parameters and header texts.
void LoadSettings(const QString& path);

// Writes UDataCenter's settings with the record's current parameters and
// header texts; false and the reason when the file could not be written.
bool SaveSettings(const QString& path, QString* error = nullptr);
