#include "UDlgHistoryIndex.h"

#include "GridCells.h"
#include "Helpers.h"
#include "Message.h"
#include "StoredTestUpload.h"
#include "UDlgProcess.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QScopeGuard>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

TFrmHistoryIndex::TFrmHistoryIndex(Tester& tester, TestRecord& record,
                                   std::function<void()> showUploaded, QWidget* parent)
    : QDialog(parent), SGHistoryIndex(new QTableWidget(this)), tester_(tester), record_(record),
      showUploaded_(std::move(showUploaded)) {
    setWindowTitle(QCoreApplication::translate("UDlgHistoryIndex", "历史数据"));
    resize(480, 360);
    SetupFixedGrid(*SGHistoryIndex, 2, 3);
    SGHistoryIndex->setSelectionBehavior(QAbstractItemView::SelectRows);
    SGHistoryIndex->setSelectionMode(QAbstractItemView::SingleSelection);
    SGHistoryIndex->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    SGHistoryIndex->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    SetGridText(*SGHistoryIndex, 0, 0, QCoreApplication::translate("UDlgHistoryIndex", "序号"));
    SetGridText(*SGHistoryIndex, 0, 1, QCoreApplication::translate("UDlgHistoryIndex", "测试档位"));
    SetGridText(*SGHistoryIndex, 0, 2, QCoreApplication::translate("UDlgHistoryIndex", "测试时间"));
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(SGHistoryIndex);

    connect(SGHistoryIndex, &QTableWidget::currentCellChanged, this,
            [this](int row, int column) { SGHistoryIndexSelectCell(column, row); });
    connect(SGHistoryIndex, &QTableWidget::cellDoubleClicked, this,
            [this](int row, int) { SGHistoryIndexDblClick(row); });
}

void TFrmHistoryIndex::SetEntryCount(int n) {
    entries_ = std::max(n, 0);
}

void TFrmHistoryIndex::FillList() {
    for (int k = 1; k <= entries_; ++k) {
        const std::optional<HistoryEntry> entry = ReadStoredEntry(tester_, k);
        if (!entry) {
            ShowMessage(QCoreApplication::translate("UDlgHistoryIndex", "通讯失败！"),
                        MsgIcon::Warning);
            return;
        }
        SetGridText(*SGHistoryIndex, k, 0, QString::number(k));
        SetGridText(*SGHistoryIndex, k, 1, StepText(entry->step));
        SetGridText(*SGHistoryIndex, k, 2, entry->time);
        listed_ = k;
        // An empty row always follows the last entry.
        SGHistoryIndex->setRowCount(k + 2);
    }
}

void TFrmHistoryIndex::SGHistoryIndexSelectCell(int, int row) {
    // The header row cannot be selected.
    if (row >= 1)
        row_ = row;
}

void TFrmHistoryIndex::SGHistoryIndexDblClick(int row) {
    if (row < 1)
        return; // on the header: nothing to upload
    // Any row up to the count the tester gave, also one whose entry did not
    // arrive: the tester may still hold it.
    if (row_ < 0 || row_ > entries_ || uploading_)
        return;
    UploadEntry(row_);
}

void TFrmHistoryIndex::UploadEntry(int r) {
    uploading_ = true;
    const auto done = qScopeGuard([this] { uploading_ = false; });
    // Owned by this dialog, so that its cancel button works beside a modal list.
    auto* process = new TFrmProcess(this);
    process->SetTip(QCoreApplication::translate("UDlgHistoryIndex", "正在上传数据..."));
    process->SetCountRange(1, 137);
    process->SetProcessRange(1, 3);
    process->show();
    StoredTestUpload upload(tester_, r, record_);
    while (!upload.Done()) {
        const int b = upload.Block();
        if (!upload.Fetch()) {
            process->close();
            // What the earlier blocks stored stays; the main window is not refreshed.
            ShowMessage(QCoreApplication::translate("UDlgHistoryIndex", "通讯失败！"),
                        MsgIcon::Error);
            return;
        }
        // A cancel ends the upload after the block in hand, stored or not.
        if (AdvanceProgress(*process, b, 2))
            break;
        upload.Store();
        if (AdvanceProgress(*process, b, 3))
            break;
    }
    process->close();
    if (showUploaded_)
        showUploaded_();
}

void TFrmHistoryIndex::reject() {
    if (!uploading_)
        QDialog::reject();
}

void TFrmHistoryIndex::closeEvent(QCloseEvent* event) {
    if (uploading_)
        event->ignore();
    else
        QDialog::closeEvent(event);
}

void TFrmHistoryIndex::SizeColumns() {
    const int w = SGHistoryIndex->viewport()->width() / 6;
    SGHistoryIndex->setColumnWidth(0, w);
    SGHistoryIndex->setColumnWidth(1, 2 * w);
    SGHistoryIndex->setColumnWidth(2, 3 * w);
}

void TFrmHistoryIndex::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    SizeColumns();
}

void TFrmHistoryIndex::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    SizeColumns();
}
