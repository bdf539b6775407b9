// Open, save, the background colour and dropped files.
#include "UMain.h"

#include "Archive.h"
#include "Dialogs.h"
#include "Helpers.h"
#include "Message.h"
#include "NativeFile.h"
#include "TestFile.h"
#include "UDataCenter.h"
#include "WaveChart.h"

#include <QCoreApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QMimeData>
#include <QTimer>

namespace {

const QString kExtension = QStringLiteral(".cty");

FileDialogRequest TestFileRequest(const QString& title, const QString& folder) {
    return {title,
            folder,
            {},
            QCoreApplication::translate("UMainFiles", "测试数据文件(*%1)").arg(kExtension),
            RightText(kExtension, 3)};
}

QString DroppedTestFile(const QMimeData* mime) {
    if (!mime || !mime->hasUrls() || mime->urls().size() != 1)
        return {};
    const QString path = mime->urls().front().toLocalFile();
    return path.endsWith(kExtension, Qt::CaseInsensitive) ? path : QString();
}

} // namespace

bool TFrmMain::OpenTestFile(const QString& path) {
    if (!ReadTestFile(path, dc_.record)) {
        ShowMessage(QCoreApplication::translate("UMainFiles", "打开数据文件失败！"),
                    MsgIcon::Information);
        return false;
    }
    ShowOpenedRecord();
    // Kept as its file holds it, so the file and the archive name it alike.
    QFile file;
    QByteArray bytes;
    if (OpenToRead(path, file) == FileKind::Regular)
        bytes = file.read(kTestFileSize);
    KeepShownTest(TestSource::File, QFileInfo(path).absoluteFilePath(),
                  bytes.size() == kTestFileSize ? bytes : QByteArray());
    if (dc_.settings.restoreMarkers.value_or(false))
        BtnRestoreMarkersClick();
    return true;
}

void TFrmMain::ShowOpenedRecord() {
    LockParamPanel();
    FillParamPanel();
    RedrawChart();
    ShowResults();
    dc_.record.HasData = true;
}

void TFrmMain::BtnOpenClick() {
    const QString folder = QFileInfo(TestFolder()).isDir() ? TestFolder() : programFolder_;
    const QString path = Dialogs().openFile(
        this, TestFileRequest(QCoreApplication::translate("UMainFiles", "打开试验数据"), folder));
    if (!path.isEmpty())
        OpenTestFile(path);
}

void TFrmMain::BtnSaveClick() {
    QDir().mkpath(TestFolder());
    FileDialogRequest request = TestFileRequest(
        QCoreApplication::translate("UMainFiles", "保存当前测试数据"), TestFolder());
    request.proposedName = FileTimeText(QDateTime::currentDateTime());
    const QString path = Dialogs().saveFile(this, request);
    if (path.isEmpty())
        return;
    if (!ReadParamPanel())
        return;
    if (!WriteTestFile(path, dc_.record)) {
        ShowMessage(QCoreApplication::translate("UMainFiles", "保存数据文件失败！"),
                    MsgIcon::Information);
        return;
    }
    // The saved bytes may name another test than the one opened (the panel's
    // texts went in): the markers on display go on with them.
    const QString before = shownId_;
    const bool carry = markersQuiet_->isActive() || !keptMarks_.isEmpty();
    KeepShownTest(TestSource::File, QFileInfo(path).absoluteFilePath());
    if (carry && shownId_ != before)
        MarkersMoved(QStringLiteral("hand"));
}

void TFrmMain::BtnColorClick() {
    const QColor current(dc_.settings.gRColor, dc_.settings.gGColor, dc_.settings.gBColor);
    const std::optional<QColor> chosen = Dialogs().chooseColor(this, current);
    if (!chosen)
        return;
    ChartA->SetBackgroundColor(*chosen);
    dc_.settings.gRColor = quint8(chosen->red());
    dc_.settings.gGColor = quint8(chosen->green());
    dc_.settings.gBColor = quint8(chosen->blue());
}

void TFrmMain::dragEnterEvent(QDragEnterEvent* event) {
    if (!DroppedTestFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void TFrmMain::dropEvent(QDropEvent* event) {
    const QString path = DroppedTestFile(event->mimeData());
    if (path.isEmpty())
        return;
    event->acceptProposedAction();
    OpenTestFile(path);
}
