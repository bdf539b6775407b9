#include "PortsCommand.h"

#include "ExitCodes.h"
#include "SiBridge.h"
#include "TerminalText.h"

namespace {

// A field of a tab-separated line: no tab or line break inside.
QString Field(QString text) {
    for (QChar& c : text)
        if (c.unicode() < 0x20)
            c = u' ';
    return text;
}

QString Hex(const std::optional<quint16>& id) {
    return id ? QStringLiteral("%1").arg(*id, 4, 16, QLatin1Char('0')) : QString();
}

} // namespace

QByteArray PortsUsage() {
    return "usage: oltc-cli ports\n"
           "Lists the serial ports by the names the program gives them, and the USB\n"
           "bridge devices. One tab-separated line per serial port:\n"
           "  COMn  device  how  description  manufacturer  serial-number  vendor:product\n"
           "where how is \"link\" when COMn is the link ports/COMn in the program folder,\n"
           "\"order\" when it is the n-th serial port the system lists, sorted by device\n"
           "path (links take precedence, port by port); a port that no COM1..COM16\n"
           "reaches is listed last with the name \"-\". Empty fields are unknown. Then\n"
           "one line per USB bridge device:\n"
           "  USBi  serial-number  description  vendor:product\n"
           "none when the bridge library (libSiUSBXp.so) is absent, which is said on\n"
           "standard error. The communication settings window shows the same\n"
           "description beside the chosen port.\n";
}

std::optional<QString> ParsePortsArgs(const QStringList& args) {
    if (!args.isEmpty())
        return QStringLiteral("takes no arguments: %1").arg(args.front());
    return std::nullopt;
}

QByteArray PortsText(const std::vector<SerialPortEntry>& ports,
                     const std::vector<BridgeDevice>& bridges) {
    QString text;
    for (const SerialPortEntry& p : ports) {
        const QString usb =
            p.vendorId || p.productId ? Hex(p.vendorId) + u':' + Hex(p.productId) : QString();
        text +=
            QStringList{p.number > 0 ? QStringLiteral("COM%1").arg(p.number) : QStringLiteral("-"),
                        Field(p.device),
                        p.number == 0 ? QString()
                        : p.linked    ? QStringLiteral("link")
                                      : QStringLiteral("order"),
                        Field(p.description),
                        Field(p.manufacturer),
                        Field(p.serialNumber),
                        usb}
                .join(u'\t') +
            u'\n';
    }
    for (const BridgeDevice& d : bridges) {
        const QString usb = d.vendorId.isEmpty() && d.productId.isEmpty()
                                ? QString()
                                : d.vendorId.toLower() + u':' + d.productId.toLower();
        text += QStringList{QStringLiteral("USB%1").arg(d.index), Field(d.serialNumber),
                            Field(d.description), usb}
                    .join(u'\t') +
                u'\n';
    }
    return text.toUtf8();
}

int RunPorts(std::FILE* out, std::FILE* err) {
    const std::vector<SerialPortEntry> ports = SerialPortList();
    std::vector<BridgeDevice> bridges;
    if (BridgeLibraryFile().isEmpty())
        Print(err, QStringLiteral("oltc-cli ports: no USB bridge library (%1)\n")
                       .arg(BridgeLibraryName()));
    else
        bridges = BridgeDevices(BridgeApi());
    Write(out, PortsText(ports, bridges));
    return kExitOk;
}
