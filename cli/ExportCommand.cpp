#include "ExportCommand.h"

#include "ChartPicture.h"
#include "Document.h"
#include "ExportActions.h"
#include "NativeFile.h"
#include "ProgramFolder.h"
#include "TerminalText.h"
#include "TestFile.h"
#include "WaveformCsv.h"
#include "Workbook.h"

#include <QDir>
#include <QFileInfo>

namespace {

const QStringList kFormats = {QStringLiteral("xlsx"), QStringLiteral("docx"),
                              QStringLiteral("csv")};

} // namespace

QByteArray ExportUsage() {
    return "usage: oltc-cli export [OPTIONS] FILE.cty -o OUT.xlsx|OUT.docx|OUT.csv\n"
           "       oltc-cli export [OPTIONS] FILE.cty... -d DIR --format xlsx|docx|csv\n"
           "Exports tests as the main window's 导出 does: a workbook, a document from\n"
           "the template Model/Model.pat of the program folder, or the waveform data.\n"
           "-o names the one output (an existing file is replaced); -d writes NAME.ext\n"
           "per test into DIR, or NAME (2).ext... beside what is there already.\n"
           "\n"
           "options:\n" +
           ShownOptionsUsage(kMarkerOption | kAutoMarkersOption | kInvertedOption | kColorOption) +
           "  -o OUT      the output file; its extension chooses the export\n"
           "  -d DIR      the output folder, with --format\n"
           "  --format F  xlsx, docx or csv\n"
           "exit status: 0 done, 1 an export could not be written, 2 usage or a test\n"
           "file that cannot be read\n";
}

std::optional<QString> ParseExportArgs(const QStringList& args, ExportOptions& options) {
    const unsigned accepted = kMarkerOption | kAutoMarkersOption | kInvertedOption | kColorOption;
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
    if (auto error = ParseFileCommandArgs(args, accepted, options.shown, options.files, own))
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
    } else if (!kFormats.contains(options.format)) {
        return QStringLiteral("-d needs --format xlsx, docx or csv");
    }
    return std::nullopt;
}

int RunExport(const ExportOptions& options, QByteArray& out, QByteArray& err) {
    const auto fail = [&err](const QString& text) {
        err += TerminalBytes(QStringLiteral("oltc-cli export: %1\n").arg(text));
    };
    ExportKind kind = ExportKind::Workbook;
    QString extension = options.format;
    if (!options.output.isEmpty()) {
        kind = ExportKindOf(options.output);
    } else {
        kind = extension == u"docx"  ? ExportKind::Document
               : extension == u"csv" ? ExportKind::Waveform
                                     : ExportKind::Workbook;
        if (QString why; !MakeFolders(options.directory, &why)) {
            fail(QStringLiteral("%1: cannot make the folder: %2").arg(options.directory, why));
            return 1;
        }
    }
    QString templatePath;
    if (kind == ExportKind::Document) {
        templatePath = TemplateFile(ProgramFolder());
        if (templatePath.isEmpty()) {
            fail(QStringLiteral("系统数据已遭到破坏！ 请重新安装系统！ (no %1)")
                     .arg(QDir(ProgramFolder()).filePath(QStringLiteral("Model/Model.pat"))));
            return 1;
        }
    }

    const ChartColor color = options.shown.color.value_or(SettingsChartColor());
    int status = 0;
    TestRecord record;
    for (const QString& path : options.files) {
        if (const QString reason = ReadTestFor(path, record); !reason.isEmpty()) {
            fail(QStringLiteral("%1: %2").arg(path, reason));
            status = 2;
            continue;
        }
        const ShownTest shown = ShownFromFile(record, options.shown, color);
        const QString target =
            !options.output.isEmpty()
                ? options.output
                : FreePath(options.directory, QFileInfo(path).completeBaseName(), extension);
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
                     ? QStringLiteral("模板格式不匹配！ (%1)").arg(result.detail)
                     : result.detail);
            if (status == 0)
                status = 1;
            // A template that does not match fails every file alike.
            if (result.code == ExportResult::TemplateMismatch)
                return 1;
            continue;
        }
        out += TerminalBytes(target) + '\n';
    }
    return status;
}
