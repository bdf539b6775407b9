#pragma once

// What every workbook the program writes shares: the writer kept to its
// folder and its results checked, and the written file checked whole.
#include "ExportResult.h"
#include "FileNames.h"
#include "NativeFile.h"

#include <QByteArray>
#include <QString>
#include <cerrno>
#include <functional>
#include <xlsxwriter.h>

class Book {
public:
    // The writer keeps its parts in temporary files until the close: in
    // `tmpdir`, beside the target, so that they share its disk and a full
    // one fails the write instead of cutting a part short.
    Book(const QString& path, const QString& tmpdir) : tmpdir_(NativeFileName(tmpdir)) {
        const QByteArray native = NativeFileName(path);
        lxw_workbook_options options{};
        options.tmpdir = tmpdir_.data();
        book_ = workbook_new_opt(native.constData(), &options);
    }
    ~Book() {
        if (book_ && !closed_)
            workbook_close(book_);
    }
    lxw_workbook* get() const { return book_; }
    // The first failure of anything written, kept for the end.
    void Check(lxw_error error) {
        if (error != LXW_NO_ERROR && first_ == LXW_NO_ERROR) {
            first_ = error;
            errno_ = errno;
        }
    }
    void Check(const void* made) {
        if (!made)
            Check(LXW_ERROR_MEMORY_MALLOC_FAILED);
    }
    // The close, or the first failure before it; `why` in words.
    bool Close(QString* why) {
        closed_ = true;
        errno = 0;
        const lxw_error close = workbook_close(book_);
        Check(close);
        if (first_ == LXW_NO_ERROR)
            return true;
        *why = QString::fromUtf8(lxw_strerror(first_));
        // The writer's own words do not say what the system refused.
        if (errno_ != 0)
            *why += QStringLiteral(": ") + SystemReason(errno_);
        return false;
    }

private:
    QByteArray tmpdir_;
    lxw_workbook* book_ = nullptr;
    lxw_error first_ = LXW_NO_ERROR;
    int errno_ = 0;
    bool closed_ = false;
};

// Whether every part of the written workbook unpacks whole and is
// well-formed XML.
bool WholeWorkbook(const QString& path, QString* why);

// Why a write into `folder` failed, when the system can tell (a full disk,
// a file-size limit); empty when it cannot.
QString FolderReason(const QString& folder);

// A workbook written through a temporary file beside `path`, put in place
// only when whole: `fill` adds the sheets (false when one cannot be made);
// a failure names the system's reason when there is one.
ExportResult WriteBook(const QString& path, const std::function<bool(Book& book)>& fill);
