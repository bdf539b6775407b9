#include "TQRMain.h"

#include "UDlgPreview.h"

#include <QEventLoop>
#include <QPrinter>

TQRMain::TQRMain() : printer_(std::make_unique<QPrinter>(QPrinter::HighResolution)) {
    printer_->setCopyCount(1);
    printer_->setPageOrientation(QPageLayout::Portrait);
}

TQRMain::~TQRMain() {
    delete preview_.data();
}

bool TQRMain::Previewing() const {
    return !preview_.isNull();
}

TFrmPreview* TQRMain::OpenPreview() const {
    return preview_.data();
}

bool TQRMain::Preview(const ReportPage& page, const QString& pdfFolder, QWidget* parent) {
    page_ = page;
    if (Previewing())
        return false;
    auto* preview = new TFrmPreview(page_, *printer_, pdfFolder, parent);
    preview_ = preview;
    QEventLoop wait;
    QObject::connect(preview, &QObject::destroyed, &wait, &QEventLoop::quit);
    preview->setWindowState(Qt::WindowMaximized);
    preview->show();
    wait.exec();
    return true;
}
