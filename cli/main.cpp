#include "ArchiveCommand.h"
#include "ArchiveLocation.h"
#include "ChartStyle.h"
#include "DeviceCommands.h"
#include "ExitCodes.h"
#include "ExportCommand.h"
#include "FileNames.h"
#include "LiveCommand.h"
#include "NativeFile.h"
#include "ProgramFolder.h"
#include "ReportCommand.h"
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

namespace {

const char kUsage[] = "usage: oltc-cli COMMAND [OPTIONS]\n"
                      "The command line of the OLTC transition tester companion.\n"
                      "\n"
                      "commands:\n"
                      "  show      parameters and results of .cty test files\n"
                      "  identify  which tester answers\n"
                      "  history   the tests stored in the tester\n"
                      "  fetch     upload stored tests into .cty files\n"
                      "  live      run a live test into a .cty file and show it\n"
                      "  report    the printed report of .cty test files as PDF\n"
                      "  export    .cty test files to workbooks, documents or waveform data\n"
                      "  summary   a campaign of taps judged, as JSON or CSV\n"
                      "  archive   the archive of every test: import, list, get, markers, sync\n"
                      "  --help    this text; COMMAND --help tells more of a command\n"
                      "  --version the program's version\n";

// Report and export draw with widgets: they need a window system but show
// nothing, so the offscreen one serves unless another is asked for; one
// asked for that cannot be opened (no display) falls back to it, instead
// of ending the program.
template <typename Run> int RunDrawing(int argc, char** argv, Run run) {
    const QByteArray asked = qgetenv("QT_QPA_PLATFORM");
    if (asked.isEmpty())
        qputenv("QT_QPA_PLATFORM", "offscreen");
    else if (!asked.split(';').contains("offscreen"))
        qputenv("QT_QPA_PLATFORM", asked + ";offscreen");
    QApplication app(argc, argv);
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
    const QString command = args.takeFirst();
    if (command == u"--version") {
        Write(stdout, "oltc-cli " OLTC_VERSION "\n");
        return kExitOk;
    }
    if (command == u"--help" || command == u"-h" || command == u"help") {
        Write(stdout, kUsage);
        return kExitOk;
    }
    if (command == u"show") {
        if (args.contains(u"--help")) {
            Write(stdout, ShowUsage());
            return kExitOk;
        }
        QByteArray out, err;
        const int status = RunShow(args, out, err, IsTerminal(stdout), IsTerminal(stderr));
        Write(stdout, out);
        Write(stderr, err);
        return status;
    }
    if (command == u"identify" || command == u"history" || command == u"fetch") {
        if (args.contains(u"--help")) {
            Write(stdout, DeviceUsage(command));
            return kExitOk;
        }
        DeviceOptions options;
        if (const auto error = ParseDeviceArgs(command, args, options)) {
            Write(stderr, "oltc-cli " + TerminalBytes(command) + ": " + TerminalBytes(*error) +
                              "\n" + DeviceUsage(command));
            return kExitUsage;
        }
        // Only the device commands pay for the application object: the program
        // folder and the serial port need it, show does not.
        QCoreApplication app(argc, argv);
        RemoveUnfinishedOnSignals();
        return RunDeviceCommand(options, stdout, stderr);
    }
    if (command == u"live") {
        if (args.contains(u"--help")) {
            Write(stdout, LiveUsage());
            return kExitOk;
        }
        LiveOptions options;
        if (const auto error = ParseLiveArgs(args, options)) {
            Write(stderr, "oltc-cli live: " + TerminalBytes(*error) + "\n" + LiveUsage());
            return kExitUsage;
        }
        QCoreApplication app(argc, argv);
        return RunLive(options, stdout, stderr);
    }
    if (command == u"report") {
        if (args.contains(u"--help")) {
            Write(stdout, ReportUsage());
            return kExitOk;
        }
        ReportOptions options;
        if (const auto error = ParseReportArgs(args, options)) {
            Write(stderr, "oltc-cli report: " + TerminalBytes(*error) + "\n" + ReportUsage());
            return kExitUsage;
        }
        RemoveUnfinishedOnSignals();
        return RunDrawing(argc, argv, [&] { return RunReport(options, stdout, stderr); });
    }
    if (command == u"export") {
        if (args.contains(u"--help")) {
            Write(stdout, ExportUsage());
            return kExitOk;
        }
        ExportOptions options;
        if (const auto error = ParseExportArgs(args, options)) {
            Write(stderr, "oltc-cli export: " + TerminalBytes(*error) + "\n" + ExportUsage());
            return kExitUsage;
        }
        RemoveUnfinishedOnSignals();
        // The waveform data draws nothing and needs no window system.
        if (!ExportDraws(options)) {
            QCoreApplication app(argc, argv);
            return RunExport(options, stdout, stderr);
        }
        return RunDrawing(argc, argv, [&] {
            QApplication::setFont(QFont(SongtiFamily(), 9)); // the window's, for the chart's labels
            return RunExport(options, stdout, stderr);
        });
    }
    if (command == u"summary") {
        if (args.contains(u"--help")) {
            Write(stdout, SummaryUsage());
            return 0;
        }
        // Pages are drawn; JSON and CSV need no window system.
        const qsizetype o = args.indexOf(QStringLiteral("-o"));
        if (o >= 0 && o + 1 < args.size() && args[o + 1].endsWith(u".pdf", Qt::CaseInsensitive))
            return RunDrawing(argc, argv, [&] {
                return RunSummary(args, DefaultArchiveFile(ProgramFolder()), stdout, stderr);
            });
        QCoreApplication app(argc, argv);
        return RunSummary(args, DefaultArchiveFile(ProgramFolder()), stdout, stderr);
    }
    if (command == u"archive") {
        if (args.contains(u"--help")) {
            Write(stdout, ArchiveUsage());
            return 0;
        }
        QCoreApplication app(argc, argv);
        RemoveUnfinishedOnSignals();
        return RunArchive(args, DefaultArchiveFile(ProgramFolder()), stdout, stderr);
    }
    Write(stderr, "oltc-cli: unknown command " + TerminalBytes(command) + "\n" + kUsage);
    return kExitUsage;
}

} // namespace
