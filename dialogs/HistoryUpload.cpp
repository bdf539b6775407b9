#include "HistoryUpload.h"

#include "Message.h"
#include "StoredTests.h"
#include "UDlgHistoryIndex.h"

#include <QThread>

TFrmHistoryIndex* OpenHistoryIndex(QWidget* parent, TestRecord& record,
                                   std::function<void()> showUploaded) {
    int count = 0;
    if (!ReadStoredCount(count)) {
        ShowMessage(QStringLiteral("通讯失败！"), MsgIcon::Warning);
        return nullptr;
    }
    auto* dialog = new TFrmHistoryIndex(record, std::move(showUploaded), parent);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->SetEntryCount(std::min(kMaxStoredTests, count));
    dialog->FillList();
    return dialog;
}

void UploadFromHistory(QWidget* parent, TestRecord& record, std::function<void()> showUploaded) {
    QThread::msleep(1000);
    if (TFrmHistoryIndex* dialog = OpenHistoryIndex(parent, record, std::move(showUploaded)))
        dialog->exec();
}
