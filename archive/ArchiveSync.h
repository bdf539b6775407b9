#pragma once

#include "Archive.h"

#include <functional>

struct SyncResult {
    bool ok = false;
    int tests = 0; // the tests looked at
    int added = 0; // of them, new to the target
    QString error;
    bool serverLost = false;
};

// Copies into `to` what `from` holds of the tests `filter` selects and `to`
// lacks: tests, sightings, marker and annotation revisions. A union, in
// batches of one transaction each: run again after a cut, it goes on where
// it stopped; nothing is ever removed. `progress` gets (done, total).
SyncResult CopyArchive(Archive& from, Archive& to, const ArchiveFilter& filter,
                       const std::function<void(int, int)>& progress = {});
