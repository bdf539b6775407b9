#include "FileTarget.h"

#include "FileNames.h"
#include "NativeFile.h"
#include "UnfinishedFiles.h"

#include <QDir>
#include <QRandomGenerator>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

// Room for the temporary name's dot and suffix within a name's 255 bytes.
constexpr qsizetype kTempStemBytes = 200;

QByteArray TempNameBeside(const QByteArray& target) {
    const qsizetype slash = target.lastIndexOf('/');
    const QByteArray folder = target.left(slash + 1);
    QByteArray stem = target.mid(slash + 1).left(kTempStemBytes);
    return folder + '.' + stem + '.' +
           QByteArray::number(QRandomGenerator::global()->generate64(), 36) + ".part";
}

bool WriteAll(int fd, const char* data, qsizetype size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size_t(size));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = EIO;
            return false;
        }
        data += n;
        size -= n;
    }
    return true;
}

bool FailWith(QString* error, int code) {
    if (error)
        *error = SystemReason(code);
    return false;
}

} // namespace

QString TargetRefusal(const QString& path) {
    switch (KindOf(path)) {
    case FileKind::Missing:
        if (Occupied(path))
            return QStringLiteral("is a link to nothing; nothing is written through it");
        return {};
    case FileKind::Regular:
        return {};
    case FileKind::Folder:
        return QStringLiteral("is a folder, not a regular file");
    case FileKind::Other:
        break;
    }
    return QStringLiteral("exists and is not a regular file");
}

StagedFile::StagedFile(const QString& target) : target_(target) {}

StagedFile::~StagedFile() {
    if (fd_ >= 0)
        ::close(fd_);
    if (!committed_ && !temp_.isEmpty())
        ::unlink(NativeFileName(temp_).constData());
    ForgetUnfinished(unfinished_);
}

bool StagedFile::Fail(QString* error, int code) const {
    return FailWith(error, code);
}

bool StagedFile::Prepare(QString* error) {
    if (const QString refusal = TargetRefusal(target_); !refusal.isEmpty()) {
        if (error)
            *error = refusal;
        return false;
    }
    QByteArray target = NativeFileName(target_);
    if (char real[PATH_MAX]; ::realpath(target.constData(), real))
        target = real; // the file a link names
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QByteArray temp = TempNameBeside(target);
        const SignalsHeld held; // made and noted as one step
        fd_ = ::open(temp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd_ >= 0) {
            // Noted once it is ours: a name noted before could be another's.
            unfinished_ = NoteUnfinished(temp);
            temp_ = FileNameFromNative(temp);
            return true;
        }
        if (errno != EEXIST)
            return Fail(error, errno);
    }
    return Fail(error, EEXIST);
}

bool StagedFile::Write(QByteArrayView bytes, QString* error) {
    if (fd_ < 0)
        return Fail(error, EBADF);
    return WriteAll(fd_, bytes.data(), bytes.size()) || Fail(error, errno);
}

bool StagedFile::Finish(QString* error) {
    if (temp_.isEmpty())
        return Fail(error, EBADF);
    if (finished_)
        return true;
    if (fd_ >= 0 && ::close(std::exchange(fd_, -1)) != 0)
        return Fail(error, errno);
    // A writer that opened the file by name may have replaced it: synced by name.
    const int fd = ::open(NativeFileName(temp_).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return Fail(error, errno);
    const bool synced = ::fsync(fd) == 0;
    const int syncError = errno;
    ::close(fd);
    if (!synced)
        return Fail(error, syncError);
    finished_ = true;
    return true;
}

bool StagedFile::Commit(QString* error) {
    if (!Finish(error))
        return false;
    const QByteArray temp = NativeFileName(temp_);
    QByteArray target = NativeFileName(target_);
    if (char real[PATH_MAX]; ::realpath(target.constData(), real))
        target = real;
    if (struct stat old; ::stat(target.constData(), &old) == 0)
        ::chmod(temp.constData(), old.st_mode & 07777);
    if (::rename(temp.constData(), target.constData()) != 0)
        return Fail(error, errno);
    committed_ = true;
    ForgetUnfinished(std::exchange(unfinished_, -1));
    return true;
}

bool WriteWholeFile(const QString& path, QByteArrayView bytes, QString* error) {
    StagedFile file(path);
    return file.Prepare(error) && file.Write(bytes, error) && file.Commit(error);
}

bool CanWriteTarget(const QString& path, QString* error) {
    StagedFile trial(path);
    return trial.Prepare(error);
}

QString NumberedName(const QString& stem, int n, const QString& extension) {
    return n == 1 ? QStringLiteral("%1.%2").arg(stem, extension)
                  : QStringLiteral("%1 (%2).%3").arg(stem).arg(n).arg(extension);
}

bool CreateExclusively(const QString& path, int* code) {
    const int fd = ::open(NativeFileName(path).constData(),
                          O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0) {
        if (code)
            *code = errno;
        return false;
    }
    ::close(fd);
    return true;
}

ClaimedName::~ClaimedName() {
    if (!kept_ && !path_.isEmpty())
        ::unlink(NativeFileName(path_).constData());
    ForgetUnfinished(unfinished_);
}

bool ClaimedName::Claim(const QString& folder, const QString& stem, const QString& extension,
                        QString* error) {
    const QDir dir(folder);
    // Far more names than any folder holds: the bound only keeps a folder
    // that refuses every name from being tried for ever.
    for (int n = 1; n <= 100000; ++n) {
        const QString path = dir.filePath(NumberedName(stem, n, extension));
        if (Occupied(path))
            continue;
        int code = 0;
        if (ClaimPath(path, &code))
            return true;
        if (code != EEXIST)
            return FailWith(error, code);
    }
    return FailWith(error, EEXIST);
}

bool ClaimedName::ClaimPath(const QString& path, int* code) {
    const SignalsHeld held; // made and noted as one step
    if (!CreateExclusively(path, code))
        return false;
    unfinished_ = NoteUnfinished(NativeFileName(path));
    path_ = path;
    return true;
}

void ClaimedName::Keep() {
    kept_ = true;
    ForgetUnfinished(std::exchange(unfinished_, -1));
}
