#include "PortList.h"

#include "PortNames.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSerialPortInfo>
#include <QStringList>
#include <algorithm>

namespace {

// The bridge library's string kinds.
constexpr quint32 kSiSerialNumber = 0, kSiDescription = 1, kSiVid = 3, kSiPid = 4;

QString BridgeString(const SiApi& si, quint32 device, quint32 kind) {
    char buffer[kSiProductStringSize + 1] = {};
    if (si.GetProductString(device, buffer, kind) != kSiSuccess)
        return {};
    return QString::fromLatin1(buffer, qsizetype(qstrnlen(buffer, kSiProductStringSize))).trimmed();
}

// The same device under another spelling (a link, a relative path) is one port.
QString Canonical(const QString& path) {
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return canonical.isEmpty() ? path : canonical;
}

void Describe(SerialPortEntry& entry, const QSerialPortInfo& info) {
    entry.listed = true;
    entry.manufacturer = info.manufacturer().trimmed();
    entry.description = info.description().trimmed();
    entry.serialNumber = info.serialNumber().trimmed();
    if (info.hasVendorIdentifier())
        entry.vendorId = info.vendorIdentifier();
    if (info.hasProductIdentifier())
        entry.productId = info.productIdentifier();
}

} // namespace

std::vector<SerialPortEntry> SerialPortList() {
    const QList<QSerialPortInfo> system = QSerialPortInfo::availablePorts();
    std::vector<SerialPortEntry> list;
    QStringList reached;
    const QString folder = PortsFolder();
    for (int n = 1; n <= 16; ++n) {
        const QString device = SerialDeviceName(n);
        if (device.isEmpty())
            continue;
        SerialPortEntry entry;
        entry.number = n;
        entry.device = device;
        const QFileInfo link(
            folder.isEmpty() ? QString() : QDir(folder).filePath(QStringLiteral("COM%1").arg(n)));
        entry.linked = !folder.isEmpty() && (link.exists() || link.isSymLink());
        for (const QSerialPortInfo& info : system)
            if (Canonical(info.systemLocation()) == Canonical(device))
                Describe(entry, info);
        reached << Canonical(device);
        list.push_back(entry);
    }
    QList<QSerialPortInfo> rest;
    for (const QSerialPortInfo& info : system)
        if (!reached.contains(Canonical(info.systemLocation())))
            rest << info;
    std::sort(rest.begin(), rest.end(), [](const QSerialPortInfo& a, const QSerialPortInfo& b) {
        return a.systemLocation() < b.systemLocation();
    });
    for (const QSerialPortInfo& info : rest) {
        SerialPortEntry entry;
        entry.device = info.systemLocation();
        Describe(entry, info);
        list.push_back(entry);
    }
    return list;
}

const SerialPortEntry* PortEntry(const std::vector<SerialPortEntry>& list, int number) {
    for (const SerialPortEntry& entry : list)
        if (entry.number == number && number > 0)
            return &entry;
    return nullptr;
}

QString PortSummary(const SerialPortEntry& entry) {
    QStringList known;
    for (const QString& text : {entry.description, entry.manufacturer, entry.serialNumber})
        if (!text.isEmpty() && !known.contains(text))
            known << text;
    if (entry.vendorId || entry.productId)
        known << QStringLiteral("USB %1:%2")
                     .arg(entry.vendorId.value_or(0), 4, 16, QLatin1Char('0'))
                     .arg(entry.productId.value_or(0), 4, 16, QLatin1Char('0'));
    return known.isEmpty() ? entry.device
                           : entry.device + QStringLiteral(": ") + known.join(QStringLiteral(", "));
}

QString PortToolTip(const std::vector<SerialPortEntry>& list, int number) {
    const SerialPortEntry* entry = PortEntry(list, number);
    return entry ? PortSummary(*entry) : QCoreApplication::translate("PortList", "无此串口");
}

std::vector<BridgeDevice> BridgeDevices(const SiApi& si) {
    std::vector<BridgeDevice> devices;
    quint32 count = 0;
    if (si.GetNumDevices(&count) != kSiSuccess)
        return devices;
    // The library counts what is plugged in; a count past any bus is a fault.
    for (quint32 i = 0; i < count && i < 64; ++i)
        devices.push_back({int(i), BridgeString(si, i, kSiSerialNumber),
                           BridgeString(si, i, kSiDescription), BridgeString(si, i, kSiVid),
                           BridgeString(si, i, kSiPid)});
    return devices;
}
