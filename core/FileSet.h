#pragma once

#include "FileTarget.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

// Files that belong together (a configuration and its data) written as one:
// each is staged beside its target, and they are put in place together or
// not at all. Were one rename to fail, those already done are undone, so an
// earlier set of these names is never left half old, half new. SIGINT and
// SIGTERM wait while the set is put in place.
class StagedSet {
public:
    explicit StagedSet(const QStringList& targets);

    // Prepares every member (see StagedFile::Prepare); the error names the
    // target that was refused.
    bool Prepare(QString* error = nullptr);
    // Writes the whole content of member `i`.
    bool Write(int i, const QByteArray& bytes, QString* error = nullptr);
    bool Commit(QString* error = nullptr);

private:
    QStringList targets_;
    std::vector<std::unique_ptr<StagedFile>> files_;
};

// Writes each of `contents` as the whole new content of the target of the
// same position, as one set. On failure `error` names the reason.
bool WriteWholeSet(const QStringList& targets, const std::vector<QByteArray>& contents,
                   QString* error = nullptr);

// Names in a folder for a set about to be written there: "STEM.EXT" for
// every extension, else "STEM (2).EXT" for every one..., the first number
// at which every name is free, each claimed as ClaimedName claims it.
class ClaimedNames {
public:
    bool Claim(const QString& folder, const QString& stem, const QStringList& extensions,
               QString* error = nullptr);
    QStringList Paths() const;
    void Keep();

private:
    std::vector<std::unique_ptr<ClaimedName>> claims_;
};
