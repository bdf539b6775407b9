// "打印": the report of what the window shows, in its preview.
#include "UMain.h"

#include "TQRMain.h"
#include "UQRMain.h"

#include <QDir>

void TFrmMain::BtnPrintClick() {
    // With a preview open the brand is still asked and the report refilled;
    // the open preview keeps the page it shows and no second one starts.
    QueryBrand();
    const ReportPage page = ReportFill(ShownNow());
    const QString folder = QDir(TestFolder()).exists() ? TestFolder() : programFolder_;
    QRMain->Preview(page, folder, this);
}
