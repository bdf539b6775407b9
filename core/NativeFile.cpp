#include "NativeFile.h"

#include "FileNames.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

FileKind KindOfMode(mode_t mode) {
    return S_ISREG(mode) ? FileKind::Regular : S_ISDIR(mode) ? FileKind::Folder : FileKind::Other;
}

bool Fail(QString* error, int code) {
    if (error)
        *error = SystemReason(code);
    return false;
}

} // namespace

QString SystemReason(int code) {
    return QString::fromLocal8Bit(std::strerror(code));
}

FileKind KindOf(const QString& path) {
    struct stat info;
    if (::stat(NativeFileName(path).constData(), &info) != 0)
        return FileKind::Missing;
    return KindOfMode(info.st_mode);
}

bool Occupied(const QString& path) {
    struct stat info;
    return ::lstat(NativeFileName(path).constData(), &info) == 0;
}

FileKind OpenToRead(const QString& path, QFile& file, QString* error) {
    const QByteArray native = NativeFileName(path);
    struct stat info;
    if (::stat(native.constData(), &info) != 0) {
        const int code = errno;
        if (code == ENOENT || code == ENOTDIR)
            return FileKind::Missing;
        Fail(error, code);
        return FileKind::Regular; // something may be there; it cannot be read
    }
    if (!S_ISREG(info.st_mode))
        return KindOfMode(info.st_mode);
    // Not blocking on open, in case something else was put there meanwhile;
    // what was opened is checked again.
    const int fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        Fail(error, errno);
        return FileKind::Regular;
    }
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return FileKind::Other;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        if (error)
            *error = file.errorString();
    }
    return FileKind::Regular;
}

bool MakeFolders(const QString& path, QString* error) {
    QByteArray native = NativeFileName(path);
    while (native.size() > 1 && native.endsWith('/'))
        native.chop(1);
    if (native.isEmpty())
        return Fail(error, ENOENT);
    struct stat info;
    if (::stat(native.constData(), &info) == 0)
        return S_ISDIR(info.st_mode) || Fail(error, ENOTDIR);
    // Each missing folder from the top down; one made meanwhile by someone
    // else is as good.
    for (qsizetype slash = native.indexOf('/', 1);; slash = native.indexOf('/', slash + 1)) {
        const QByteArray part = slash < 0 ? native : native.left(slash);
        if (::mkdir(part.constData(), 0777) != 0 && errno != EEXIST)
            return Fail(error, errno);
        if (slash < 0)
            break;
    }
    if (::stat(native.constData(), &info) != 0)
        return Fail(error, errno);
    return S_ISDIR(info.st_mode) || Fail(error, ENOTDIR);
}
