#include "ReportCommand.h"

#include "FileTarget.h"
#include "NativeFile.h"
#include "ReportPainter.h"
#include "TerminalText.h"
#include "TestFile.h"
#include "UQRMain.h"

#include <QFileInfo>

namespace {
constexpr unsigned kAccepted = kMarkerOption | kAutoMarkersOption | kInvertedOption | kColorOption |
                               kBrandOption | kForceOption;
} // namespace

QByteArray ReportUsage() {
    return "usage: oltc-cli report [OPTIONS] FILE.cty... (-o OUT.pdf | -d DIR)\n"
           "  Writes the printed report of each test as a one-page A4 PDF.\n"
           "  -o OUT.pdf  the report of the one test given\n"
           "  -d DIR      NAME.pdf in DIR for each test NAME.cty, never overwriting:\n"
           "              NAME (2).pdf, NAME (3).pdf... when the name is taken\n" +
           ShownOptionsUsage(kAccepted);
}

std::optional<QString> ParseReportArgs(const QStringList& args, ReportOptions& options) {
    const auto own = [&options](const QStringList& a, qsizetype& i, QString& error) {
        if (a[i] != u"-o" && a[i] != u"-d")
            return OptionParse::NotMine;
        return TakeValue(a, i, a[i] == u"-o" ? options.output : options.folder, error);
    };
    if (auto error = ParseFileCommandArgs(args, kAccepted, options.shown, options.files, own))
        return error;
    if (options.files.isEmpty())
        return QStringLiteral("no test file given");
    if (options.output.isEmpty() == options.folder.isEmpty())
        return QStringLiteral("give either -o OUT.pdf or -d DIR");
    if (!options.output.isEmpty() && options.files.size() > 1)
        return QStringLiteral("-o takes exactly one test file; use -d DIR for several");
    if (!options.output.isEmpty())
        if (const QString refusal =
                OutputRefusal(options.output, options.files, {QStringLiteral("pdf")});
            !refusal.isEmpty())
            return refusal;
    if (!options.folder.isEmpty() && KindOf(options.folder) != FileKind::Folder)
        return QStringLiteral("-d %1: not a folder").arg(options.folder);
    return std::nullopt;
}

int RunReport(const ReportOptions& options, std::FILE* out, std::FILE* err) {
    const bool outTerminal = IsTerminal(out), errTerminal = IsTerminal(err);
    const auto fail = [&](const QString& path, const QString& text) {
        Print(
            err,
            QStringLiteral("oltc-cli report: %1: %2\n").arg(PrintedName(path, errTerminal), text));
    };
    const ChartColor settingsColor = options.shown.color.value_or(SettingsChartColor());
    bool badInput = false, badOutput = false;
    TestRecord record;
    for (const QString& path : options.files) {
        if (const QString reason = ReadTestFor(path, record, options.shown.force);
            !reason.isEmpty()) {
            fail(path, reason);
            badInput = true;
            continue;
        }
        const ReportPage page = ReportFill(ShownFromFile(record, options.shown, settingsColor));
        // Into a folder, the name is claimed before the write: another run
        // writing there at the same time takes the next.
        ClaimedName claim;
        QString why;
        if (options.output.isEmpty() &&
            !claim.Claim(options.folder, QFileInfo(path).completeBaseName(), QStringLiteral("pdf"),
                         &why)) {
            fail(options.folder, QStringLiteral("no name can be taken: %1").arg(why));
            badOutput = true;
            continue;
        }
        const QString target = options.output.isEmpty() ? claim.Path() : options.output;
        if (!WriteReportPdf(target, page, &why)) {
            fail(target, QStringLiteral("cannot write: %1").arg(why));
            badOutput = true;
            continue;
        }
        claim.Keep();
        Print(out, PrintedName(target, outTerminal) + u'\n');
    }
    return badInput ? 2 : badOutput ? 1 : 0;
}
