#include "UDlgPreview.h"

#include "ChartStyle.h"
#include "Helpers.h"
#include "Message.h"
#include "ReportPainter.h"
#include "ToolIcons.h"

#include <QButtonGroup>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPrinterInfo>
#include <QScreen>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <qcustomplot.h>

PreviewSeams& PreviewDialogs() {
    static PreviewSeams seams{
        [](QWidget* parent, QPrinter& printer, int pages) {
            QPrintDialog dialog(&printer, parent);
            dialog.setOption(QAbstractPrintDialog::PrintPageRange);
            dialog.setMinMax(1, pages);
            return dialog.exec() == QDialog::Accepted;
        },
        [](QWidget* parent, const QString& proposed) {
            return QFileDialog::getSaveFileName(
                parent, QCoreApplication::translate("UDlgPreview", "保存为PDF"), proposed,
                QCoreApplication::translate("UDlgPreview", "PDF文件(*.pdf)"));
        },
        [] { return !QPrinterInfo::availablePrinterNames().isEmpty(); },
    };
    return seams;
}

void LimitPageRange(QPrinter& printer, int pages) {
    if (printer.printRange() != QPrinter::PageRange)
        return;
    pages = std::max(pages, 1);
    const int from = std::clamp(printer.fromPage(), 1, pages);
    const int to = std::clamp(printer.toPage(), from, pages);
    if (from != printer.fromPage() || to != printer.toPage())
        printer.setFromTo(from, to);
}

TFrmPreview::TFrmPreview(const ReportPage& page, QPrinter& settings, const QString& pdfFolder,
                         QWidget* parent)
    : QWidget(parent, Qt::Window), page_(page), settings_(settings), pdfFolder_(pdfFolder),
      previewPrinter_(std::make_unique<QPrinter>(QPrinter::HighResolution)) {
    setObjectName(QStringLiteral("FrmPreview"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(page.title);
    resize(561, 408);
    setMinimumSize(200, 100);
    // Where it stands when restored from maximised: the screen's centre.
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    QFont font(SongtiFamily());
    font.setPointSize(9);
    setFont(font);
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, QColor(207, 207, 207));
    setPalette(palette);

    auto* bar = new QToolBar(this);
    bar->setIconSize(QSize(24, 24));
    const auto button = [&](QToolButton*& b, const char* name, const char* tip, ToolIcon icon,
                            void (TFrmPreview::*click)()) {
        b = new QToolButton(bar);
        b->setObjectName(QString::fromLatin1(name));
        b->setToolTip(QCoreApplication::translate("UDlgPreview", tip));
        b->setIcon(MakeToolIcon(icon));
        b->setAutoRaise(true);
        bar->addWidget(b);
        if (click)
            connect(b, &QToolButton::clicked, this, click);
    };
    button(tbZToFit, "tbZToFit", QT_TRANSLATE_NOOP("UDlgPreview", "整张纸缩微显示"), ToolIcon::Fit,
           &TFrmPreview::tbZToFitClick);
    button(tb100, "tb100", QT_TRANSLATE_NOOP("UDlgPreview", "100%显示"), ToolIcon::Actual,
           &TFrmPreview::tb100Click);
    button(tbZToWidth, "tbZToWidth", QT_TRANSLATE_NOOP("UDlgPreview", "调整为宽度适合"),
           ToolIcon::Width, &TFrmPreview::tbZToWidthClick);
    bar->addSeparator();
    button(tbFirst, "tbFirst", QT_TRANSLATE_NOOP("UDlgPreview", "第一页"), ToolIcon::First,
           &TFrmPreview::tbFirstClick);
    button(tbPrior, "tbPrior", QT_TRANSLATE_NOOP("UDlgPreview", "上一页"), ToolIcon::Prior,
           &TFrmPreview::tbPriorClick);
    button(tbNext, "tbNext", QT_TRANSLATE_NOOP("UDlgPreview", "下一页"), ToolIcon::Next,
           &TFrmPreview::tbNextClick);
    button(tbLast, "tbLast", QT_TRANSLATE_NOOP("UDlgPreview", "最后一页"), ToolIcon::Last,
           &TFrmPreview::tbLastClick);
    bar->addSeparator();
    button(tbPrinterSetup, "tbPrinterSetup", QT_TRANSLATE_NOOP("UDlgPreview", "打印机设置"),
           ToolIcon::Setup, &TFrmPreview::tbPrinterSetupClick);
    button(tbPrinter, "tbPrinter", QT_TRANSLATE_NOOP("UDlgPreview", "打印"), ToolIcon::Print,
           &TFrmPreview::tbPrinterClick);
    button(tbSavePdf, "tbSavePdf", QT_TRANSLATE_NOOP("UDlgPreview", "保存为PDF"), ToolIcon::Pdf,
           &TFrmPreview::tbSavePdfClick);
    bar->addSeparator();
    button(tbExit, "tbExit", QT_TRANSLATE_NOOP("UDlgPreview", "退出预览"), ToolIcon::Exit, nullptr);
    connect(tbExit, &QToolButton::clicked, this, &QWidget::close);

    // Exactly one zoom button is shown pressed.
    auto* zoom = new QButtonGroup(this);
    for (QToolButton* b : {tbZToFit, tb100, tbZToWidth}) {
        b->setCheckable(true);
        zoom->addButton(b);
    }
    tbZToWidth->setChecked(true);

    PrepareReportPrinter(*previewPrinter_, page_);
    QRPreview1 = new QPrintPreviewWidget(previewPrinter_.get(), this);
    QRPreview1->setObjectName(QStringLiteral("QRPreview1"));
    QRPreview1->setZoomFactor(1.0); // the view starts at 100 %, whatever button is pressed
    connect(QRPreview1, &QPrintPreviewWidget::paintRequested, this, [this](QPrinter* printer) {
        QCPPainter painter(printer);
        PaintReport(painter, page_);
    });
    connect(QRPreview1, &QPrintPreviewWidget::previewChanged, this, &TFrmPreview::PagesAvailable);

    auto* status = new QStatusBar(this);
    status->setSizeGripEnabled(true);
    PageStatus = new QLabel(status);
    PageStatus->setObjectName(QStringLiteral("PageStatus"));
    status->addWidget(PageStatus, 1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(bar);
    layout->addWidget(QRPreview1, 1);
    layout->addWidget(status);

    QRPreview1->updatePreview();
    PagesAvailable();
}

TFrmPreview::~TFrmPreview() = default;

int TFrmPreview::CurrentPage() const {
    return QRPreview1->currentPage();
}

QString TFrmPreview::StatusText() const {
    return QCoreApplication::translate("UDlgPreview", " 第 %1 页   总 %2 页")
        .arg(CurrentPage())
        .arg(TotalPages);
}

void TFrmPreview::PagesAvailable() {
    TotalPages = QRPreview1->pageCount();
    PageStatus->setText(StatusText());
}

void TFrmPreview::GoTo(int page) {
    QRPreview1->setCurrentPage(std::max(1, std::min(page, TotalPages)));
    PageStatus->setText(StatusText());
}

void TFrmPreview::tbZToFitClick() {
    QRPreview1->fitInView();
}

void TFrmPreview::tb100Click() {
    QRPreview1->setZoomFactor(1.0);
}

void TFrmPreview::tbZToWidthClick() {
    QRPreview1->fitToWidth();
}

void TFrmPreview::tbFirstClick() {
    GoTo(1);
}

void TFrmPreview::tbPriorClick() {
    GoTo(CurrentPage() - 1);
}

void TFrmPreview::tbNextClick() {
    GoTo(CurrentPage() + 1);
}

void TFrmPreview::tbLastClick() {
    GoTo(TotalPages);
}

bool TFrmPreview::PrinterThere() {
    // A printer that writes a file needs no installed printer.
    const bool toFile =
        settings_.outputFormat() == QPrinter::PdfFormat && !settings_.outputFileName().isEmpty();
    if (toFile || PreviewDialogs().hasPrinter())
        return true;
    ShowMessage(QCoreApplication::translate("UDlgPreview", "系统中没有安装打印机！"),
                MsgIcon::Warning);
    return false;
}

int TFrmPreview::Pages() const {
    return std::max(TotalPages, 1);
}

void TFrmPreview::tbPrinterSetupClick() {
    if (!PrinterThere())
        return;
    // The dialog shows the report's paper, and only the pages there are.
    PrepareReportPrinter(settings_, page_);
    if (PreviewDialogs().printSetup(this, settings_, Pages()))
        LimitPageRange(settings_, Pages());
}

void TFrmPreview::tbPrinterClick() {
    if (!PrinterThere())
        return;
    // Whatever paper the printer was left at, the report is an A4 page.
    PrepareReportPrinter(settings_, page_);
    LimitPageRange(settings_, Pages());
    QCPPainter painter;
    if (!painter.begin(&settings_)) {
        ShowMessage(QCoreApplication::translate("UDlgPreview", "打印失败！"), MsgIcon::Warning);
        return;
    }
    PaintReport(painter, page_);
    painter.end();
}

void TFrmPreview::tbSavePdfClick() {
    const QString proposed =
        QDir(pdfFolder_).filePath(FileTimeText(QDateTime::currentDateTime()) + ".pdf");
    const QString path = PreviewDialogs().pdfPath(this, proposed);
    if (path.isEmpty())
        return;
    QString error;
    if (!WriteReportPdf(path, page_, &error))
        ShowMessage(QCoreApplication::translate("UDlgPreview", "保存PDF文件失败！\n%1").arg(error),
                    MsgIcon::Warning);
}
