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
