// The chart, the results and the cursor read-out of the main window.
#include "UMain.h"

#include "ChartMath.h"
#include "Helpers.h"
#include "ResultBoxes.h"
#include "UDataCenter.h"
#include "WaveChart.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCoreApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QToolButton>

void TFrmMain::RedrawChart() {
    ChartA->RedrawChart(dc_.record);
}

void TFrmMain::ClearTestDisplay() {
    KeepMarkersNow();
    shownId_.clear();
    dc_.record.HasData = false;
    ChartA->ClearSeries();
    dc_.record.ClearTestData();
    MemoTime->clear();
    for (QLineEdit* box : ResultBoxes)
        box->clear();
}

void TFrmMain::ShowResults() {
    MemoTime->setPlainText(dc_.record.strTestTime.Text());
    const auto boxes = ResultBoxTexts(ComputeResults(ChartA->Markers(), dc_.record));
    for (size_t i = 0; i < boxes.size(); ++i)
        ResultBoxes[i]->setText(boxes[i].text);
    UpdateBaselineComparison();
}

void TFrmMain::InvertedClick() {
    ChartA->SetInverted(cbInverted->isChecked());
    // Also without a test: the zoom is undone and the (flat) traces and the
    // markers at 10..40 ms are drawn, as for any redraw.
    RedrawChart();
    // The markers are back at their start positions; the results follow
    // them, but only those of a test on display.
    if (dc_.record.HasData)
        ShowResults();
}

void TFrmMain::PostKey(int key) {
    QCoreApplication::postEvent(this, new QKeyEvent(QEvent::KeyPress, key, Qt::NoModifier));
}

void TFrmMain::ChartAMouseDown(Qt::MouseButton button) {
    if (button == Qt::LeftButton) {
        PostKey(Qt::Key_Return);
    } else if (button == Qt::RightButton) {
        panButtonDown_ = true;
        PostKey(Qt::Key_Escape);
    }
}

void TFrmMain::ChartAMouseUp(Qt::MouseButton button) {
    if (button == Qt::RightButton)
        panButtonDown_ = false;
}

int TFrmMain::ChosenMarker() const {
    return RGT->checkedId();
}

void TFrmMain::ChartAMouseMove() {
    if (panButtonDown_)
        RelayRuler();
    if (!dc_.record.HasData)
        return;
    // The pointer as the system has it now, not as the event saw it.
    const double x = ChartA->TimeAtPixel(ChartA->mapFromGlobal(QCursor::pos()).x());
    EdtMouseTime->setText(QString::asprintf("%.1f", x));
    const int a = IndexAtTime(x);
    QLineEdit* const values[3] = {EdtXA, EdtXB, EdtXC};
    for (int p = 0; p < 3; ++p)
        values[p]->setText(FixedText(dc_.record.SampleAt(kPhaseA + p, a), 2));
    if (!dragMode_)
        return;
    const int phase = SBat->isChecked()   ? kPhaseA
                      : sbbt->isChecked() ? kPhaseB
                      : sbct->isChecked() ? kPhaseC
                                          : 0;
    const int j = ChosenMarker();
    if (phase == 0 || j < 0)
        return;
    const auto [lower, upper] = DragLimits(ChartA->Markers().phase[phase - 1], j + 1);
    if (a < lower || a > upper)
        return; // not clamped: the marker waits where it is
    ChartA->PlaceMarker(MarkerNumber(phase, j + 1), a);
    ShowResults();
    MarkersMoved(QStringLiteral("hand"));
}

void TFrmMain::KeyHook(int key) {
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        ChartA->setFocus();
        dragMode_ = false;
        // No marker chosen: the exclusive group must let go for a moment.
        if (QAbstractButton* chosen = RGT->checkedButton()) {
            RGT->setExclusive(false);
            chosen->setChecked(false);
            RGT->setExclusive(true);
        }
        break;
    case Qt::Key_Escape:
        ChartA->setFocus();
        dragMode_ = true;
        break;
    case Qt::Key_Left:
    case Qt::Key_Right:
        ChartA->setFocus();
        QCursor::setPos(QCursor::pos() + QPoint(key == Qt::Key_Left ? -1 : 1, 0));
        break;
    default:
        break;
    }
}

void TFrmMain::PhaseButtonClick(QToolButton* button) {
    // At most one phase is down; clicking the one that is down releases it.
    if (button->isChecked())
        for (QToolButton* other : {SBat, sbbt, sbct})
            if (other != button)
                other->setChecked(false);
    PostKey(Qt::Key_Escape);
}
