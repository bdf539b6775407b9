#pragma once

#include "SiBridge.h"

#include <QString>
#include <optional>
#include <vector>

// A serial port as the program names it and as the system knows it.
struct SerialPortEntry {
    int number = 0;      // n of COMn; 0 for a port that no COM1..COM16 reaches
    QString device;      // the device path
    bool linked = false; // named by a link <ports folder>/COMn, not by its place in the list
    bool listed = false; // the system lists it as a serial port
    QString manufacturer, description, serialNumber;
    std::optional<quint16> vendorId, productId;
};

// COM1..COM16 that name a device (as SerialDeviceName maps them), in order,
// then the serial ports the system lists that none of them reaches.
std::vector<SerialPortEntry> SerialPortList();

// The entry of COMn in `list`, or null.
const SerialPortEntry* PortEntry(const std::vector<SerialPortEntry>& list, int number);

// What the system knows of a port, in one line: "device: description,
// manufacturer, serial number, USB vendor:product"; the device alone when
// nothing more is known.
QString PortSummary(const SerialPortEntry& entry);

// What the communication settings show beside COMn: its summary, or that
// no device answers to that name.
QString PortToolTip(const std::vector<SerialPortEntry>& list, int number);

// A USB bridge device as the bridge library lists it.
struct BridgeDevice {
    int index = 0;
    QString serialNumber, description, vendorId, productId;
};

// The bridge library's devices; none when the library is absent or finds none.
std::vector<BridgeDevice> BridgeDevices(const SiApi& si);
