#include "ExportCommand.h"

#include "KeptTests.h"

#include "ChartPicture.h"
#include "Document.h"
#include "ExitCodes.h"
#include "ExportActions.h"
#include "FileTarget.h"
#include "NativeFile.h"
#include "ProgramFolder.h"
#include "TerminalText.h"
#include "TestFile.h"
#include "WaveformCsv.h"
#include "Workbook.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

const QStringList kExportExtensions = {QStringLiteral("xlsx"), QStringLiteral("xls"),
                                       QStringLiteral("docx"), QStringLiteral("doc"),
                                       QStringLiteral("csv")};

namespace {

constexpr unsigned kAccepted =
    kMarkerOption | kAutoMarkersOption | kInvertedOption | kColorOption | kForceOption;

const QStringList kFormats = {QStringLiteral("xlsx"), QStringLiteral("docx"),
                              QStringLiteral("csv")};

ExportKind KindOf(const ExportOptions& options) {
    if (!options.output.isEmpty())
        return ExportKindOf(options.output);
    return options.format == u"docx"  ? ExportKind::Document
           : options.format == u"csv" ? ExportKind::Waveform
                                      : ExportKind::Workbook;
}

} // namespace

QByteArray ExportUsage() {
    return "usage: oltc-cli export [OPTIONS] FILE.cty -o OUT.xlsx|OUT.docx|OUT.csv\n"
           "       oltc-cli export [OPTIONS] FILE.cty... -d DIR --format xlsx|docx|csv\n"
           "Exports tests as the main window's \"" +
           QCoreApplication::translate("UMain", "导出").toUtf8() +
           "\" does: a workbook, a document from\n"
           "the template Model/Model.pat of the program folder, or the waveform data.\n"
           "-o names the one output (an existing file is replaced, never a test given);\n"
           "-d writes NAME.ext per test into DIR, or NAME (2).ext... beside what is\n"
           "there already, printing each path when its file is complete.\n"
           "\n"
           "options:\n" +
           ShownOptionsUsage(kAccepted) +
           "  -o OUT      the output file; its extension chooses the export: .xlsx or\n"
           "              .xls a workbook, .docx or .doc a document, .csv the data\n"
           "  -d DIR      the output folder, with --format\n"
           "  --format F  xlsx, docx or csv\n"
           "exit status: 0 done, 1 an export could not be written, 2 usage or a test\n"
           "file that cannot be read\n";
}

std::optional<QString> ParseExportArgs(const QStringList& args, ExportOptions& options) {
    const auto own = [&options](const QStringList& a, qsizetype& i, QString& error) {
        const QString& arg = a[i];
        if (arg != u"-o" && arg != u"-d" && arg != u"--format")
            return OptionParse::NotMine;
        return TakeValue(a, i,
                         arg == u"-o"   ? options.output
                         : arg == u"-d" ? options.directory
                                        : options.format,
                         error);
    };
    if (auto error = ParseFileCommandArgs(args, kAccepted, options.shown, options.files, own))
        return error;
    if (options.files.isEmpty())
        return QStringLiteral("no test file given");
    if (options.output.isEmpty() == options.directory.isEmpty())
        return QStringLiteral("give either -o OUT or -d DIR");
    if (!options.output.isEmpty()) {
        if (options.files.size() > 1)
            return QStringLiteral("-o takes one test file; use -d DIR for more");
        if (!options.format.isEmpty())
            return QStringLiteral("--format goes with -d; -o takes the extension of OUT");
        if (const QString refusal = OutputRefusal(options.output, options.files, kExportExtensions);
            !refusal.isEmpty())
            return refusal;
    } else if (!kFormats.contains(options.format)) {
        return QStringLiteral("-d needs --format xlsx, docx or csv");
    }
    return std::nullopt;
}

bool ExportDraws(const ExportOptions& options) {
    return KindOf(options) != ExportKind::Waveform;
}

int RunExport(const ExportOptions& options, std::FILE* out, std::FILE* err) {
    const bool outTerminal = IsTerminal(out), errTerminal = IsTerminal(err);
    const auto fail = [&](const QString& text) {
        Print(err, QStringLiteral("oltc-cli export: %1\n").arg(text));
    };
    const auto name = [&](const QString& path) { return PrintedName(path, errTerminal); };
    const ExportKind kind = KindOf(options);
    const QString extension = options.format;
    if (options.output.isEmpty()) {
        if (QString why; !MakeFolders(options.directory, &why)) {
            fail(
                QStringLiteral("%1: cannot make the folder: %2").arg(name(options.directory), why));
            return kExitFailed;
        }
    }
    QString templatePath;
    if (kind == ExportKind::Document) {
        templatePath = TemplateFile(ProgramFolder());
        if (templatePath.isEmpty()) {
            fail(QCoreApplication::translate("ExportCommand",
                                             "系统数据已遭到破坏！ 请重新安装系统！ (no %1)")
                     .arg(QDir(ProgramFolder()).filePath(QStringLiteral("Model/Model.pat"))));
            return kExitFailed;
        }
    }

    const ChartColor color = options.shown.color.value_or(SettingsChartColor());
    int status = 0;
    TestRecord record;
    for (const QString& path : options.files) {
        if (const QString reason = ReadTestFor(path, record, options.shown.force);
            !reason.isEmpty()) {
            fail(QStringLiteral("%1: %2").arg(name(path), reason));
            status = 2;
            continue;
        }
        ShownTest shown = ShownFromFile(record, options.shown, color);
        AddArchiveNotes(shown, path);
        // Into a folder, the name is claimed before the write: another run
        // writing there at the same time takes the next.
        ClaimedName claim;
        if (options.output.isEmpty()) {
            if (QString why; !claim.Claim(options.directory, QFileInfo(path).completeBaseName(),
                                          extension, &why)) {
                fail(QStringLiteral("%1: no name can be taken: %2")
                         .arg(name(options.directory), why));
                status = status == 0 ? 1 : status;
                continue;
            }
        }
        const QString target = options.output.isEmpty() ? claim.Path() : options.output;
        ExportResult result;
        switch (kind) {
        case ExportKind::Waveform:
            result = WriteWaveformCsv(shown.record, target);
            break;
        case ExportKind::Workbook:
            result = WriteWorkbook(shown, DrawChartPicture(shown), target);
            break;
        case ExportKind::Document:
            result = WriteDocument(shown, DrawChartPicture(shown), templatePath, target);
            break;
        }
        if (!result.ok()) {
            fail(result.code == ExportResult::TemplateMismatch
                     ? QCoreApplication::translate("ExportCommand", "模板格式不匹配！ (%1)")
                           .arg(name(result.detail))
                     : name(result.detail));
            if (status == 0)
                status = 1;
            // A template that does not match fails every file alike.
            if (result.code == ExportResult::TemplateMismatch)
                return kExitFailed;
            continue;
        }
        claim.Keep();
        Print(out, PrintedName(target, outTerminal) + u'\n');
    }
    return status;
}
