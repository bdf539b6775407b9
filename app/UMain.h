#pragma once

#include "Layout.h"
#include "ShownTest.h"
#include "SummaryReport.h"
#include "Tester.h"

#include <QMainWindow>
#include <array>
#include <memory>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTimer;
class QToolButton;
class Archive;
class TFrmArchive;
class TFrmSummary;
enum class TestSource;
class TQRMain;
class TWaveChart;
struct LiveResult;
struct DataCenter;

// The main window: commands, the parameter panel, the chart with its
// markers and read-out, the results.
class TFrmMain : public QMainWindow {
    Q_OBJECT
public:
    // The program folder holds SystemFile.ini and the test folder.
    explicit TFrmMain(const QString& programFolder, QWidget* parent = nullptr);
    ~TFrmMain() override;

    // Parameter panel
    void FillParamPanel();
    bool ReadParamPanel();
    void SwitchTypeChanged();
    void ParamChanged();
    void LockParamPanel();
    void UnlockParamPanel();

    // Chart and results
    void RedrawChart();
    void ClearTestDisplay();
    void ShowResults();
    void LayoutWindow();
    void RelayRuler();

    // The tester
    void btnUpdateListClick();
    bool Connect();
    void QueryBrand();
    bool SendParams();
    void BtnTestClick();
    void BtnSampleDataClick();
    void BtnSetCommClick();
    // The tester of the communication settings; a change of the settings
    // brings a new transport, and the link state goes along.
    Tester& Link();

    // Commands
    void BtnOpenClick();
    void BtnSaveClick();
    void BtnColorClick();
    void BtnPrintClick();
    void BtnAutoMarkersClick();
    void BtnExportClick();
    bool OpenTestFile(const QString& path);

    // The archive: every test that enters is kept, with its markers.
    Archive* TestArchive() const { return archive_.get(); }
    QString ShownTestId() const { return shownId_; }
    void BtnArchiveClick();        // "测试档案", also Ctrl+D
    bool BtnRestoreMarkersClick(); // "恢复标记", also Ctrl+R
    // Shows a test of the archive as an opened file, with its last markers
    // when `withMarkers`.
    bool OpenArchivedTest(const QString& id, bool withMarkers);
    // "汇总" of archived tests: judged as a campaign, in a window of its own.
    TFrmSummary* SummariseArchived(const QStringList& ids);
    // "汇总" of the tests of a folder.
    TFrmSummary* SummariseFolder(const QString& folder);
    // The summary window of these tests; a double click on a row calls `open`.
    TFrmSummary* ShowSummary(SummaryInputs inputs, std::function<void(const QString& id)> open);
    // The tests the archive marks as baselines of a device (of a place when
    // the device is not known), ready for the judge.
    QList<TestToJudge> ArchivedBaselines(const QString& device, const QString& place);
    // "对比基准" (Ctrl+B): a baseline test drawn under the shown one, aligned
    // on t1, and the shown test judged against it.
    void BtnBaselineClick();
    // The archive's baseline of the shown test's tap step (of its device,
    // else its place), the newest; again for each test shown after it.
    bool CompareWithArchivedBaseline();
    bool CompareWithBaselineFile(const QString& path);
    void EndBaselineComparison();
    // Draws the baseline for the shown test and says the verdict against it.
    void UpdateBaselineComparison();
    // "语言" (Ctrl+L): the program's language, from the next start on.
    void ChooseLanguageClick();
    void SetLanguage(const QString& choice); // "zh", "en", or empty to follow the locale
    // The markers the archive keeps for a test, when it keeps some.
    std::optional<TransitionMarkers> KeptMarkersOf(const QString& id);
    // Keeps the markers as they stand now, when they differ from the last kept.
    void KeepMarkersNow();

    // Cursor and dragging
    void ChartAMouseDown(Qt::MouseButton button);
    void ChartAMouseUp(Qt::MouseButton button);
    void ChartAMouseMove();
    void KeyHook(int key);
    void PhaseButtonClick(QToolButton* button);
    bool DragMode() const { return dragMode_; }
    bool PanButtonDown() const { return panButtonDown_; }
    const LayoutMetrics& Layout() const { return layout_; }

    // The texts, markers and chart settings as the window shows them now.
    ShownTest ShownNow() const;

    QString ProgramFolder() const { return programFolder_; }
    QString TestFolder() const;

    // Controls, named as the window's users and tests know them.
    std::unique_ptr<TQRMain> QRMain;                           // the report, kept with the window
    QPushButton* BtnAutoMarkers;                               // in the bottom row, also Ctrl+M
    QPushButton *BtnRestoreMarkers, *BtnArchive, *BtnBaseline; // beside it where there is room
    QLabel* LblBaseline; // in the status bar: the shown test against its baseline
    QPushButton *btnUpdateList, *BtnSampleData, *BtnExport, *BtnSave, *BtnOpen, *BtnPrint,
        *BtnSetComm, *BtnColor, *BtnExit, *BtnTest;
    QComboBox *cbSwitchType, *cbTestMode, *cbTestStep, *cbSampleLength, *cbChargeTime,
        *cbSeriesType;
    QLineEdit *EdtSampleBurst, *EdtSamplePoint, *EdtSampleTime, *EdtUser, *EdtAddr;
    QPlainTextEdit* MemoTime;
    QLineEdit *EdtMouseTime, *EdtXA, *EdtXB, *EdtXC;
    QCheckBox* cbInverted;
    TWaveChart* ChartA;
    // In the order the results fill them: A T1 T2 T3 T R1 R2, B, C, then
    // EdtDT1 EdtDT2 EdtDT3 EdtDT EdtDR1 EdtDR2 EdtLoop EdtAngle.
    std::array<QLineEdit*, 26> ResultBoxes{};
    QToolButton *SBat, *sbbt, *sbct;
    QButtonGroup* RGT;
    std::array<QLabel*, 3> StatusPanels{};

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void BuildWindow();
    void BuildParamPanel(QWidget* panel);
    void BuildResults();
    void BuildBottomRow();
    void ConnectHandlers();
    void PlaceRows();
    QLineEdit* ResultBox(const char* name) const;
    void SampleBurstChanged();
    void SamplePointChanged();
    void SampleTimeChanged();
    void InvertedClick();
    // The messages of a parameter step; true when the tester took them.
    bool ParamsTaken(const LiveResult& sent);
    void PostKey(int key);
    int ChosenMarker() const; // 0..3, -1 when none
    void OpenArchive();
    // The record on display, shown as an opened file is.
    void ShowOpenedRecord();
    // Keeps the record on display (or `bytes`, as read) in the archive.
    void KeepShownTest(TestSource source, const QString& path = {}, const QByteArray& bytes = {});
    // The markers moved: kept after a second without another move.
    void MarkersMoved(const QString& how);
    void StoreMarkers();
    void ArchiveTrouble(const QString& why);

    DataCenter& dc_;
    Tester tester_;
    std::unique_ptr<Archive> archive_;
    std::optional<TestToJudge> baseline_; // the test the shown one is compared with
    QString baselineName_;
    bool baselineFromArchive_ = false; // picked again for each tap step shown
    bool archiveTroubleSaid_ = false;
    QString shownId_;    // of the test on display in the archive
    QString keptMarks_;  // the markers last kept for it
    QString markersHow_; // "hand" or "auto": how they last moved
    QTimer* markersQuiet_ = nullptr;
    TFrmArchive* archiveWindow_ = nullptr;
    QString programFolder_;
    LayoutMetrics layout_;
    bool layoutReady_ = false;
    bool paramsReady_ = false;
    bool pointFocused_ = false;
    bool timeFocused_ = false;
    bool dragMode_ = false;
    bool panButtonDown_ = false;
    bool exporting_ = false;
    QString exportFilter_; // the save dialog's entry chosen last

    // Containers the layout moves and sizes.
    QWidget *central_, *panChart_;
    QLabel *titleParams_, *titleSystem_, *titleCursor_;
    QWidget *panParams_, *panSystem_, *panCursor_, *panInvert_;
    std::array<QLabel*, 3> titlePhase_{};
    std::array<QWidget*, 3> panPhase_{};
    QWidget *panChoice_, *panRotation_, *panSpread1_, *panSpread2_;
    // Each entry: a control or caption and its row offset within its group.
    struct RowPlace {
        QWidget* widget;
        int row;
        int offset;
    };
    std::vector<RowPlace> rows_;
};
