#include "TestToJudge.h"

#include "MarkerFinder.h"

#include <algorithm>
#include <thread>
#include <vector>

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

QList<TestToJudge> PrepareTests(const QList<TestToPrepare>& tests) {
    QList<TestToJudge> prepared(tests.size());
    const qsizetype workers = std::max<qsizetype>(
        1, std::min<qsizetype>({qsizetype(std::thread::hardware_concurrency()), 8, tests.size()}));
    // Each worker writes its own elements, through a pointer taken before:
    // the list itself is not touched while they run.
    TestToJudge* out = prepared.data();
    const auto work = [&](qsizetype first) {
        for (qsizetype i = first; i < tests.size(); i += workers)
            out[i] = PrepareTest(tests[i].record, tests[i].id, tests[i].file, tests[i].kept);
    };
    std::vector<std::thread> threads;
    for (qsizetype w = 1; w < workers; ++w)
        threads.emplace_back(work, w);
    work(0);
    for (std::thread& t : threads)
        t.join();
    return prepared;
}
