#include "HistoryUpload.h"

#include "Message.h"
#include "StoredTestUpload.h"
#include "UDlgHistoryIndex.h"

#include <QCoreApplication>
#include <QThread>

TFrmHistoryIndex* OpenHistoryIndex(QWidget* parent, Tester& tester, TestRecord& record,
                                   std::function<void()> showUploaded) {
    const std::optional<StoredCount> count = ReadStoredCount(tester);
    if (!count) {
        ShowMessage(QCoreApplication::translate("HistoryUpload", "通讯失败！"), MsgIcon::Warning);
        return nullptr;
    }
    auto* dialog = new TFrmHistoryIndex(tester, record, std::move(showUploaded), parent);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->SetEntryCount(count->listed);
    dialog->FillList();
    return dialog;
}

void UploadFromHistory(QWidget* parent, Tester& tester, TestRecord& record,
                       std::function<void()> showUploaded) {
    QThread::msleep(1000);
    if (TFrmHistoryIndex* dialog =
            OpenHistoryIndex(parent, tester, record, std::move(showUploaded)))
        dialog->exec();
}
