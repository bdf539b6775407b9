#include "ArchiveSync.h"

#include <QSet>

namespace {
constexpr int kSyncBatch = 200;
}

SyncResult CopyArchive(Archive& from, Archive& to, const ArchiveFilter& filter,
                       const std::function<void(int, int)>& progress) {
    SyncResult result;
    const auto failed = [&](Archive& where) {
        result.error = where.Location().Shown() + QStringLiteral(": ") + where.Error();
        result.serverLost = where.LastFailure() == Archive::Failure::Server;
        return result;
    };
    const QStringList ids = from.Ids(filter);
    if (ids.isEmpty() && from.LastFailure() != Archive::Failure::None)
        return failed(from);
    for (qsizetype start = 0; start < ids.size(); start += kSyncBatch) {
        const QStringList batch = ids.mid(start, kSyncBatch);
        ArchiveFilter these;
        these.ids = batch;
        const QStringList there = to.Ids(these);
        if (there.isEmpty() && to.LastFailure() != Archive::Failure::None)
            return failed(to);
        const QSet<QString> known(there.begin(), there.end());
        QStringList missing;
        for (const QString& id : batch)
            if (!known.contains(id))
                missing << id;
        auto rows = from.Rows(missing);
        auto revisions = from.Rows(there, false);
        if (!rows || !revisions)
            return failed(from);
        rows->sightings += revisions->sightings;
        rows->markers += revisions->markers;
        rows->annotations += revisions->annotations;
        rows->baselines += revisions->baselines;
        const auto added = to.Merge(*rows);
        if (!added)
            return failed(to);
        result.added += *added;
        result.tests += int(batch.size());
        if (progress)
            progress(result.tests, int(ids.size()));
    }
    result.ok = true;
    return result;
}
