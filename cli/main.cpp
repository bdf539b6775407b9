#include "ArchiveCommand.h"
#include "ArchiveLocation.h"
#include "ChartStyle.h"
#include "DeviceCommands.h"
#include "ExitCodes.h"
#include "ExportCommand.h"
#include "FileNames.h"
#include "Language.h"
#include "LiveCommand.h"
#include "NativeFile.h"
#include "PortsCommand.h"
#include "ProgramFolder.h"
#include "ReportCommand.h"
#include "Settings.h"
#include "ShowCommand.h"
#include "SummaryCommand.h"
#include "TerminalText.h"
#include "UnfinishedFiles.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFont>
#include <QStringList>
#include <cerrno>
#include <cstdio>
#include <optional>

namespace {

const char kUsage[] = "usage: oltc-cli COMMAND [OPTIONS]\n"
                      "The command line of the OLTC transition tester companion.\n"
                      "\n"
                      "commands:\n"
                      "  show      parameters and results of .cty test files\n"
                      "  identify  which tester answers\n"
                      "  history   the tests stored in the tester\n"
                      "  fetch     upload stored tests into .cty files\n"
                      "  ports     the serial ports by their COMn names, and the USB bridges\n"
                      "  live      run a live test into a .cty file and show it\n"
                      "  report    the printed report of .cty test files as PDF\n"
                      "  export    .cty test files to workbooks, documents, waveform data\n"
                      "            (CSV, COMTRADE) or JSON\n"
                      "  summary   a campaign of taps judged, as JSON, CSV or PDF\n"
                      "  archive   the archive of every test: import, list, get, markers, sync\n"
                      "  --lang zh|en  the language of what is written for people (before\n"
                      "            the command); else the setting, else LC_ALL, LC_MESSAGES\n"
                      "            or LANG (English when it begins with en)\n"
                      "  --help    this text; COMMAND --help tells more of a command\n"
                      "  --version the program's version\n";

// Report and export draw with widgets: they need a window system but show
// nothing, so the offscreen one serves unless another is asked for; one
// asked for that cannot be opened (no display) falls back to it, instead
// of ending the program.
// --lang, when given.
std::optional<QString> languageOption;

// Puts the chosen language's texts in place; called once the command's
// application object exists.
void Speak() {
    InstallLanguage(ChooseLanguage(languageOption, ReadSettingsFile(SettingsPath()).language));
}

template <typename Run> int RunDrawing(int argc, char** argv, Run run) {
    const QByteArray asked = qgetenv("QT_QPA_PLATFORM");
    if (asked.isEmpty())
        qputenv("QT_QPA_PLATFORM", "offscreen");
    else if (!asked.split(';').contains("offscreen"))
        qputenv("QT_QPA_PLATFORM", asked + ";offscreen");
    QApplication app(argc, argv);
    Speak();
    return run();
}

// What standard output was given must have arrived: a failed write (a full
// disk, a closed pipe) is a failure, not a silent success.
int Finish(int status) {
    errno = 0;
    if (std::fflush(stdout) == 0 && !std::ferror(stdout) && FirstWriteError(stdout) == 0)
        return status;
    const int code = FirstWriteError(stdout) != 0 ? FirstWriteError(stdout) : errno;
    Write(stderr, "oltc-cli: standard output could not be written" +
                      (code != 0 ? ": " + TerminalBytes(SystemReason(code)) : QByteArray()) + "\n");
    return status == kExitOk ? kExitFailed : status;
}

// What every command is given: the program's arguments for an application
// object, and the command's own arguments after its name.
struct Call {
    int& argc;
    char** argv;
    QString name;
    QStringList args;
};

// A bad option: the reason and the command's help on standard error.
int UsageError(const Call& call, QByteArray (*usage)(const QString&), const QString& error) {
    Write(stderr, "oltc-cli " + TerminalBytes(call.name) + ": " + TerminalBytes(error) + "\n" +
                      usage(call.name));
    return kExitUsage;
}

QByteArray ShowHelp(const QString&) {
    return ShowUsage();
}
QByteArray LiveHelp(const QString&) {
    return LiveUsage();
}
QByteArray ReportHelp(const QString&) {
    return ReportUsage();
}
QByteArray ExportHelp(const QString&) {
    return ExportUsage();
}
QByteArray SummaryHelp(const QString&) {
    return SummaryUsage();
}
QByteArray ArchiveHelp(const QString&) {
    return ArchiveUsage();
}
QByteArray PortsHelp(const QString&) {
    return PortsUsage();
}

int Show(Call& call) {
    QCoreApplication app(call.argc, call.argv);
    Speak();
    QByteArray out, err;
    const int status = RunShow(call.args, out, err, IsTerminal(stdout), IsTerminal(stderr));
    Write(stdout, out);
    Write(stderr, err);
    return status;
}

int Device(Call& call) {
    DeviceOptions options;
    if (const auto error = ParseDeviceArgs(call.name, call.args, options))
        return UsageError(call, DeviceUsage, *error);
    // Only the commands that need it pay for the application object: the
    // program folder and the serial port need it, show does not.
    QCoreApplication app(call.argc, call.argv);
    Speak();
    RemoveUnfinishedOnSignals();
    return RunDeviceCommand(options, stdout, stderr);
}

int Ports(Call& call) {
    if (const auto error = ParsePortsArgs(call.args))
        return UsageError(call, PortsHelp, *error);
    QCoreApplication app(call.argc, call.argv); // the program folder, the ports links
    return RunPorts(stdout, stderr);
}

int Live(Call& call) {
    LiveOptions options;
    if (const auto error = ParseLiveArgs(call.args, options))
        return UsageError(call, LiveHelp, *error);
    QCoreApplication app(call.argc, call.argv);
    Speak();
    return RunLive(options, stdout, stderr);
}

int Report(Call& call) {
    ReportOptions options;
    if (const auto error = ParseReportArgs(call.args, options))
        return UsageError(call, ReportHelp, *error);
    RemoveUnfinishedOnSignals();
    return RunDrawing(call.argc, call.argv, [&] { return RunReport(options, stdout, stderr); });
}

int Export(Call& call) {
    ExportOptions options;
    if (const auto error = ParseExportArgs(call.args, options))
        return UsageError(call, ExportHelp, *error);
    RemoveUnfinishedOnSignals();
    // The waveform data draws nothing and needs no window system.
    if (!ExportDraws(options)) {
        QCoreApplication app(call.argc, call.argv);
        Speak();
        return RunExport(options, stdout, stderr);
    }
    return RunDrawing(call.argc, call.argv, [&] {
        QApplication::setFont(QFont(SongtiFamily(), 9)); // the window's, for the chart's labels
        return RunExport(options, stdout, stderr);
    });
}

// Summary and archive read their own options, after the application object.
int Summary(Call& call) {
    const auto run = [&] {
        return RunSummary(call.args, DefaultArchiveFile(ProgramFolder()), stdout, stderr);
    };
    // Pages are drawn; JSON and CSV need no window system.
    const qsizetype o = call.args.indexOf(QStringLiteral("-o"));
    if (o >= 0 && o + 1 < call.args.size() &&
        call.args[o + 1].endsWith(u".pdf", Qt::CaseInsensitive))
        return RunDrawing(call.argc, call.argv, run);
    QCoreApplication app(call.argc, call.argv);
    Speak();
    return run();
}

int Archive(Call& call) {
    QCoreApplication app(call.argc, call.argv);
    Speak();
    RemoveUnfinishedOnSignals();
    return RunArchive(call.args, DefaultArchiveFile(ProgramFolder()), stdout, stderr);
}

struct Command {
    const char16_t* name;
    QByteArray (*usage)(const QString& name);
    int (*run)(Call& call);
};

// "COMMAND --help" prints the usage and succeeds; anything else runs.
constexpr Command kCommands[] = {
    {u"show", ShowHelp, Show},          {u"identify", DeviceUsage, Device},
    {u"history", DeviceUsage, Device},  {u"fetch", DeviceUsage, Device},
    {u"ports", PortsHelp, Ports},       {u"live", LiveHelp, Live},
    {u"report", ReportHelp, Report},    {u"export", ExportHelp, Export},
    {u"summary", SummaryHelp, Summary}, {u"archive", ArchiveHelp, Archive},
};

int Dispatch(int argc, char** argv);

} // namespace

int main(int argc, char** argv) {
    return Finish(Dispatch(argc, argv));
}

namespace {

int Dispatch(int argc, char** argv) {
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << FileNameFromNative(argv[i]); // a file name keeps its bytes
    if (args.isEmpty()) {
        Write(stderr, kUsage);
        return kExitUsage;
    }
    QString name = args.takeFirst();
    if (name == u"--lang") {
        if (args.isEmpty() || !LanguageNamed(args.first())) {
            Write(stderr, "oltc-cli: --lang takes zh or en\n" + QByteArray(kUsage));
            return kExitUsage;
        }
        languageOption = args.takeFirst();
        if (args.isEmpty()) {
            Write(stderr, kUsage);
            return kExitUsage;
        }
        name = args.takeFirst();
    }
    if (name == u"--version") {
        Write(stdout, "oltc-cli " OLTC_VERSION "\n");
        return kExitOk;
    }
    if (name == u"--help" || name == u"-h" || name == u"help") {
        Write(stdout, kUsage);
        return kExitOk;
    }
    for (const Command& command : kCommands) {
        if (name != QStringView(command.name))
            continue;
        if (args.contains(u"--help")) {
            Write(stdout, command.usage(name));
            return kExitOk;
        }
        Call call{argc, argv, name, args};
        return command.run(call);
    }
    Write(stderr, "oltc-cli: unknown command " + TerminalBytes(name) + "\n" + kUsage);
    return kExitUsage;
}

} // namespace
