#include "Message.h"
#include "ReportPainter.h"
#include "Screenshot.h"
#include "TQRMain.h"
#include "UDlgPreview.h"
#include "UQRMain.h"

#include <QAbstractPrintDialog>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

class PreviewTest : public testing::Test {
protected:
    void SetUp() override {
        savedSink_ = SetMessageSink([this](const QString& text, MsgIcon) { messages << text; });
        savedSeams_ = PreviewDialogs();
        savedSetup_ = PreviewDialogs().printSetup;
        PreviewDialogs().hasPrinter = [this] { return printerThere; };
        PreviewDialogs().pdfPath = [this](QWidget*, const QString& proposed) {
            proposedPdf = proposed;
            return pdfAnswer;
        };
        TestRecord r;
        r.HasData = true;
        page = ReportFill(ShownTestOf(r, StartMarkers(r.params), false, {}, 1));
    }
    void TearDown() override {
        PreviewDialogs() = savedSeams_;
        SetMessageSink(savedSink_);
    }

    // The first page's size in points as poppler reads it, "595 x 842".
    static QString PdfPageSize(const QString& path) {
        QProcess info;
        info.start("pdfinfo", {path});
        if (!info.waitForFinished(20000))
            return QStringLiteral("<pdfinfo did not end>");
        const QString out = QString::fromUtf8(info.readAllStandardOutput());
        const auto m =
            QRegularExpression(QStringLiteral("Page size:\\s+([0-9.]+ x [0-9.]+)")).match(out);
        return m.hasMatch() ? m.captured(1) : out;
    }

    static QByteArray Read(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    ReportPage page;
    QPrinter printer{QPrinter::HighResolution};
    QTemporaryDir dir;
    QStringList messages;
    bool printerThere = true;
    QString pdfAnswer, proposedPdf;

private:
    MessageSink savedSink_;
    PreviewSeams savedSeams_;

protected:
    std::function<bool(QWidget*, QPrinter&, int)> savedSetup_; // the system's dialog
};

} // namespace

TEST_F(PreviewTest, NavigationClampsToThePagesAndRefreshesTheStatus) {
    TFrmPreview preview(page, printer, dir.path());
    preview.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&preview));
    EXPECT_EQ(preview.windowTitle(), u"VQ8512有载分接开关测试仪 主报表");
    EXPECT_EQ(preview.TotalPages, 1);
    EXPECT_EQ(preview.PageStatus->text(), u" 第 1 页   总 1 页");
    const std::pair<QToolButton*, const char*> buttons[] = {
        {preview.tbZToFit, "整张纸缩微显示"},
        {preview.tb100, "100%显示"},
        {preview.tbZToWidth, "调整为宽度适合"},
        {preview.tbFirst, "第一页"},
        {preview.tbPrior, "上一页"},
        {preview.tbNext, "下一页"},
        {preview.tbLast, "最后一页"},
        {preview.tbPrinterSetup, "打印机设置"},
        {preview.tbPrinter, "打印"},
        {preview.tbSavePdf, "保存为PDF"},
        {preview.tbExit, "退出预览"},
    };
    for (const auto& [button, tip] : buttons)
        EXPECT_EQ(button->toolTip(), QString::fromUtf8(tip));
    for (QToolButton* b : {preview.tbPrior, preview.tbNext, preview.tbFirst, preview.tbLast}) {
        preview.PageStatus->clear();
        b->click();
        EXPECT_EQ(preview.CurrentPage(), 1) << b->toolTip().toStdString();
        EXPECT_EQ(preview.PageStatus->text(), u" 第 1 页   总 1 页") << "refreshed";
    }
}

TEST_F(PreviewTest, WidthIsPressedAtStartWhileTheViewIsAtActualSize) {
    TFrmPreview preview(page, printer, dir.path());
    preview.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&preview));
    EXPECT_TRUE(preview.tbZToWidth->isChecked());
    EXPECT_EQ(preview.QRPreview1->zoomMode(), QPrintPreviewWidget::CustomZoom);
    EXPECT_DOUBLE_EQ(preview.QRPreview1->zoomFactor(), 1.0);
    preview.tb100->click();
    EXPECT_DOUBLE_EQ(preview.QRPreview1->zoomFactor(), 1.0);
    EXPECT_TRUE(preview.tb100->isChecked());
    EXPECT_FALSE(preview.tbZToWidth->isChecked());
    preview.tbZToWidth->click();
    EXPECT_EQ(preview.QRPreview1->zoomMode(), QPrintPreviewWidget::FitToWidth);
    preview.tbZToFit->click();
    EXPECT_EQ(preview.QRPreview1->zoomMode(), QPrintPreviewWidget::FitInView);
    preview.resize(700, 900);
    QCoreApplication::processEvents();
    const QImage shot = KeepScreenshot(&preview, "preview.png");
    EXPECT_EQ(shot.pixelColor(shot.width() / 2, shot.height() - 2), QColor(207, 207, 207))
        << "the grey panel fills the window";
    EXPECT_TRUE(preview.tbZToFit->isChecked());
    EXPECT_EQ(preview.PageStatus->text(), u" 第 1 页   总 1 页");
}

// Printing goes to a file printer exactly as to paper, with the setup the
// dialog confirmed; a cancelled setup changes nothing.
TEST_F(PreviewTest, PrintsWithTheConfirmedSetupAndSaysWhenThereIsNoPrinter) {
    const QString printed = dir.filePath("printed.pdf");
    PreviewDialogs().printSetup = [&](QWidget*, QPrinter& p, int) {
        p.setOutputFormat(QPrinter::PdfFormat);
        p.setOutputFileName(printed);
        return true;
    };
    TFrmPreview preview(page, printer, dir.path());
    preview.tbPrinterSetup->click();
    preview.tbPrinter->click();
    EXPECT_TRUE(Read(printed).startsWith("%PDF"));
    EXPECT_EQ(printer.docName(), page.title);
    EXPECT_TRUE(messages.isEmpty());

    PreviewDialogs().printSetup = [](QWidget*, QPrinter&, int) { return false; };
    preview.tbPrinterSetup->click();
    EXPECT_EQ(printer.outputFileName(), printed) << "a cancelled setup keeps the last";

    printer.setOutputFileName(QString()); // no file: a printer is needed
    printerThere = false;
    bool asked = false;
    PreviewDialogs().printSetup = [&](QWidget*, QPrinter&, int) { return asked = true; };
    preview.tbPrinterSetup->click();
    preview.tbPrinter->click();
    EXPECT_FALSE(asked);
    EXPECT_EQ(messages, QStringList(2, QStringLiteral("系统中没有安装打印机！")));
}

TEST_F(PreviewTest, SavesAPdfUnderTheChosenNameOrSaysWhyNot) {
    TFrmPreview preview(page, printer, dir.path());
    preview.tbSavePdf->click(); // cancelled
    EXPECT_TRUE(proposedPdf.startsWith(dir.path() + '/'));
    EXPECT_TRUE(proposedPdf.endsWith(".pdf"));
    EXPECT_TRUE(messages.isEmpty());

    pdfAnswer = dir.filePath("mine.pdf");
    preview.tbSavePdf->click();
    EXPECT_TRUE(Read(pdfAnswer).startsWith("%PDF"));

    pdfAnswer = dir.filePath("no/such/folder.pdf");
    preview.tbSavePdf->click();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].startsWith(QStringLiteral("保存PDF文件失败！")));
}

TEST_F(PreviewTest, TheReportWaitsForItsOnePreviewToClose) {
    TQRMain report;
    bool secondStarted = true;
    int windows = 0;
    QTimer::singleShot(0, [&] {
        ASSERT_TRUE(report.Previewing());
        TFrmPreview* open = report.OpenPreview();
        EXPECT_TRUE(open->isVisible());
        EXPECT_TRUE(open->windowState() & Qt::WindowMaximized);
        EXPECT_TRUE(open->testAttribute(Qt::WA_DeleteOnClose));
        secondStarted = report.Preview(page, dir.path());
        for (QWidget* w : QApplication::topLevelWidgets())
            windows += qobject_cast<TFrmPreview*>(w) != nullptr;
        open->close(); // the close box, as tbExit
    });
    EXPECT_TRUE(report.Preview(page, dir.path()));
    EXPECT_FALSE(secondStarted);
    EXPECT_EQ(windows, 1);
    EXPECT_FALSE(report.Previewing());
}

// Whatever paper and orientation the printer was left at, each print is an
// A4 portrait page with the report's margins, drawn where the preview shows it.
TEST_F(PreviewTest, EveryPrintIsAnA4PortraitPage) {
    struct Case {
        const char* what;
        QPageSize::PageSizeId size;
        QPageLayout::Orientation orientation;
        double margin;
    };
    const Case cases[] = {
        {"letter", QPageSize::Letter, QPageLayout::Portrait, 0},
        {"A4 landscape", QPageSize::A4, QPageLayout::Landscape, 0},
        {"legal landscape, wide margins", QPageSize::Legal, QPageLayout::Landscape, 25},
        {"A3", QPageSize::A3, QPageLayout::Portrait, 5},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QString printed = dir.filePath(QStringLiteral("printed%1.pdf").arg(++n));
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(printed);
        printer.setPageLayout(QPageLayout(QPageSize(c.size), c.orientation,
                                          QMarginsF(c.margin, c.margin, c.margin, c.margin),
                                          QPageLayout::Millimeter));
        printer.setFullPage(false);
        QPageLayout seen;
        PreviewDialogs().printSetup = [&](QWidget*, QPrinter& p, int) {
            seen = p.pageLayout();
            return false;
        };
        TFrmPreview preview(page, printer, dir.path());
        preview.tbPrinterSetup->click();
        EXPECT_EQ(seen.pageSize().id(), QPageSize::A4) << "the setup shows the report's paper";
        EXPECT_EQ(seen.orientation(), QPageLayout::Portrait);
        printer.setPageLayout(QPageLayout(QPageSize(c.size), c.orientation, QMarginsF(),
                                          QPageLayout::Millimeter)); // left there again
        preview.tbPrinter->click();
        const QPageLayout layout = printer.pageLayout();
        EXPECT_EQ(layout.pageSize().id(), QPageSize::A4);
        EXPECT_EQ(layout.orientation(), QPageLayout::Portrait);
        EXPECT_EQ(layout.margins(QPageLayout::Millimeter), QMarginsF(10, 10, 10, 10));
        EXPECT_TRUE(printer.fullPage()) << "the page places itself inside its margins";
        EXPECT_EQ(PdfPageSize(printed), u"595 x 842"); // A4 in whole points
        EXPECT_TRUE(messages.isEmpty());
    }
}

// The setup offers only the pages there are, and a range that names none of
// them is brought back to them instead of printing nothing.
TEST_F(PreviewTest, ThePageRangeStaysWithinThePages) {
    int offeredPages = -1;
    std::pair<int, int> rangeAfterSetup;
    PreviewDialogs().printSetup = [&](QWidget*, QPrinter& p, int pages) {
        offeredPages = pages;
        p.setPrintRange(QPrinter::PageRange);
        p.setFromTo(3, 9); // what a dialog without limits let through
        return true;
    };
    TFrmPreview preview(page, printer, dir.path());
    preview.tbPrinterSetup->click();
    EXPECT_EQ(offeredPages, 1);
    rangeAfterSetup = {printer.fromPage(), printer.toPage()};
    EXPECT_EQ(rangeAfterSetup, std::make_pair(1, 1));

    struct Case {
        int from, to;
    };
    int n = 0;
    for (const Case c : {Case{2, 2}, Case{2, 5}, Case{1, 4}, Case{0, 0}}) {
        SCOPED_TRACE(std::to_string(c.from) + ".." + std::to_string(c.to));
        const QString printed = dir.filePath(QStringLiteral("range%1.pdf").arg(++n));
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(printed);
        printer.setPrintRange(QPrinter::PageRange);
        printer.setFromTo(c.from, c.to);
        preview.tbPrinter->click();
        EXPECT_TRUE(Read(printed).startsWith("%PDF")) << "the one page is printed";
        EXPECT_EQ(printer.fromPage(), 1);
        EXPECT_EQ(printer.toPage(), 1);
    }
    EXPECT_TRUE(messages.isEmpty());
}

// The system's print dialog itself limits the range to 1..page count.
TEST_F(PreviewTest, ThePrintDialogOffersOnlyTheReportsPages) {
    PreviewDialogs().printSetup = savedSetup_;
    int minPage = -1, maxPage = -1;
    QStringList pageBoxes;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QAbstractPrintDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        minPage = dialog->minPage();
        maxPage = dialog->maxPage();
        // Its "from" and "to" boxes, as the dialog shows them.
        for (QSpinBox* box : dialog->findChildren<QSpinBox*>())
            if (box->objectName() == u"from" || box->objectName() == u"to")
                pageBoxes << QStringLiteral("%1 %2..%3")
                                 .arg(box->objectName())
                                 .arg(box->minimum())
                                 .arg(box->maximum());
        dialog->reject();
    });
    TFrmPreview preview(page, printer, dir.path());
    preview.tbPrinterSetup->click();
    EXPECT_EQ(minPage, 1);
    EXPECT_EQ(maxPage, 1);
    EXPECT_EQ(pageBoxes, (QStringList{QStringLiteral("from 1..1"), QStringLiteral("to 1..1")}));
}
