#pragma once

#include "Archive.h"

#include <QDialog>
#include <functional>

class ArchiveModel;
class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;
class QTimer;

// "测试档案": every test the program has kept, found by place, device,
// tester, dates, tap step and direction, sorted by any column. A test opens
// as a file does, or with its last markers.
class TFrmArchive : public QDialog {
    Q_OBJECT
public:
    // `open` shows a test in the main window: its id, and whether with its
    // last markers.
    TFrmArchive(Archive& archive, std::function<void(const QString&, bool)> open,
                QWidget* parent = nullptr);

    // "汇总": the selected tests (all listed when none is) judged as a campaign.
    void SetSummarise(std::function<void(const QStringList& ids)> summarise);
    void BtnSummaryClick();
    // "汇总文件夹": the tests of a folder (asked when empty) judged as a campaign.
    void SetSummariseFolder(std::function<void(const QString& folder)> summarise);
    void BtnSummaryFolderClick(const QString& folder = {});

    // "设为基准": the selected tests become the baselines of their tap step
    // (the fingerprint of the tap changer when known good); when all of
    // them already are, they no longer are.
    bool BtnBaselineClick();

    // "打开时恢复标记": whether every open puts the last kept markers back.
    void SetRestoreChoice(bool restore, std::function<void(bool)> changed);

    // Lists again with the filters as they stand.
    void Refresh();
    ArchiveFilter Filter() const;
    const ArchiveModel& Model() const { return *model_; }
    QStringList SelectedIds() const;
    void SelectRow(int row);

    void BtnOpenClick(bool withMarkers);
    // Asks for the annotations of the selected test and adds a revision.
    void BtnAnnotateClick();
    bool AnnotateSelected(const AnnotationChange& change);
    // Writes the selected tests into `folder` (asked when empty).
    void BtnExportClick(const QString& folder = {});

    QLineEdit *EdtPlace, *EdtDevice, *EdtUser;
    QCheckBox *cbDates, *cbRestore;
    QDateEdit *EdtFrom, *EdtTo;
    QComboBox *cbStep, *cbDirection;
    QTableView* Grid;
    QLabel* LblCount;
    QPushButton *BtnOpen, *BtnOpenMarkers, *BtnAnnotate, *BtnExport, *BtnBaseline, *BtnSummary,
        *BtnSummaryFolder, *BtnClose;

private:
    Archive& archive_;
    std::function<void(const QString&, bool)> open_;
    std::function<void(const QStringList&)> summarise_;
    std::function<void(const QString&)> summariseFolder_;
    ArchiveModel* model_;
    QTimer* typing_;
    int sortColumn_ = 0;
    bool descending_ = true;
};
