#include "ArchiveCommand.h"

#include "Archive.h"
#include "ArchiveSync.h"
#include "ExitCodes.h"
#include "FileNames.h"
#include "FileTarget.h"
#include "Helpers.h"
#include "Json.h"
#include "NativeFile.h"
#include "ShownOptions.h"
#include "TerminalText.h"
#include "TestFile.h"
#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <functional>
#include <map>

namespace {

constexpr int kImportBatch = 250;

struct Options {
    QString archive;
    QString sub;
    QStringList operands;
    std::map<QString, QString> values; // --place TEXT and the like
    QStringList sets;                  // --set P=t1,t2,t3,t4
    bool json = false;
};

std::optional<QString> Parse(const QStringList& args, Options& o) {
    static const QStringList valued = {
        QStringLiteral("--archive"), QStringLiteral("--place"),  QStringLiteral("--device"),
        QStringLiteral("--user"),    QStringLiteral("--from"),   QStringLiteral("--to"),
        QStringLiteral("--step"),    QStringLiteral("--report"), QStringLiteral("--remark"),
        QStringLiteral("-o"),        QStringLiteral("--set"),    QStringLiteral("--baseline")};
    bool onlyOperands = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (onlyOperands || !arg.startsWith(u'-') || arg == u"-") {
            if (o.sub.isEmpty())
                o.sub = arg;
            else
                o.operands << arg;
        } else if (arg == u"--") {
            onlyOperands = true;
        } else if (arg == u"--json") {
            o.json = true;
        } else if (valued.contains(arg)) {
            if (i + 1 >= args.size())
                return arg + QStringLiteral(" needs a value");
            if (arg == u"--set")
                o.sets << args[++i];
            else if (arg == u"--archive")
                o.archive = args[++i];
            else
                o.values[arg] = args[++i];
        } else {
            return QStringLiteral("unknown option ") + arg;
        }
    }
    static const QStringList subs = {QStringLiteral("import"),   QStringLiteral("list"),
                                     QStringLiteral("get"),      QStringLiteral("markers"),
                                     QStringLiteral("annotate"), QStringLiteral("push"),
                                     QStringLiteral("pull"),     QStringLiteral("check")};
    if (!subs.contains(o.sub))
        return o.sub.isEmpty() ? QStringLiteral("which archive command?")
                               : QStringLiteral("unknown archive command ") + o.sub;
    return std::nullopt;
}

std::optional<QString> FilterFrom(const Options& o, ArchiveFilter& filter) {
    const auto value = [&](const char* name) {
        const auto it = o.values.find(QString::fromLatin1(name));
        return it == o.values.end() ? QString() : it->second;
    };
    filter.place = value("--place");
    filter.device = value("--device");
    filter.user = value("--user");
    for (const auto& [name, date] : {std::pair{"--from", &filter.from}, {"--to", &filter.to}})
        if (const QString text = value(name); !text.isEmpty()) {
            *date = QDate::fromString(text, Qt::ISODate);
            if (!date->isValid())
                return QStringLiteral("%1 %2: expected YYYY-MM-DD").arg(QLatin1String(name), text);
        }
    if (const QString text = value("--baseline"); !text.isEmpty()) {
        if (text != u"yes" && text != u"no")
            return QStringLiteral("--baseline %1: expected yes or no").arg(text);
        // A filter of list; annotate sets it instead.
        if (o.sub == u"list")
            filter.baseline = text == u"yes";
    }
    if (const QString text = value("--step"); !text.isEmpty()) {
        bool ok = false;
        const int step = text.toInt(&ok);
        if (!ok || step < 0 || step > 197)
            return QStringLiteral("--step %1: expected 0..197").arg(text);
        filter.step = step;
    }
    return std::nullopt;
}

QByteArray MarkersJson(const std::optional<TransitionMarkers>& markers) {
    if (!markers)
        return "null";
    QByteArray json = "{";
    for (int p = 0; p < 3; ++p)
        json += (p ? ", \"" : "\"") + QByteArray(1, char('A' + p)) +
                "\": " + JsonIntArray(markers->phase[p]);
    return json + "}";
}

QByteArray ListLine(const ArchivedTest& t, bool json) {
    if (!json) {
        QStringList fields = {t.id.left(12),
                              t.time,
                              t.user,
                              t.place,
                              t.device,
                              StepText(t.step),
                              t.source,
                              t.markers ? QStringLiteral("markers") : QStringLiteral("-"),
                              t.baseline ? QStringLiteral("baseline") : QStringLiteral("-")};
        return TerminalBytes(fields.join(u'\t')) + "\n";
    }
    QByteArray line = "{";
    const JsonMembers members = {
        {"id", JsonString(t.id)},
        {"time", JsonString(t.time)},
        {"user", JsonString(t.user)},
        {"place", JsonString(t.place)},
        {"device", JsonString(t.device)},
        {"step", QByteArray::number(t.step)},
        {"step_text", JsonString(StepText(t.step))},
        {"switch_type", QByteArray::number(t.switchType)},
        {"test_mode", QByteArray::number(t.testMode)},
        {"source", JsonString(t.source)},
        {"added", JsonString(StoredTime(t.added))},
        {"markers", MarkersJson(t.markers)},
        {"baseline", t.baseline ? QByteArray("true") : QByteArray("false")},
        {"file", JsonString(t.file)},
    };
    for (const auto& [key, value] : members)
        line += (line.size() > 1 ? ", \"" : "\"") + key + "\": " + value;
    return line + "}\n";
}

int Import(Archive& archive, const Options& o, std::FILE* out, std::FILE* err) {
    QStringList refused;
    const QStringList files = CollectTestFiles(o.operands, refused);
    int added = 0, there = 0;
    for (qsizetype start = 0; start < files.size(); start += kImportBatch) {
        QList<QByteArray> tests;
        QStringList paths;
        for (const auto& [path, bytes] : ReadTests(files.mid(start, kImportBatch), refused)) {
            tests << bytes;
            paths << QFileInfo(path).absoluteFilePath();
        }
        for (const AddResult& r : archive.AddMany(tests, TestSource::Import, paths)) {
            if (r.outcome == AddOutcome::Failed) {
                Print(err, QStringLiteral("oltc-cli archive import: %1: %2\n")
                               .arg(archive.Location().Shown(), archive.Error()));
                Print(out, QStringLiteral("added %1, already there %2 before the failure\n")
                               .arg(added)
                               .arg(there));
                return archive.LastFailure() == Archive::Failure::Server ? kExitServer
                                                                         : kExitFailed;
            }
            added += r.outcome == AddOutcome::Added;
            there += r.outcome == AddOutcome::AlreadyThere;
        }
    }
    for (const QString& line : refused)
        Print(err, QStringLiteral("oltc-cli archive import: refused %1\n").arg(line));
    Print(out, QStringLiteral("added %1, already there %2, refused %3\n")
                   .arg(added)
                   .arg(there)
                   .arg(refused.size()));
    return refused.isEmpty() ? kExitOk : kExitUsage;
}

// The one test an id or a prefix of it names.
std::optional<QString> OneTest(Archive& archive, const QString& prefix, std::FILE* err,
                               int& status) {
    const QStringList ids = archive.Resolve(prefix);
    if (ids.size() == 1)
        return ids[0];
    status = archive.LastFailure() == Archive::Failure::Server ? kExitServer : kExitFailed;
    Print(err, QStringLiteral("oltc-cli archive: %1\n")
                   .arg(!archive.Error().isEmpty() ? archive.Error()
                        : ids.isEmpty()
                            ? QStringLiteral("no test %1 in the archive").arg(TerminalBytes(prefix))
                            : QStringLiteral("%1 names more than one test").arg(prefix)));
    return std::nullopt;
}

std::optional<QString> ParseSet(const QString& value, TransitionMarkers& markers) {
    static const QRegularExpression form(
        QStringLiteral("^([ABCabc])=(\\d{1,4}),(\\d{1,4}),(\\d{1,4}),(\\d{1,4})$"));
    const auto match = form.match(value);
    std::array<int, 4> t{};
    for (int i = 0; i < 4; ++i)
        t[i] = match.captured(i + 2).toInt();
    if (!match.hasMatch() ||
        !(0 <= t[0] && t[0] <= t[1] && t[1] <= t[2] && t[2] <= t[3] && t[3] <= kSampleCount))
        return QStringLiteral("--set %1: expected P=t1,t2,t3,t4 with P one of A, B, C and "
                              "0 <= t1 <= t2 <= t3 <= t4 <= %2")
            .arg(value)
            .arg(kSampleCount);
    markers.phase[match.captured(1).toUpper().at(0).unicode() - 'A'] = t;
    return std::nullopt;
}

int Failed(Archive& archive, std::FILE* err) {
    Print(err, QStringLiteral("oltc-cli archive: %1: %2\n")
                   .arg(archive.Location().Shown(), archive.Error()));
    return archive.LastFailure() == Archive::Failure::Server ? kExitServer : kExitFailed;
}

} // namespace

QByteArray ArchiveUsage() {
    return "usage: oltc-cli archive COMMAND [--archive PATH|URL] ...\n"
           "Every test the program sees is kept in an archive: archive.sqlite in the\n"
           "program folder, or the SQLite file or PostgreSQL server --archive names\n"
           "(postgresql://USER@HOST:PORT/DB, or postgresql://USER@/DB?host=/socket/folder).\n"
           "\n"
           "commands:\n"
           "  import FILE|DIR...     adds .cty files (folders recursively)\n"
           "  list [--place TEXT] [--device TEXT] [--user TEXT] [--from YYYY-MM-DD]\n"
           "       [--to YYYY-MM-DD] [--step K] [--baseline yes|no] [--json]\n"
           "                         one line (or JSON object) per test\n"
           "  get ID -o FILE.cty     the test's bytes (a prefix of the id will do)\n"
           "  markers ID [--set P=t1,t2,t3,t4]...\n"
           "                         the latest markers, or a new revision of them\n"
           "  annotate ID [--device TEXT] [--report TEXT] [--remark TEXT]\n"
           "           [--baseline yes|no]\n"
           "                         what the test is of; a baseline is the test of its\n"
           "                         tap step taken when the tap changer was known good\n"
           "  push URL               copies what the other archive lacks into it\n"
           "  pull URL [--place TEXT] [--device TEXT]\n"
           "                         copies what this archive lacks from the other\n"
           "  check                  says what is wrong with the archive\n"
           "\n"
           "Exit status: 0 done, 1 the archive cannot be used or has no such test,\n"
           "2 bad arguments or a file refused, 3 a server refused or went away.\n";
}

int RunArchive(const QStringList& args, const QString& defaultArchive, std::FILE* out,
               std::FILE* err) {
    Options o;
    ArchiveFilter filter;
    auto error = Parse(args, o);
    if (!error)
        error = FilterFrom(o, filter);
    const auto usage = [&](const QString& why) {
        Print(err, QStringLiteral("oltc-cli archive: %1\n").arg(why));
        Write(err, ArchiveUsage());
        return kExitUsage;
    };
    if (error)
        return usage(*error);
    const qsizetype wanted = o.sub == u"list" || o.sub == u"check" ? 0
                             : o.sub == u"import"                  ? -1
                                                                   : 1;
    if ((wanted >= 0 && o.operands.size() != wanted) || (wanted < 0 && o.operands.isEmpty()))
        return usage(QStringLiteral("%1 takes %2")
                         .arg(o.sub, wanted == 0   ? QStringLiteral("no operand")
                                     : wanted == 1 ? QStringLiteral("one operand")
                                                   : QStringLiteral("files or folders")));
    const QString where = o.archive.isEmpty() ? defaultArchive : o.archive;
    if (where.isEmpty())
        return usage(QStringLiteral("no program folder for the archive (no home): name one "
                                    "with --archive"));
    QString why;
    const auto location = ParseArchiveLocation(where, &why);
    if (!location)
        return usage(why);
    Archive::Failure failure{};
    const auto archive = Archive::Open(*location, &why, &failure);
    if (!archive) {
        Print(err, QStringLiteral("oltc-cli archive: %1: %2\n")
                       .arg(PrintedName(location->Shown(), IsTerminal(err)), why));
        return failure == Archive::Failure::Server ? kExitServer : kExitFailed;
    }
    if (o.sub == u"import")
        return Import(*archive, o, out, err);
    if (o.sub == u"list") {
        const QList<ArchivedTest> tests = archive->List(filter);
        if (tests.isEmpty() && archive->LastFailure() != Archive::Failure::None)
            return Failed(*archive, err);
        for (const ArchivedTest& t : tests)
            Write(out, ListLine(t, o.json));
        return kExitOk;
    }
    if (o.sub == u"check") {
        const QStringList problems = archive->Check();
        for (const QString& problem : problems)
            Print(out, problem + u'\n');
        if (problems.isEmpty())
            Print(out, QStringLiteral("%1: no fault found, %2 tests\n")
                           .arg(location->Shown())
                           .arg(archive->Count()));
        return problems.isEmpty() ? kExitOk : kExitFailed;
    }
    if (o.sub == u"push" || o.sub == u"pull") {
        const auto other = ParseArchiveLocation(o.operands[0], &why);
        if (!other)
            return usage(why);
        const auto remote = Archive::Open(*other, &why, &failure);
        if (!remote) {
            Print(err,
                  QStringLiteral("oltc-cli archive %1: %2: %3\n").arg(o.sub, other->Shown(), why));
            return failure == Archive::Failure::Server ? kExitServer : kExitFailed;
        }
        const bool push = o.sub == u"push";
        const SyncResult result = CopyArchive(
            push ? *archive : *remote, push ? *remote : *archive, filter, [&](int done, int total) {
                Print(err, QStringLiteral("%1/%2\r").arg(done).arg(total));
            });
        if (!result.ok) {
            Print(err, QStringLiteral("oltc-cli archive %1: %2\n").arg(o.sub, result.error));
            return result.serverLost ? kExitServer : kExitFailed;
        }
        Print(out, QStringLiteral("%1 tests looked at, %2 new to %3\n")
                       .arg(result.tests)
                       .arg(result.added)
                       .arg(push ? other->Shown() : location->Shown()));
        return kExitOk;
    }
    int status = kExitOk;
    const auto id = OneTest(*archive, o.operands[0], err, status);
    if (!id)
        return status;
    if (o.sub == u"get") {
        const auto it = o.values.find(QStringLiteral("-o"));
        if (it == o.values.end())
            return usage(QStringLiteral("get needs -o FILE.cty"));
        if (!IsTestFileName(it->second))
            return usage(QStringLiteral("-o %1: a test is written as .cty").arg(it->second));
        const auto bytes = archive->Bytes(*id);
        if (!bytes)
            return Failed(*archive, err);
        QString failure;
        if (!WriteWholeFile(it->second, *bytes, &failure)) {
            Print(err, QStringLiteral("oltc-cli archive get: %1: %2\n")
                           .arg(PrintedName(it->second, IsTerminal(err)), failure));
            return kExitFailed;
        }
        Print(out, PrintedName(it->second, IsTerminal(out)) + u'\n');
        return kExitOk;
    }
    if (o.sub == u"markers") {
        const auto latest = archive->LatestMarkers(*id);
        if (!o.sets.isEmpty()) {
            TransitionMarkers markers = latest ? latest->markers : TransitionMarkers{};
            for (const QString& set : o.sets)
                if (const auto bad = ParseSet(set, markers))
                    return usage(*bad);
            if (!archive->AddMarkers(*id, markers, QStringLiteral("hand")))
                return Failed(*archive, err);
            return kExitOk;
        }
        if (!latest)
            return archive->LastFailure() != Archive::Failure::None
                       ? Failed(*archive, err)
                       : (Print(out, QStringLiteral("no markers kept\n")), kExitOk);
        for (int p = 0; p < 3; ++p)
            Print(out, QStringLiteral("%1 %2 %3 %4 %5\n")
                           .arg(QChar(u'A' + p))
                           .arg(latest->markers.phase[p][0])
                           .arg(latest->markers.phase[p][1])
                           .arg(latest->markers.phase[p][2])
                           .arg(latest->markers.phase[p][3]));
        return kExitOk;
    }
    // annotate
    AnnotationChange change;
    for (const auto& [name, field] : {std::pair{"--device", &change.device},
                                      {"--report", &change.report},
                                      {"--remark", &change.remark}})
        if (const auto it = o.values.find(QString::fromLatin1(name)); it != o.values.end())
            *field = it->second;
    const auto baseline = o.values.find(QStringLiteral("--baseline"));
    if (!change.device && !change.report && !change.remark && baseline == o.values.end())
        return usage(QStringLiteral("annotate needs --device, --report, --remark or --baseline"));
    if ((change.device || change.report || change.remark) && !archive->Annotate(*id, change))
        return Failed(*archive, err);
    if (baseline != o.values.end() && !archive->SetBaseline(*id, baseline->second == u"yes"))
        return Failed(*archive, err);
    return kExitOk;
}
