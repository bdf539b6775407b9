#include "SummaryCommand.h"

#include "Archive.h"
#include "ExitCodes.h"
#include "FileTarget.h"
#include "JudgeProfile.h"
#include "NativeFile.h"
#include "ShownOptions.h"
#include "SummaryReport.h"
#include "SummaryTable.h"
#include "SummaryWorkbook.h"
#include "TerminalText.h"
#include "TestBody.h"
#include "TestFile.h"
#include "TestFiles.h"
#include "TestToJudge.h"

#include <QFile>
#include <QFileInfo>
#include <map>

namespace {

struct Options {
    QString profile, archive, output;
    QStringList baselines, inputs;
    ArchiveFilter selection;
    bool fromArchive = false;
};

std::optional<QString> Parse(const QStringList& args, Options& o) {
    bool onlyFiles = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (onlyFiles || !arg.startsWith(u'-') || arg == u"-") {
            o.inputs << arg;
            continue;
        }
        if (arg == u"--") {
            onlyFiles = true;
            continue;
        }
        static const QStringList valued = {"--profile", "--baseline", "--archive", "--place",
                                           "--device",  "--from",     "--to",      "-o"};
        if (!valued.contains(arg))
            return QStringLiteral("unknown option ") + arg;
        if (i + 1 >= args.size())
            return arg + QStringLiteral(" needs a value");
        const QString value = args[++i];
        if (arg == u"--profile")
            o.profile = value;
        else if (arg == u"--baseline")
            o.baselines << value;
        else if (arg == u"--archive")
            o.archive = value;
        else if (arg == u"-o")
            o.output = value;
        else if (arg == u"--place")
            o.selection.place = value, o.fromArchive = true;
        else if (arg == u"--device")
            o.selection.device = value, o.fromArchive = true;
        else {
            const QDate date = QDate::fromString(value, Qt::ISODate);
            if (!date.isValid())
                return QStringLiteral("%1 %2: expected YYYY-MM-DD").arg(arg, value);
            (arg == u"--from" ? o.selection.from : o.selection.to) = date;
            o.fromArchive = true;
        }
    }
    if (o.output.isEmpty())
        return QStringLiteral("-o OUT.json, OUT.csv, OUT.pdf or OUT.xlsx is needed");
    if (o.fromArchive && o.archive.isEmpty())
        return QStringLiteral("--place, --device, --from and --to choose from an archive: name "
                              "it with --archive");
    if (!o.archive.isEmpty() && o.inputs.isEmpty())
        o.fromArchive = true;
    if (o.inputs.isEmpty() && !o.fromArchive)
        return QStringLiteral("no tests: name files, folders or an archive");
    return std::nullopt;
}

// A test and the markers the archive keeps for it; the finder comes later,
// for all of them at once.
TestToPrepare Prepared(const QString& file, const QByteArray& bytes, Archive* archive) {
    auto record = std::make_shared<TestRecord>();
    DecodeTestFile(bytes, *record);
    const QString id = TestId(bytes);
    std::optional<TransitionMarkers> kept;
    if (archive)
        if (const auto latest = archive->LatestMarkers(id))
            kept = latest->markers;
    return {record, id, file, kept};
}

} // namespace

QByteArray SummaryUsage() {
    return "usage: oltc-cli summary [--profile FILE] [--baseline FILE|DIR]...\n"
           "         [--archive A [--place TEXT] [--device TEXT] [--from DATE] [--to DATE]]\n"
           "         [FILE|DIR...] -o OUT.json|OUT.csv|OUT.pdf|OUT.xlsx\n"
           "A campaign of tests judged tap by tap: the three phases against each other,\n"
           "each tap against the others of its direction and against the baseline of\n"
           "its tap, the maker's figures of a profile, and an interrupted current.\n"
           "Markers are the archive's latest when it keeps some, else found on the\n"
           "waveforms.\n"
           "\n"
           "  --profile FILE    tolerances, the maker's ranges and nameplate values\n"
           "  --baseline PATH   tests taken when the tap changer was known good;\n"
           "                    without it, a summary of the archive's tests takes\n"
           "                    the tests it marks as baselines of the same device\n"
           "  --archive A       an SQLite file or postgresql:// URL: its kept markers,\n"
           "                    and without FILE|DIR the tests it holds\n"
           "  --place, --device, --from, --to   choose the archive's tests\n"
           "  -o OUT            .json, .csv, .pdf (A4 pages: tables, plots, findings\n"
           "                    and the waveforms of failing taps) or .xlsx (a sheet\n"
           "                    per direction, numbers as numbers, charts)\n"
           "\n"
           "Exit status: 0 written (whatever the verdicts), 1 not written, 2 bad\n"
           "arguments or a test that cannot be read, 3 a server went away.\n";
}

int RunSummary(const QStringList& args, const QString& defaultArchive, std::FILE* out,
               std::FILE* err) {
    Options o;
    const auto usage = [&](const QString& why) {
        Print(err, QStringLiteral("oltc-cli summary: %1\n").arg(why));
        Write(err, SummaryUsage());
        return kExitUsage;
    };
    if (const auto error = Parse(args, o))
        return usage(*error);
    if (const QString refusal = OutputRefusal(o.output, o.inputs + o.baselines,
                                              {QStringLiteral("json"), QStringLiteral("csv"),
                                               QStringLiteral("pdf"), QStringLiteral("xlsx")});
        !refusal.isEmpty())
        return usage(refusal);
    JudgeProfile profile;
    if (!o.profile.isEmpty()) {
        QString why;
        const auto read = ReadJudgeProfile(o.profile, &why);
        if (!read)
            return usage(
                QStringLiteral("%1: %2").arg(PrintedName(o.profile, IsTerminal(err)), why));
        profile = *read;
    }
    // The kept markers: of the archive named, else of the program's own when
    // it is there (a summary never creates one).
    std::unique_ptr<Archive> archive;
    const QString where = !o.archive.isEmpty()                ? o.archive
                          : QFileInfo::exists(defaultArchive) ? defaultArchive
                                                              : QString();
    if (!where.isEmpty()) {
        QString why;
        Archive::Failure failure{};
        const auto location = ParseArchiveLocation(where, &why);
        if (!location)
            return usage(why);
        archive = Archive::Open(*location, &why, &failure);
        if (!archive && !o.archive.isEmpty()) {
            Print(err, QStringLiteral("oltc-cli summary: %1: %2\n").arg(location->Shown(), why));
            return failure == Archive::Failure::Server ? kExitServer : kExitFailed;
        }
    }
    QStringList refused;
    QList<TestToPrepare> toJudge, toCompare;
    for (const auto& [path, bytes] : ReadTests(CollectTestFiles(o.inputs, refused), refused))
        toJudge << Prepared(path, bytes, archive.get());
    for (const auto& [path, bytes] : ReadTests(CollectTestFiles(o.baselines, refused), refused))
        toCompare << Prepared(path, bytes, archive.get());
    QString device;
    if (o.fromArchive && archive) {
        const QList<ArchivedTest> chosen = archive->List(o.selection);
        if (chosen.isEmpty() && archive->LastFailure() != Archive::Failure::None) {
            Print(err, QStringLiteral("oltc-cli summary: %1\n").arg(archive->Error()));
            return archive->LastFailure() == Archive::Failure::Server ? kExitServer : kExitFailed;
        }
        std::map<QString, int> devices;
        for (const ArchivedTest& t : chosen) {
            const auto bytes = archive->Bytes(t.id);
            if (!bytes) {
                refused << t.id + QStringLiteral(": ") + archive->Error();
                continue;
            }
            toJudge << Prepared(t.file, *bytes, archive.get());
            if (!t.device.isEmpty())
                ++devices[t.device];
        }
        for (const auto& [name, count] : devices)
            if (device.isEmpty() || count > devices[device])
                device = name;
        // Without baselines given, those the archive marks for the same tap changer.
        if (o.baselines.isEmpty())
            for (const ArchivedTest& b :
                 archive->List(BaselinesFilter(device, o.selection.place))) {
                if (const auto bytes = archive->Bytes(b.id))
                    toCompare << Prepared(b.file, *bytes, archive.get());
            }
    }
    for (const QString& line : refused)
        Print(err, QStringLiteral("oltc-cli summary: refused %1\n").arg(line));
    if (toJudge.isEmpty()) {
        Print(err, QStringLiteral("oltc-cli summary: no test to judge\n"));
        return kExitUsage;
    }
    SummaryInputs inputs{PrepareTests(toJudge), PrepareTests(toCompare), profile, device};
    const SummaryPages pages = JudgeSummary(inputs);
    const QString extension = QFileInfo(o.output).suffix().toLower();
    QString why;
    bool written = false;
    if (extension == u"pdf") {
        written = WriteSummaryPdf(o.output, pages, &why);
    } else if (extension == u"xlsx") {
        const ExportResult result = WriteSummaryWorkbook(pages.campaign, pages.heading, o.output);
        written = result.ok();
        why = result.detail;
    } else {
        written = WriteWholeFile(o.output,
                                 extension == u"json" ? SummaryJson(pages.campaign, pages.heading)
                                                      : SummaryCsv(pages.campaign),
                                 &why);
    }
    if (!written) {
        Print(err, QStringLiteral("oltc-cli summary: %1: %2\n")
                       .arg(PrintedName(o.output, IsTerminal(err)), why));
        return kExitFailed;
    }
    Print(out, PrintedName(o.output, IsTerminal(out)) + u'\n');
    return refused.isEmpty() ? 0 : kExitUsage;
}
