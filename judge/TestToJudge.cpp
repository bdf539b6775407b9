#include "TestToJudge.h"

#include "MarkerFinder.h"

TestToJudge PrepareTest(std::shared_ptr<const TestRecord> record, const QString& id,
                        const QString& file, const std::optional<TransitionMarkers>& kept) {
    TestToJudge test;
    test.id = id;
    test.file = file;
    test.record = std::move(record);
    const std::array<bool, 3> drawn =
        DrawnPhases(test.record->params.iSwitchType, test.record->params.iTestMode);
    if (kept) {
        test.markers = *kept;
        for (int p = 0; p < 3; ++p)
            test.found[p] = drawn[p] && kept->phase[p][3] > 0;
        return test;
    }
    const auto found = FindDrawnMarkers(*test.record);
    for (int p = 0; p < 3; ++p)
        if (found[p]) {
            test.markers.phase[p] = found[p]->t;
            test.found[p] = true;
            test.quality[p] = found[p]->quality;
        }
    return test;
}
