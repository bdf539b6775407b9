// What the report and the exports copy from the window: its texts as shown.
#include "UMain.h"

#include "Archive.h"
#include "UDataCenter.h"
#include "WaveChart.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>

ShownTest TFrmMain::ShownNow() const {
    ShownTest shown;
    PanelTexts& t = shown.panel;
    t.switchType = cbSwitchType->currentText();
    t.testMode = cbTestMode->currentText();
    t.testStep = cbTestStep->currentText();
    t.sampleBurst = EdtSampleBurst->text();
    t.samplePoint = EdtSamplePoint->text();
    t.sampleTime = EdtSampleTime->text();
    t.user = EdtUser->text();
    t.addr = EdtAddr->text();
    t.memoTime = MemoTime->toPlainText();
    for (size_t i = 0; i < shown.boxes.size(); ++i)
        shown.boxes[i] = ResultBoxes[i]->text();
    shown.record = dc_.record;
    shown.markers = ChartA->Markers();
    shown.inverted = cbInverted->isChecked();
    const SystemSettings& s = dc_.settings;
    shown.color = {s.gRColor, s.gGColor, s.gBColor};
    shown.brand = tester_.State().Brand;
    // What the archive says the test is of goes into the document.
    if (archive_ && !shownId_.isEmpty() && dc_.record.HasData)
        if (const auto note = archive_->LatestAnnotation(shownId_)) {
            shown.device = note->device;
            shown.report = note->report;
        }
    return shown;
}
