#include "StagedFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <filesystem>
#include <system_error>

namespace {

std::filesystem::path FsPath(const QString& path) {
    return std::filesystem::path(QDir::toNativeSeparators(path).toStdU16String());
}

} // namespace

StagedFile::StagedFile(const QString& target) : target_(target) {
    // A link is followed: the file it names is replaced, the link stays.
    const QFileInfo info(target);
    if (info.isSymLink())
        target_ = info.symLinkTarget();
}

StagedFile::~StagedFile() {
    if (!committed_ && !temp_.isEmpty())
        QFile::remove(temp_);
}

ExportResult StagedFile::Prepare() {
    const QFileInfo info(target_);
    if (info.exists() && !info.isFile())
        return ExportResult::Failed(ExportResult::CannotWrite,
                                    QStringLiteral("%1: exists and is not a regular file")
                                        .arg(QDir::toNativeSeparators(target_)));
    QTemporaryFile temp(
        info.absoluteDir().filePath(QStringLiteral(".%1.XXXXXX").arg(info.fileName())));
    temp.setAutoRemove(false);
    if (!temp.open())
        return ExportResult::Failed(
            ExportResult::CannotWrite,
            QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(target_), temp.errorString()));
    temp_ = temp.fileName();
    return {};
}

ExportResult StagedFile::Commit() {
    // The temporary file was made owner-only; the export is an ordinary file.
    QFile::setPermissions(temp_, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                                     QFile::ReadOther);
    std::error_code error;
    std::filesystem::rename(FsPath(temp_), FsPath(target_), error);
    if (error)
        return ExportResult::Failed(
            ExportResult::CannotWrite,
            QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(target_),
                                         QString::fromLocal8Bit(error.message())));
    committed_ = true;
    return {};
}
