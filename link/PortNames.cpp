#include "PortNames.h"

#include "ProgramFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QSerialPortInfo>
#include <algorithm>

namespace {

QString& PortsFolderSetting() {
    static QString folder;
    return folder;
}

} // namespace

void SetPortsFolder(const QString& folder) {
    PortsFolderSetting() = folder;
}

QString PortsFolder() {
    const QString& folder = PortsFolderSetting();
    return folder.isEmpty() ? QDir(ProgramFolder()).filePath("ports") : folder;
}

QString SerialDeviceName(int port) {
#ifdef Q_OS_WIN
    return QString("COM%1").arg(port);
#else
    const QFileInfo link(QDir(PortsFolder()).filePath(QString("COM%1").arg(port)));
    // A dangling link still names this port: never fall through to another one.
    if (link.exists() || link.isSymLink()) {
        // Open the device itself: the port's lock file is named after it.
        const QString target = link.canonicalFilePath();
        return target.isEmpty() ? link.absoluteFilePath() : target;
    }
    QStringList devices;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
        devices << info.systemLocation();
    std::sort(devices.begin(), devices.end());
    if (port < 1 || port > devices.size())
        return {};
    return devices[port - 1];
#endif
}
