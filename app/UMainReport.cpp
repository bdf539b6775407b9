// "打印": the report of what the window shows, in its preview.
#include "UMain.h"

#include "TQRMain.h"
#include "UQRMain.h"

#include <QDir>

void TFrmMain::BtnPrintClick() {
    // One preview at a time; the open one keeps the report it was given.
    if (QRMain->Previewing())
        return;
    QueryBrand();
    const ReportPage page = ReportFill(ShownNow());
    const QString folder = QDir(TestFolder()).exists() ? TestFolder() : programFolder_;
    QRMain->Preview(page, folder, this);
}
