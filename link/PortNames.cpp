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
    if (!folder.isEmpty())
        return folder;
    // Without a program folder there are no links (and no "ports" below the
    // working folder).
    const QString program = ProgramFolder();
    return program.isEmpty() ? QString() : QDir(program).filePath("ports");
}

QString SerialDeviceName(int port) {
#ifdef Q_OS_WIN
    return QString("COM%1").arg(port);
#else
    const QString folder = PortsFolder();
    const QFileInfo link(folder.isEmpty() ? QString()
                                          : QDir(folder).filePath(QString("COM%1").arg(port)));
    // A dangling link still names this port: never fall through to another one.
    if (!folder.isEmpty() && (link.exists() || link.isSymLink())) {
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
