#pragma once

#include "Settings.h"
#include "TestRecord.h"

// State of the link to the tester.
struct LinkState {
    bool Connected = false;
    int Brand = 1; // 0 none, 1 "Aulex", 2 "Borvin"
    void* UsbHandle = nullptr;
    int LinkError = 0; // outcome of the last serial transaction
};

// The process-wide state: the one current test, the settings and the link.
// Touched only by the user-interface thread. The transport choice is
// settings.giCommStyle.
struct DataCenter {
    TestRecord record;
    SystemSettings settings;
    LinkState link;
};

DataCenter& UDataCenter();

// Reads the settings file into UDataCenter: the settings, and the record's
// parameters and header texts.
void LoadSettings(const QString& path);

// Writes UDataCenter's settings with the record's current parameters and
// header texts; false and the reason when the file could not be written.
bool SaveSettings(const QString& path, QString* error = nullptr);
