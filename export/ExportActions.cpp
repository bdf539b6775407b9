#include "ExportActions.h"

#include "Comtrade.h"
#include "Document.h"
#include "FileTarget.h"
#include "Helpers.h"
#include "Message.h"
#include "ProgramFolder.h"
#include "UDlgProcess.h"
#include "WaveformCsv.h"
#include "Workbook.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QScopeGuard>
#include <QUrl>

namespace {

QString FolderOf(const QString& fileName) {
    return QFileInfo(fileName).absolutePath();
}

// The progress window of one export, closed on every way out.
class Progress {
public:
    Progress(QWidget* owner, const QString& tip, int countMax, int processMax)
        : window_(new TFrmProcess(owner)) {
        window_->SetTip(tip);
        window_->SetCountRange(1, countMax);
        window_->SetProcessRange(1, processMax);
        window_->show();
    }
    ~Progress() {
        if (window_)
            window_->close();
    }
    void SetTip(const QString& tip) {
        if (window_)
            window_->SetTip(tip);
    }
    // True when cancel has been pressed.
    bool Step(int count, int process) {
        return !window_ || AdvanceProgress(*window_, count, process);
    }

private:
    QPointer<TFrmProcess> window_;
};

} // namespace

ExportKind ExportKindOf(const QString& fileName) {
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    if (suffix == u"docx" || suffix == u"doc")
        return ExportKind::Document;
    if (suffix == u"csv")
        return ExportKind::Waveform;
    if (suffix == u"cfg")
        return ExportKind::Comtrade;
    return ExportKind::Workbook;
}

QString ChartPictureFile(const QString& programFolder) {
    return QDir(programFolder).filePath(QStringLiteral("t.bmp"));
}

namespace {

// "Model/NAME" in `folder`, when it is a file.
QString ModelIn(const QString& folder, const QString& name) {
    if (folder.isEmpty())
        return {};
    const QString path = QDir(folder).filePath(QStringLiteral("Model/") + name);
    return QFileInfo(path).isFile() ? path : QString();
}

bool SameFolder(const QString& a, const QString& b) {
    if (a.isEmpty() || b.isEmpty())
        return false;
    const QString ca = QFileInfo(a).canonicalFilePath(), cb = QFileInfo(b).canonicalFilePath();
    if (!ca.isEmpty() && !cb.isEmpty())
        return ca == cb;
    return QDir::cleanPath(QDir(a).absolutePath()) == QDir::cleanPath(QDir(b).absolutePath());
}

} // namespace

QString TemplateFileAmong(const TemplatePlaces& places, Language language) {
    const QString chinese = QStringLiteral("Model.pat"), english = QStringLiteral("Model_en.pat");
    if (language == Language::English) {
        QString path = ModelIn(places.programFolder, english);
        // Beside the executable, Model.pat is the build's own Chinese one; in
        // a per-user folder it is the lab's and goes before the shipped English.
        if (path.isEmpty() && !places.programFolder.isEmpty() &&
            !SameFolder(places.programFolder, places.executableFolder))
            path = ModelIn(places.programFolder, chinese);
        for (const QString& folder : {places.executableFolder, places.installedData})
            if (path.isEmpty())
                path = ModelIn(folder, english);
        if (!path.isEmpty())
            return path;
    }
    for (const QString& folder :
         {places.programFolder, places.executableFolder, places.installedData}) {
        if (const QString path = ModelIn(folder, chinese); !path.isEmpty())
            return path;
    }
    return {};
}

QString TemplateFile(const QString& programFolder, Language language) {
    return TemplateFileAmong(
        {programFolder, QCoreApplication::applicationDirPath(), InstalledDataFolder()}, language);
}

QString TemplatePath(const QString& programFolder, Language language) {
    const QString path = TemplateFile(programFolder, language);
    if (path.isEmpty())
        ShowMessage(QCoreApplication::translate("ExportActions",
                                                "系统数据已遭到破坏！\r\r请重新安装系统！"),
                    MsgIcon::Warning);
    return path;
}

FolderOpener& OpenFolder() {
    static FolderOpener opener = [](const QString& folder) {
        QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
    };
    return opener;
}

bool ExportSpreadsheet(const ShownTest& shown, const QImage& chart, const QString& fileName,
                       QWidget* owner) {
    bool cancelled = false;
    bool written = false;
    {
        Progress progress(
            owner, QCoreApplication::translate("ExportActions", "正在进行Excel报表转换，请稍候..."),
            2, 3);
        if (progress.Step(1, 1)) {
            cancelled = true;
        } else {
            written = WriteWorkbook(shown, chart, fileName).ok();
            if (!written)
                ShowMessage(QCoreApplication::translate("ExportActions", "转换成Excel格式失败！"),
                            MsgIcon::Warning);
            // A cancel now finds the workbook complete: only the folder stays shut.
            else if (progress.Step(2, 2))
                cancelled = true;
        }
    }
    if (!cancelled) {
        Delay(100);
        OpenFolder()(FolderOf(fileName));
    }
    return written;
}

bool ExportDocument(const ShownTest& shown, const QImage& chart, const QString& fileName,
                    const QString& programFolder, Language language, QWidget* owner) {
    const QString templatePath = TemplatePath(programFolder, language);
    if (templatePath.isEmpty())
        return false;
    // The copy of the template would fail: told before any progress shows.
    // Nothing is written yet; the document is put in place at the end.
    if (!CanWriteTarget(fileName)) {
        ShowMessage(QCoreApplication::translate("ExportActions", "系统操作发生意外！"),
                    MsgIcon::Warning);
        return false;
    }
    Progress progress(
        owner, QCoreApplication::translate("ExportActions", "正在为报表转换作准备，请稍候..."), 4,
        3);
    if (progress.Step(1, 1))
        return false;
    progress.SetTip(QCoreApplication::translate("ExportActions", "正在模板制作过程中..."));
    if (progress.Step(2, 2))
        return false;
    progress.SetTip(QCoreApplication::translate("ExportActions", "正在加载数据过程中..."));
    if (progress.Step(3, 3))
        return false;
    const ExportResult result = WriteDocument(shown, chart, templatePath, fileName);
    if (!result.ok()) {
        ShowMessage(result.code == ExportResult::TemplateMismatch
                        ? QCoreApplication::translate("ExportActions", "模板格式不匹配！")
                        : QCoreApplication::translate("ExportActions", "系统操作发生意外！"),
                    MsgIcon::Warning);
        return false;
    }
    Delay(500);
    OpenFolder()(FolderOf(fileName));
    return true;
}

bool ExportWaveform(const ShownTest& shown, const QString& fileName) {
    if (!WriteWaveformCsv(shown.record, fileName).ok()) {
        ShowMessage(QCoreApplication::translate("ExportActions", "导出波形数据失败！"),
                    MsgIcon::Warning);
        return false;
    }
    Delay(100);
    OpenFolder()(FolderOf(fileName));
    return true;
}

bool ExportComtrade(const ShownTest& shown, const QString& fileName) {
    const ComtradeFormat format =
        ComtradeOf(shown, ComtradeFormat::Binary) ? ComtradeFormat::Binary : ComtradeFormat::Ascii;
    if (!WriteComtrade(shown, fileName, format).ok()) {
        ShowMessage(QCoreApplication::translate("ExportActions", "导出波形数据失败！"),
                    MsgIcon::Warning);
        return false;
    }
    Delay(100);
    OpenFolder()(FolderOf(fileName));
    return true;
}
