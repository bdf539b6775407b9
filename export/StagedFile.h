#pragma once

#include "ExportResult.h"

#include <QString>

// An export file written under a temporary name beside its target and
// renamed over it only when complete: a failure or a cancel leaves no
// half-written file and keeps an earlier file of that name whole.
class StagedFile {
public:
    explicit StagedFile(const QString& target);
    ~StagedFile(); // removes the temporary file unless committed
    StagedFile(const StagedFile&) = delete;
    StagedFile& operator=(const StagedFile&) = delete;

    // Creates the temporary file; refuses a target that exists and is not
    // a regular file (a folder, a device), which is never replaced.
    ExportResult Prepare();
    // Where the writer writes, valid after Prepare.
    QString TempPath() const { return temp_; }
    ExportResult Commit();

private:
    QString target_;
    QString temp_;
    bool committed_ = false;
};
