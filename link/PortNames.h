#pragma once

#include <QString>

// Where the links COM1..COM16 to serial devices are looked for. Empty (the
// default) means the folder "ports" in the program folder; PortsFolder() is
// empty when there is no program folder.
void SetPortsFolder(const QString& folder);
QString PortsFolder();

// The device that serial port number `port` (1..16) names: COMn on Windows;
// elsewhere the link <ports folder>/COMn when it exists, else the n-th serial
// port the system lists, sorted by device path. Empty when there is none.
QString SerialDeviceName(int port);
