#include "ShownTest.h"

#include "Helpers.h"
#include "ParamLists.h"
#include "ResultBoxes.h"

PanelTexts PanelTextsOf(const TestRecord& record) {
    const TestParams& tp = record.params;
    PanelTexts t;
    t.switchType = ItemText(SwitchTypeItems(), tp.iSwitchType);
    t.testMode = ItemText(TestModeItems(tp.iSwitchType), ShownTestMode(tp));
    t.testStep = ItemText(TestStepItems(), tp.iTestStep);
    t.sampleBurst = FixedText(tp.iSampleBurst, 1);
    t.samplePoint = QString::number(tp.iSamplePoint);
    t.sampleTime = FixedText(tp.iSamplePoint, 1);
    t.user = record.strTestUser.Text();
    t.addr = record.strTestAdd.Text();
    t.memoTime = record.strTestTime.Text();
    return t;
}

ShownTest ShownTestOf(const TestRecord& record, const TransitionMarkers& markers, bool inverted,
                      ChartColor color, int brand) {
    ShownTest shown;
    shown.panel = PanelTextsOf(record);
    if (record.HasData) {
        const auto boxes = ResultBoxTexts(ComputeResults(markers, record));
        for (size_t i = 0; i < shown.boxes.size(); ++i)
            shown.boxes[i] = boxes[i].text;
    }
    shown.record = record;
    shown.markers = markers;
    shown.inverted = inverted;
    shown.color = color;
    shown.brand = brand;
    return shown;
}
