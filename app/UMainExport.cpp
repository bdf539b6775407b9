// The "导出" command: the chart picture, the save dialog, the export its name asks for.
#include "UMain.h"

#include "ChartPicture.h"
#include "Dialogs.h"
#include "ExportActions.h"
#include "Helpers.h"
#include "Language.h"
#include "WaveChart.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QPushButton>
#include <QScopeGuard>
#include <stdexcept>

namespace {

// Read when used: the translation is installed after start-up.
QString kWorkbookEntry() {
    return QCoreApplication::translate("UMainExport", "测试数据文件(*.xlsx)");
}
// Read when used: the translation is installed after start-up.
QString kDocumentEntry() {
    return QCoreApplication::translate("UMainExport", "测试数据文件(*.docx)");
}
// Read when used: the translation is installed after start-up.
QString kWaveformEntry() {
    return QCoreApplication::translate("UMainExport", "波形数据(*.csv)");
}
// Read when used: the translation is installed after start-up.
QString kComtradeEntry() {
    return QCoreApplication::translate("UMainExport", "COMTRADE波形数据(*.cfg)");
}

} // namespace

void TFrmMain::BtnExportClick() {
    // Its pauses let the button be pressed again: one export at a time.
    if (exporting_)
        return;
    exporting_ = true;
    BtnExport->setEnabled(false);
    const auto done = qScopeGuard([this] {
        exporting_ = false;
        BtnExport->setEnabled(true);
    });

    Delay(10);
    const QImage picture = ChartPictureOf(*ChartA);
    QString error;
    if (!SaveChartPicture(picture, ChartPictureFile(programFolder_), &error))
        throw std::runtime_error(error.toLocal8Bit().toStdString());
    const QString folder = TestFolder();
    if (!QFileInfo(folder).isDir())
        QDir().mkdir(folder);

    FileDialogRequest request;
    request.title = QCoreApplication::translate("UMainExport", "保存当前测试数据");
    request.folder = folder;
    request.proposedName = FileTimeText(QDateTime::currentDateTime());
    request.filter =
        QStringList{kWorkbookEntry(), kDocumentEntry(), kWaveformEntry(), kComtradeEntry()}.join(
            u";;");
    request.defaultSuffix = QStringLiteral("xlsx");
    request.selectedFilter = exportFilter_;
    QString chosen = exportFilter_;
    request.chosenFilter = &chosen;
    const QString fileName = Dialogs().saveFile(this, request);
    if (fileName.isEmpty())
        return;
    exportFilter_ = chosen;

    const ShownTest shown = ShownNow();
    switch (ExportKindOf(fileName)) {
    case ExportKind::Document:
        ExportDocument(shown, picture, fileName, programFolder_, CurrentLanguage(), this);
        break;
    case ExportKind::Waveform:
        ExportWaveform(shown, fileName);
        break;
    case ExportKind::Comtrade:
        ExportComtrade(shown, fileName);
        break;
    case ExportKind::Workbook:
        ExportSpreadsheet(shown, picture, fileName, this);
        break;
    }
}
