#pragma once

#include "PortList.h"

#include <QByteArray>
#include <QStringList>
#include <cstdio>
#include <optional>
#include <vector>

// The listing of `oltc-cli ports`: one tab-separated line per serial port
// (name, device, how the name reaches it, description, manufacturer, serial
// number, USB vendor:product), then one per USB bridge device.
QByteArray PortsText(const std::vector<SerialPortEntry>& ports,
                     const std::vector<BridgeDevice>& bridges);

// Takes no options; the error text when there are some.
std::optional<QString> ParsePortsArgs(const QStringList& args);

// Lists the ports of this system. Needs a QCoreApplication (the program
// folder's ports links).
int RunPorts(std::FILE* out, std::FILE* err);

QByteArray PortsUsage();
