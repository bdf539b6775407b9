#include "FileSet.h"

#include "FileNames.h"
#include "NativeFile.h"
#include "UnfinishedFiles.h"

#include <QDir>
#include <QRandomGenerator>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool FailWith(QString* error, const QString& target, const QString& why) {
    if (error)
        *error = QStringLiteral("%1: %2").arg(target, why);
    return false;
}

QByteArray RealTarget(const QString& path) {
    QByteArray target = NativeFileName(path);
    if (char real[PATH_MAX]; ::realpath(target.constData(), real))
        target = real;
    return target;
}

// What stood at a target before the set replaced it.
struct Kept {
    QByteArray target;
    QByteArray copy;    // a second name of the old file; empty when there was none
    bool moved = false; // the old file was renamed away (no hard links here)
};

QByteArray NameBeside(const QByteArray& target) {
    const qsizetype slash = target.lastIndexOf('/');
    return target.left(slash + 1) + '.' + target.mid(slash + 1).left(200) + '.' +
           QByteArray::number(QRandomGenerator::global()->generate64(), 36) + ".old";
}

// Puts back what stood at the targets of `kept` before.
void Undo(const std::vector<Kept>& kept, size_t replaced) {
    for (size_t i = 0; i < kept.size(); ++i) {
        const Kept& k = kept[i];
        if (k.copy.isEmpty()) {
            if (i < replaced)
                ::unlink(k.target.constData());
        } else if (i < replaced || k.moved) {
            ::rename(k.copy.constData(), k.target.constData());
        } else {
            ::unlink(k.copy.constData());
        }
    }
}

} // namespace

StagedSet::StagedSet(const QStringList& targets) : targets_(targets) {}

bool StagedSet::Prepare(QString* error) {
    files_.clear();
    for (const QString& target : targets_) {
        files_.push_back(std::make_unique<StagedFile>(target));
        if (QString why; !files_.back()->Prepare(&why))
            return FailWith(error, target, why);
    }
    return true;
}

bool StagedSet::Write(int i, const QByteArray& bytes, QString* error) {
    if (i < 0 || size_t(i) >= files_.size())
        return FailWith(error, QString(), SystemReason(EBADF));
    QString why;
    return files_[size_t(i)]->Write(bytes, &why) || FailWith(error, targets_[i], why);
}

bool StagedSet::Commit(QString* error) {
    if (files_.size() != size_t(targets_.size()))
        return FailWith(error, QString(), SystemReason(EBADF));
    // Everything on the disk before anything is replaced.
    for (size_t i = 0; i < files_.size(); ++i)
        if (QString why; !files_[i]->Finish(&why))
            return FailWith(error, targets_[int(i)], why);
    const SignalsHeld held; // no signal between the first rename and the last
    std::vector<Kept> kept;
    for (const QString& path : targets_) {
        Kept k{RealTarget(path), {}, false};
        if (KindOf(path) == FileKind::Regular) {
            k.copy = NameBeside(k.target);
            if (::link(k.target.constData(), k.copy.constData()) != 0) {
                // A file system without hard links: the old file steps aside.
                if (::rename(k.target.constData(), k.copy.constData()) != 0) {
                    const int code = errno;
                    k.copy.clear();
                    Undo(kept, 0);
                    return FailWith(error, path, SystemReason(code));
                }
                k.moved = true;
            }
        }
        kept.push_back(k);
    }
    for (size_t i = 0; i < files_.size(); ++i) {
        if (QString why; !files_[i]->Commit(&why)) {
            Undo(kept, i);
            return FailWith(error, targets_[int(i)], why);
        }
    }
    for (const Kept& k : kept)
        if (!k.copy.isEmpty())
            ::unlink(k.copy.constData());
    return true;
}

bool WriteWholeSet(const QStringList& targets, const std::vector<QByteArray>& contents,
                   QString* error) {
    StagedSet set(targets);
    if (!set.Prepare(error))
        return false;
    for (size_t i = 0; i < contents.size(); ++i)
        if (!set.Write(int(i), contents[i], error))
            return false;
    return set.Commit(error);
}

bool ClaimedNames::Claim(const QString& folder, const QString& stem, const QStringList& extensions,
                         QString* error) {
    const QDir dir(folder);
    for (int n = 1; n <= 100000; ++n) {
        claims_.clear(); // what an earlier number took is given back
        bool taken = false;
        for (const QString& extension : extensions) {
            const QString path = dir.filePath(NumberedName(stem, n, extension));
            if (Occupied(path)) {
                taken = true;
                break;
            }
            auto claim = std::make_unique<ClaimedName>();
            int code = 0;
            if (!claim->ClaimPath(path, &code)) {
                if (code != EEXIST) {
                    claims_.clear();
                    return FailWith(error, path, SystemReason(code));
                }
                taken = true;
                break;
            }
            claims_.push_back(std::move(claim));
        }
        if (!taken)
            return true;
    }
    claims_.clear();
    return FailWith(error, folder, SystemReason(EEXIST));
}

QStringList ClaimedNames::Paths() const {
    QStringList paths;
    for (const auto& claim : claims_)
        paths << claim->Path();
    return paths;
}

void ClaimedNames::Keep() {
    for (const auto& claim : claims_)
        claim->Keep();
}
