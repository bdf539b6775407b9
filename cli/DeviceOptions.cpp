#include "DeviceOptions.h"

namespace {

std::optional<int> Number(const QString& text, int low, int high) {
    bool ok = false;
    const int value = text.toInt(&ok, 10);
    if (!ok || value < low || value > high)
        return std::nullopt;
    return value;
}

} // namespace

const char kArchiveUsage[] =
    "  --archive A     keep the tests in the archive A (a file or a postgresql://\n"
    "                  URL) instead of the program folder's archive.sqlite\n"
    "  --no-archive    keep them in no archive\n";

QByteArray DeviceUsage(const QString& command) {
    const QByteArray link = "  --port N        serial port COMN (1..16)\n"
                            "  --baud-index I  speed index 1..13 (7: 19200 bit/s, 12: 115200)\n"
                            "  --usb           the USB bridge instead of the serial port\n"
                            "  Without options the link settings of SystemFile.ini apply.\n";
    if (command == u"identify")
        return "usage: oltc-cli identify [--port N] [--baud-index I] [--usb]\n"
               "  Prints the brand code and text of the tester, tab-separated\n"
               "  (over USB the text is the device string).\n" +
               link;
    if (command == u"history")
        return "usage: oltc-cli history [--port N] [--baud-index I] [--usb]\n"
               "  Lists the tests stored in the tester (at most 100): number, tap step\n"
               "  and time, tab-separated.\n" +
               link;
    return "usage: oltc-cli fetch K -o FILE.cty [--port N] [--baud-index I] [--usb]\n"
           "       oltc-cli fetch --all -d DIR [--port N] [--baud-index I] [--usb]\n"
           "  Uploads stored test K (or all of them) and writes .cty files. --all\n"
           "  names the files by the tests' time stamps and never overwrites a file.\n" +
           link + kArchiveUsage;
}

std::optional<QString> ParseDeviceArgs(const QString& command, const QStringList& args,
                                       DeviceOptions& options) {
    options = DeviceOptions();
    options.command = command;
    QStringList positional;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        const auto value = [&]() -> std::optional<QString> {
            if (i + 1 >= args.size())
                return std::nullopt;
            return args[++i];
        };
        if (arg == u"--port") {
            const auto text = value();
            options.port = text ? Number(*text, 1, 16) : std::nullopt;
            if (!options.port)
                return QStringLiteral("--port needs a port number 1..16");
        } else if (arg == u"--baud-index") {
            const auto text = value();
            options.baudIndex = text ? Number(*text, 1, 13) : std::nullopt;
            if (!options.baudIndex)
                return QStringLiteral("--baud-index needs a speed index 1..13");
        } else if (arg == u"--usb") {
            options.usb = true;
        } else if (command == u"fetch" && arg == u"--all") {
            options.all = true;
        } else if (command == u"fetch" && (arg == u"-o" || arg == u"--output")) {
            const auto text = value();
            if (!text || text->isEmpty())
                return QStringLiteral("%1 needs a file name").arg(arg);
            options.output = *text;
        } else if (command == u"fetch" && (arg == u"-d" || arg == u"--dir")) {
            const auto text = value();
            if (!text || text->isEmpty())
                return QStringLiteral("%1 needs a folder").arg(arg);
            options.folder = *text;
        } else if ((command == u"fetch" || command == u"live") && arg == u"--archive") {
            const auto text = value();
            if (!text || text->isEmpty())
                return QStringLiteral("--archive needs a file or a postgresql:// URL");
            options.archive = *text;
        } else if ((command == u"fetch" || command == u"live") && arg == u"--no-archive") {
            options.noArchive = true;
        } else if (arg.startsWith(u'-') && arg != u"-") {
            return QStringLiteral("unknown option %1").arg(arg);
        } else {
            positional << arg;
        }
    }
    if (options.usb && (options.port || options.baudIndex))
        return QStringLiteral("--usb does not go with --port or --baud-index");
    if (options.noArchive && !options.archive.isEmpty())
        return QStringLiteral("--no-archive does not go with --archive");
    if (command != u"fetch") {
        if (!positional.isEmpty())
            return QStringLiteral("unexpected argument %1").arg(positional.first());
        return std::nullopt;
    }
    if (options.all) {
        if (!positional.isEmpty() || !options.output.isEmpty())
            return QStringLiteral("--all takes no test number and no -o; use -d DIR");
        if (options.folder.isEmpty())
            return QStringLiteral("--all needs -d DIR");
        return std::nullopt;
    }
    if (positional.size() != 1)
        return QStringLiteral("fetch needs one stored test number K, or --all");
    const auto entry = Number(positional.first(), 1, 255);
    if (!entry)
        return QStringLiteral("stored test number %1: expected 1..100").arg(positional.first());
    options.entry = *entry;
    if (options.output.isEmpty() || !options.folder.isEmpty())
        return QStringLiteral("fetch K needs -o FILE.cty");
    return std::nullopt;
}

void ApplyLinkOptions(const DeviceOptions& options, SystemSettings& settings) {
    if (options.usb) {
        settings.giCommStyle = 0;
        return;
    }
    if (options.port || options.baudIndex)
        settings.giCommStyle = 1;
    if (options.port)
        settings.giCommPort = *options.port;
    if (options.baudIndex)
        settings.giBaudRate = *options.baudIndex;
}
