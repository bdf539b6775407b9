#pragma once

#include "Archive.h"
#include "DeviceOptions.h"
#include "ShownTest.h"

#include <cstdio>
#include <memory>

// Where fetch and live keep what they bring in: the archive --archive names,
// else the program folder's, none with --no-archive. Keeping never fails
// the command: a failure is said once on `err`.
class KeptTests {
public:
    KeptTests(const DeviceOptions& options, std::FILE* err);
    ~KeptTests();
    void Keep(const QByteArray& bytes, TestSource source, const QString& path);
    void Keep(const TestRecord& record, TestSource source, const QString& path);

private:
    bool Ready();
    void Said(const AddResult& added);

    QString where_;
    std::FILE* err_;
    std::unique_ptr<Archive> archive_;
    bool failed_ = false;
};

// What the program folder's archive says the test in `path` is of (the
// device and the report number), when it is there and knows the test.
void AddArchiveNotes(ShownTest& shown, const QString& path);
