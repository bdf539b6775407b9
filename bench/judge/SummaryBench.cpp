// How quick a summary is: a campaign of taps from the simulator, markers
// found and judged, to JSON and to PDF; the summary window opened on 200.
//   QT_QPA_PLATFORM=offscreen summary_bench
#include "SimCampaign.h"
#include "SummaryReport.h"
#include "TestToJudge.h"
#include "UDlgSummary.h"

#include <QApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>

namespace {

QList<TestToJudge> Campaign(int count) {
    const QList<SimCampaignFault> faults = {{SimCampaignFault::SlowPhase, 5, 2}};
    QList<TestToJudge> tests;
    for (int n = 0; n < count; ++n) {
        const int k = n % kSimCampaignTests + 1;
        auto record = std::make_shared<TestRecord>();
        record->params.iTestStep = CampaignTestOf(quint32(1 + n / kSimCampaignTests), k).step;
        for (int phase = 1; phase <= 3; ++phase) {
            const auto samples =
                CampaignSamples(quint32(1 + n / kSimCampaignTests), phase, k, faults);
            std::copy(samples.begin(), samples.end(), record->WaveOf(phase).begin());
        }
        tests << TestToJudge{QString::number(n), {}, record, {}, {}, {}};
    }
    return tests;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QList<TestToJudge> raw = Campaign(200);
    std::vector<double> json, pdf, window;
    for (int round = 0; round < 7; ++round) {
        QElapsedTimer clock;
        clock.start();
        QList<TestToPrepare> toJudge;
        for (int i = 0; i < 40; ++i)
            toJudge << TestToPrepare{raw[i].record, raw[i].id, {}, {}};
        const QList<TestToJudge> forty = PrepareTests(toJudge);
        const JudgedCampaign judged = JudgeCampaign(forty, JudgeProfile{});
        const QByteArray text = SummaryJson(judged, HeadingOf(judged));
        json.push_back(clock.nsecsElapsed() / 1e6);
        clock.restart();
        SummaryPages pages{judged, HeadingOf(judged), {}, {}};
        for (const TestToJudge& t : forty)
            pages.records.insert(t.id, t.record);
        const QByteArray bytes = SummaryPdf(pages);
        pdf.push_back(clock.nsecsElapsed() / 1e6 + json.back());
        // The window on 200 tests whose markers are found (the archive's part).
        QList<TestToPrepare> all;
        for (const TestToJudge& t : raw)
            all << TestToPrepare{t.record, t.id, {}, {}};
        SummaryInputs many{PrepareTests(all), {}, JudgeProfile{}, {}};
        clock.restart();
        // Judging the prepared tests is the window's own part, so it is timed.
        TFrmSummary summary(many, {});
        summary.show();
        QApplication::processEvents();
        window.push_back(clock.nsecsElapsed() / 1e6);
        if (text.isEmpty() || bytes.isEmpty())
            return 1;
    }
    std::printf("40 tests, markers found and judged, to JSON: median %.1f ms\n", Median(json));
    std::printf("the same to PDF (judging included): median %.1f ms\n", Median(pdf));
    std::printf("the summary window opened on 200 judged tests: median %.1f ms\n", Median(window));
    return 0;
}
