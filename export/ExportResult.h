#pragma once

#include <QString>

// How a write of an export file ended; `detail` says why in words a
// command line can print.
struct ExportResult {
    enum Code { Ok, CannotWrite, TemplateMismatch };
    Code code = Ok;
    QString detail;

    static ExportResult Failed(Code code, QString detail) { return {code, std::move(detail)}; }
    bool ok() const { return code == Ok; }
};

// The export file at `path` could not be written, for the reason `why`.
inline ExportResult WriteFailure(const QString& path, const QString& why) {
    return ExportResult::Failed(ExportResult::CannotWrite, QStringLiteral("%1: %2").arg(path, why));
}
