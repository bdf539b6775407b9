#pragma once

#include <QDialog>
#include <functional>

class QTableWidget;
class Tester;
struct TestRecord;

// "历史数据": the tests kept in the tester, with their tap step and time. A
// double click uploads the chosen test's header and phases into the record
// and runs `showUploaded`; the dialog stays open for another one.
class TFrmHistoryIndex : public QDialog {
    Q_OBJECT
public:
    TFrmHistoryIndex(Tester& tester, TestRecord& record, std::function<void()> showUploaded,
                     QWidget* parent = nullptr);

    // How many entries to list (the listed part of the tester's count).
    void SetEntryCount(int n);
    // Asks the tester for entries 1..n; stops at the first failure, keeping
    // what was listed.
    void FillList();
    int EntryCount() const { return entries_; }
    int ListedEntries() const { return listed_; }
    int RememberedRow() const { return row_; }

    void SGHistoryIndexSelectCell(int column, int row);
    // A double click on `row`; the upload takes the remembered row.
    void SGHistoryIndexDblClick(int row);
    // Uploads stored test r with its own progress window.
    void UploadEntry(int r);

    QTableWidget* SGHistoryIndex;

public slots:
    // Not while an upload runs: its steps let events through.
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void SizeColumns();

    Tester& tester_;
    TestRecord& record_;
    std::function<void()> showUploaded_;
    int entries_ = 0;
    int listed_ = 0;
    int row_ = 0;
    bool uploading_ = false;
};
