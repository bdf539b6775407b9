#include "ExportCommand.h"

#include "KeptTests.h"

#include "ChartPicture.h"
#include "Comtrade.h"
#include "Document.h"
#include "ExitCodes.h"
#include "ExportActions.h"
#include "FileSet.h"
#include "FileTarget.h"
#include "Language.h"
#include "NativeFile.h"
#include "ProgramFolder.h"
#include "ShowCommand.h"
#include "TerminalText.h"
#include "TestFile.h"
#include "WaveformCsv.h"
#include "Workbook.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

const QStringList kExportExtensions = {
    QStringLiteral("xlsx"), QStringLiteral("xls"), QStringLiteral("docx"), QStringLiteral("doc"),
    QStringLiteral("csv"),  QStringLiteral("cfg"), QStringLiteral("json")};

namespace {

constexpr unsigned kAccepted = kMarkerOption | kAutoMarkersOption | kInvertedOption | kColorOption |
                               kBrandOption | kForceOption;

const QStringList kFormats = {QStringLiteral("xlsx"), QStringLiteral("docx"), QStringLiteral("csv"),
                              QStringLiteral("cfg"), QStringLiteral("json")};

// The window's exports, and what `show --json` prints.
enum class Kind { Workbook, Document, Waveform, Comtrade, Json };

Kind KindOf(const ExportOptions& options) {
    const QString suffix =
        options.output.isEmpty() ? options.format : QFileInfo(options.output).suffix().toLower();
    if (suffix == u"json")
        return Kind::Json;
    if (options.output.isEmpty())
        return options.format == u"docx"  ? Kind::Document
               : options.format == u"csv" ? Kind::Waveform
               : options.format == u"cfg" ? Kind::Comtrade
                                          : Kind::Workbook;
    switch (ExportKindOf(options.output)) {
    case ExportKind::Document:
        return Kind::Document;
    case ExportKind::Waveform:
        return Kind::Waveform;
    case ExportKind::Comtrade:
        return Kind::Comtrade;
    case ExportKind::Workbook:
        break;
    }
    return Kind::Workbook;
}

// The extensions of the files one export of `format` writes into a folder.
QStringList ExtensionsOf(Kind kind, const QString& format) {
    return kind == Kind::Comtrade
               ? QStringList{QStringLiteral("cfg"), QStringLiteral("dat"), QStringLiteral("hdr")}
               : QStringList{format};
}

// Exactly what `show --json` prints for the test.
ExportResult WriteJson(const QString& path, const TestRecord& record, const ShownOptions& shown,
                       const QString& target) {
    std::array<bool, 3> found{};
    std::array<double, 3> quality{};
    const TransitionMarkers markers = MarkersFor(shown, record, &found, &quality);
    const QByteArray json =
        ShowJson(path, record, markers, 0, shown.autoMarkers ? &found : nullptr, &quality) + '\n';
    if (QString why; !WriteWholeFile(target, json, &why))
        return WriteFailure(target, why);
    return {};
}

} // namespace

QByteArray ExportUsage() {
    return "usage: oltc-cli export [OPTIONS] FILE.cty -o OUT.xlsx|.docx|.csv|.cfg|.json\n"
           "       oltc-cli export [OPTIONS] FILE.cty... -d DIR --format xlsx|docx|csv|cfg|json\n"
           "Exports tests as the main window's " +
           QCoreApplication::translate("UMain", "导出").toUtf8() +
           " does: a workbook, a document from\n"
           "the template Model/Model.pat of the program folder, the waveform data as\n"
           "CSV or as COMTRADE; or as JSON, exactly what show --json prints.\n"
           "-o names the one output (an existing file is replaced, never a test given);\n"
           "-d writes NAME.ext per test into DIR, or NAME (2).ext... beside what is\n"
           "there already, printing each path when its file is complete.\n"
           "COMTRADE (IEEE C37.111, revision year 2013, readable by 1999 readers) is\n"
           "NAME.cfg, NAME.dat and NAME.hdr, written as one set: three channels A, B,\n"
           "C in ohm at 10000 samples a second, the station the test's place, the\n"
           "recording device the maker of --brand, the start the test's time; the\n"
           "header holds the panel, the markers and the results.\n"
           "\n"
           "options:\n" +
           ShownOptionsUsage(kAccepted) +
           "  -o OUT      the output file; its extension chooses the export: .xlsx or\n"
           "              .xls a workbook, .docx or .doc a document, .csv the data,\n"
           "              .cfg COMTRADE, .json the JSON of show --json\n"
           "  -d DIR      the output folder, with --format\n"
           "  --format F  xlsx, docx, csv, cfg or json\n"
           "  --comtrade-ascii  COMTRADE data as ASCII (default: 16-bit binary)\n"
           "exit status: 0 done, 1 an export could not be written, 2 usage or a test\n"
           "file that cannot be read\n";
}

std::optional<QString> ParseExportArgs(const QStringList& args, ExportOptions& options) {
    const auto own = [&options](const QStringList& a, qsizetype& i, QString& error) {
        const QString& arg = a[i];
        if (arg == u"--comtrade-ascii") {
            options.comtradeAscii = true;
            return OptionParse::Taken;
        }
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
        // The data and header files beside a configuration must not be tests either.
        if (KindOf(options) == Kind::Comtrade)
            for (const QString& path : ComtradePaths(options.output).mid(1))
                if (const QString refusal =
                        OutputRefusal(path, options.files, {QFileInfo(path).suffix().toLower()});
                    !refusal.isEmpty())
                    return refusal;
    } else if (!kFormats.contains(options.format)) {
        return QStringLiteral("-d needs --format xlsx, docx, csv, cfg or json");
    }
    if (options.comtradeAscii && KindOf(options) != Kind::Comtrade)
        return QStringLiteral("--comtrade-ascii goes with COMTRADE output (.cfg)");
    return std::nullopt;
}

bool ExportDraws(const ExportOptions& options) {
    const Kind kind = KindOf(options);
    return kind == Kind::Workbook || kind == Kind::Document;
}

int RunExport(const ExportOptions& options, std::FILE* out, std::FILE* err) {
    const bool outTerminal = IsTerminal(out), errTerminal = IsTerminal(err);
    const auto fail = [&](const QString& text) {
        Print(err, QStringLiteral("oltc-cli export: %1\n").arg(text));
    };
    const auto name = [&](const QString& path) { return PrintedName(path, errTerminal); };
    const Kind kind = KindOf(options);
    const QString extension = options.format;
    if (options.output.isEmpty()) {
        if (QString why; !MakeFolders(options.directory, &why)) {
            fail(
                QStringLiteral("%1: cannot make the folder: %2").arg(name(options.directory), why));
            return kExitFailed;
        }
    }
    QString templatePath;
    if (kind == Kind::Document) {
        const Language language = CurrentLanguage();
        templatePath = TemplateFile(ProgramFolder(), language);
        if (templatePath.isEmpty()) {
            const QString model = language == Language::English
                                      ? QStringLiteral("Model/Model_en.pat")
                                      : QStringLiteral("Model/Model.pat");
            fail(QCoreApplication::translate("ExportCommand",
                                             "系统数据已遭到破坏！ 请重新安装系统！ (no %1)")
                     .arg(QDir(ProgramFolder()).filePath(model)));
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
        // A COMTRADE set takes one number for its three names.
        ClaimedNames claim;
        if (options.output.isEmpty()) {
            if (QString why; !claim.Claim(options.directory, QFileInfo(path).completeBaseName(),
                                          ExtensionsOf(kind, extension), &why)) {
                fail(QStringLiteral("%1: no name can be taken: %2")
                         .arg(name(options.directory), why));
                status = status == 0 ? 1 : status;
                continue;
            }
        }
        const QString target = options.output.isEmpty() ? claim.Paths().front() : options.output;
        ExportResult result;
        switch (kind) {
        case Kind::Waveform:
            result = WriteWaveformCsv(shown.record, target);
            break;
        case Kind::Workbook:
            result = WriteWorkbook(shown, DrawChartPicture(shown), target);
            break;
        case Kind::Document:
            result = WriteDocument(shown, DrawChartPicture(shown), templatePath, target);
            break;
        case Kind::Comtrade:
            result = WriteComtrade(shown, target,
                                   options.comtradeAscii ? ComtradeFormat::Ascii
                                                         : ComtradeFormat::Binary);
            break;
        case Kind::Json:
            result = WriteJson(path, record, options.shown, target);
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
