#pragma once

#include <QByteArray>
#include <QString>

class ClaimedName;

struct ArchiveTarget {
    QString path;
    bool alreadyThere = false; // a file with exactly these bytes exists at `path`
};

// Where `content` goes in `folder` under the name `stem`.cty without
// overwriting anything: the name itself, or "stem (2).cty", "stem (3).cty"...
// the first that is free or already holds exactly `content`. With `claim`,
// a free name is claimed in it (another writer into the folder at the same
// time takes the next); an empty path when none can be, the reason in `why`.
ArchiveTarget ArchivePath(const QString& folder, const QString& stem, const QByteArray& content,
                          ClaimedName* claim = nullptr, QString* why = nullptr);
