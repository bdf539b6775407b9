#pragma once

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

// The template "Model/Model.pat": in the program folder, else beside the
// executable (where the build puts it), else in an installed program's data
// folder "<prefix>/share/oltc". Empty when missing.
QString TemplateFile(const QString& programFolder);
// The same, after "系统数据已遭到破坏！\r\r请重新安装系统！" when it is missing.
QString TemplatePath(const QString& programFolder);

// Opens a folder for the user to see; tests replace it.
using FolderOpener = std::function<void(const QString& folder)>;
FolderOpener& OpenFolder();

// The exports of the "导出" command, each with its progress window (owned by
// `owner`), messages and the opening of the file's folder. True when the
// file was written.
bool ExportSpreadsheet(const ShownTest& shown, const QImage& chart, const QString& fileName,
                       QWidget* owner);
bool ExportDocument(const ShownTest& shown, const QImage& chart, const QString& fileName,
                    const QString& programFolder, QWidget* owner);
bool ExportWaveform(const ShownTest& shown, const QString& fileName);
// NAME.cfg, NAME.dat, NAME.hdr: binary, or ASCII when a phase spans more
// values than 16-bit binary holds.
bool ExportComtrade(const ShownTest& shown, const QString& fileName);
