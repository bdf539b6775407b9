// The summary window of a campaign, from the archive or a folder.
#include "UMain.h"

#include "Archive.h"
#include "FileNames.h"
#include "Message.h"
#include "SummaryWorkbook.h"
#include "TestFile.h"
#include "TestToJudge.h"
#include "UDlgSummary.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace {

QString MostCommon(const QStringList& names) {
    QString best;
    for (const QString& name : names)
        if (best.isEmpty() || names.count(name) > names.count(best))
            best = name;
    return best;
}

} // namespace

TFrmSummary* TFrmMain::ShowSummary(SummaryInputs inputs,
                                   std::function<void(const QString& id)> open) {
    auto* window = new TFrmSummary(std::move(inputs), std::move(open), this);
    window->writeWorkbook = [window](const QString& path, QString* why) {
        const ExportResult result =
            WriteSummaryWorkbook(window->Pages().campaign, window->Pages().heading, path);
        *why = result.detail;
        return result.ok();
    };
    if (archive_) {
        window->keptMarkers = [this](const QString& id) { return KeptMarkersOf(id); };
        window->archiveBaselines = [this, window] {
            const SummaryHeading& h = window->Pages().heading;
            return ArchivedBaselines(h.device, h.place);
        };
    }
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
    return window;
}

QList<TestToJudge> TFrmMain::ArchivedBaselines(const QString& device, const QString& place) {
    QList<TestToPrepare> found;
    if (!archive_)
        return {};
    for (const ArchivedTest& b : archive_->List(BaselinesFilter(device, place))) {
        auto record = std::make_shared<TestRecord>();
        const auto bytes = archive_->Bytes(b.id);
        if (bytes && DecodeTestFile(*bytes, *record))
            found << TestToPrepare{record, b.id, b.file, b.markers};
    }
    return PrepareTests(found);
}

TFrmSummary* TFrmMain::SummariseArchived(const QStringList& ids) {
    if (!archive_)
        return nullptr;
    QList<TestToPrepare> tests;
    QStringList devices, places;
    for (const QString& id : ids) {
        const auto bytes = archive_->Bytes(id);
        auto record = std::make_shared<TestRecord>();
        if (!bytes || !DecodeTestFile(*bytes, *record))
            continue;
        tests << TestToPrepare{record, id, {}, KeptMarkersOf(id)};
        if (const auto note = archive_->LatestAnnotation(id); note && !note->device.isEmpty())
            devices << note->device;
    }
    SummaryInputs inputs;
    inputs.tests = PrepareTests(tests);
    inputs.device = MostCommon(devices);
    // The baselines the archive marks for the same tap changer, when there are some.
    const SummaryHeading heading = HeadingOf(JudgeCampaign(inputs.tests, {}), inputs.device);
    inputs.baselines = ArchivedBaselines(inputs.device, heading.place);
    return ShowSummary(std::move(inputs),
                       [this](const QString& id) { OpenArchivedTest(id, true); });
}

TFrmSummary* TFrmMain::SummariseFolder(const QString& folder) {
    const auto kept = [this](const QString& id) { return KeptMarkersOf(id); };
    QStringList refused;
    const QList<TestToPrepare> read = ReadTestsOf({folder}, kept, &refused);
    if (read.isEmpty()) {
        ShowMessage(QCoreApplication::translate("UMainSummary", "文件夹中没有测试数据！"),
                    MsgIcon::Information);
        return nullptr;
    }
    QHash<QString, QString> files;
    for (const TestToPrepare& t : read)
        files.insert(t.id, t.file);
    SummaryInputs inputs;
    inputs.tests = PrepareTests(read);
    inputs.baselines = ArchivedBaselines({}, HeadingOf(JudgeCampaign(inputs.tests, {}), {}).place);
    return ShowSummary(std::move(inputs),
                       [this, files](const QString& id) { OpenTestFile(files.value(id)); });
}
