#pragma once

#include <QByteArrayView>
#include <QString>

// Why a new file must not be put at `path`: it exists and is not a regular
// file (a folder, a device, a FIFO, a socket), which a file put there would
// replace, or it is a link to nothing (as cp does, nothing is written
// through it: where it points may be anywhere). Empty when a file may be
// written there. Links are followed. The reasons given here and below do
// not repeat the path.
QString TargetRefusal(const QString& path);

// A new file written under a temporary name beside its target and put in
// place only when complete: a failure leaves no half-written file and keeps
// what was there, and SIGINT or SIGTERM remove the temporary file once
// RemoveUnfinishedOnSignals is installed. A link is followed: the file it
// names is replaced, the link stays; a replaced file keeps its permissions.
class StagedFile {
public:
    explicit StagedFile(const QString& target);
    ~StagedFile(); // removes the temporary file unless committed
    StagedFile(const StagedFile&) = delete;
    StagedFile& operator=(const StagedFile&) = delete;

    // Refuses a target that is not a regular file; creates the temporary file.
    // A failure's `error` is the system's reason, or the refusal.
    bool Prepare(QString* error = nullptr);
    // Where a writer that opens files by name writes, after Prepare.
    QString TempPath() const { return temp_; }
    // Appends to the temporary file.
    bool Write(QByteArrayView bytes, QString* error = nullptr);
    // Closes the temporary file and puts what was written on the disk.
    bool Finish(QString* error = nullptr);
    // Finishes, then puts the file in place of the target.
    bool Commit(QString* error = nullptr);

private:
    bool Fail(QString* error, int code) const;

    QString target_;
    QString temp_;
    int fd_ = -1;
    int unfinished_ = -1;
    bool committed_ = false;
    bool finished_ = false;
};

// A new name in a folder, taken for a file about to be written there:
// "STEM.EXT", else "STEM (2).EXT", "STEM (3).EXT"..., the first name that
// nothing stands at, created empty and exclusively, so that another writer
// into the same folder at the same time takes the next. The empty file is
// removed again (also by SIGINT and SIGTERM) unless Keep() says the file
// written over it is complete.
class ClaimedName {
public:
    ClaimedName() = default;
    ~ClaimedName();
    ClaimedName(const ClaimedName&) = delete;
    ClaimedName& operator=(const ClaimedName&) = delete;

    bool Claim(const QString& folder, const QString& stem, const QString& extension,
               QString* error = nullptr);
    // Claims exactly `path`; false with the error number in `code` (EEXIST
    // when something stands there).
    bool ClaimPath(const QString& path, int* code = nullptr);
    QString Path() const { return path_; }
    void Keep();

private:
    QString path_;
    int unfinished_ = -1;
    bool kept_ = false;
};

// "STEM.EXT" for n = 1, else "STEM (n).EXT": the names ClaimedName tries.
QString NumberedName(const QString& stem, int n, const QString& extension);

// Creates `path` empty, only when nothing stands there. False with the
// error number in `code` (EEXIST when something does).
bool CreateExclusively(const QString& path, int* code = nullptr);

// Writes `bytes` as the whole new content of `path` through a StagedFile.
// On failure `error` names the reason.
bool WriteWholeFile(const QString& path, QByteArrayView bytes, QString* error = nullptr);

// Whether a file could be written at `path` now: the target check and a
// trial file beside it, removed again. Nothing at `path` changes.
bool CanWriteTarget(const QString& path, QString* error = nullptr);
