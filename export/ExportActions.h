#pragma once

#include "Language.h"
#include "ShownTest.h"

#include <QImage>
#include <QString>
#include <functional>

class QWidget;

// What a chosen export name asks for: ".docx" or ".doc" a document, ".csv"
// the waveform data, ".cfg" the waveforms as COMTRADE, any other name a
// workbook; letter case does not matter.
enum class ExportKind { Workbook, Document, Waveform, Comtrade };
ExportKind ExportKindOf(const QString& fileName);

// "t.bmp" in the program folder: the chart picture of the last "导出".
QString ChartPictureFile(const QString& programFolder);

// Where document templates are looked for: the program folder, the
// executable's folder (where the build puts them) and an installed
// program's data folder "<prefix>/share/oltc" (empty when not installed).
struct TemplatePlaces {
    QString programFolder;
    QString executableFolder;
    QString installedData;
};

// The document template for `language` among `places`; empty when missing.
// Chinese: "Model/Model.pat" of the program folder, the executable's folder,
// the installed data folder. English: "Model/Model_en.pat" of the program
// folder; else a "Model/Model.pat" of the program folder when that is not
// the executable's (a per-user folder, where a lab keeps its own template);
// else "Model/Model_en.pat" of the executable's and the installed data
// folder; else as for Chinese.
QString TemplateFileAmong(const TemplatePlaces& places, Language language);
// The same for the running program.
QString TemplateFile(const QString& programFolder, Language language);
// The same, after "系统数据已遭到破坏！\r\r请重新安装系统！" when it is missing.
QString TemplatePath(const QString& programFolder, Language language);

// Opens a folder for the user to see; tests replace it.
using FolderOpener = std::function<void(const QString& folder)>;
FolderOpener& OpenFolder();

// The exports of the "导出" command, each with its progress window (owned by
// `owner`), messages and the opening of the file's folder. True when the
// file was written.
bool ExportSpreadsheet(const ShownTest& shown, const QImage& chart, const QString& fileName,
                       QWidget* owner);
bool ExportDocument(const ShownTest& shown, const QImage& chart, const QString& fileName,
                    const QString& programFolder, Language language, QWidget* owner);
bool ExportWaveform(const ShownTest& shown, const QString& fileName);
// NAME.cfg, NAME.dat, NAME.hdr: binary, or ASCII when a phase spans more
// values than 16-bit binary holds.
bool ExportComtrade(const ShownTest& shown, const QString& fileName);
