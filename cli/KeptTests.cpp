#include "KeptTests.h"

#include "ArchiveLocation.h"
#include "NativeFile.h"
#include "ProgramFolder.h"
#include "TerminalText.h"
#include "TestBody.h"
#include "TestFile.h"

#include <QFile>
#include <QFileInfo>

KeptTests::KeptTests(const DeviceOptions& options, std::FILE* err)
    : where_(options.noArchive            ? QString()
             : !options.archive.isEmpty() ? options.archive
                                          : DefaultArchiveFile(ProgramFolder())),
      err_(err) {}

KeptTests::~KeptTests() = default;

bool KeptTests::Ready() {
    if (archive_)
        return true;
    if (where_.isEmpty() || failed_)
        return false;
    QString why;
    const auto location = ParseArchiveLocation(where_, &why);
    if (location)
        archive_ = Archive::Open(*location, &why);
    if (!archive_) {
        failed_ = true;
        Print(err_,
              QStringLiteral("oltc-cli: the archive %1 cannot be used, nothing is kept "
                             "in it: %2\n")
                  .arg(PrintedName(location ? location->Shown() : where_, IsTerminal(err_)), why));
    }
    return bool(archive_);
}

void KeptTests::Keep(const TestRecord& record, TestSource source, const QString& path) {
    if (Ready())
        Said(archive_->Add(record, source,
                           path.isEmpty() ? path : QFileInfo(path).absoluteFilePath()));
}

void KeptTests::Keep(const QByteArray& bytes, TestSource source, const QString& path) {
    if (Ready())
        Said(archive_->Add(bytes, source,
                           path.isEmpty() ? path : QFileInfo(path).absoluteFilePath()));
}

void KeptTests::Said(const AddResult& added) {
    if (added.outcome == AddOutcome::Failed && !failed_) {
        failed_ = true;
        Print(err_,
              QStringLiteral("oltc-cli: the test is not kept in the archive %1: %2\n")
                  .arg(PrintedName(archive_->Location().Shown(), IsTerminal(err_)), added.why));
    }
}

void AddArchiveNotes(ShownTest& shown, const QString& path) {
    // Looked up only: an export never makes an archive.
    static const std::unique_ptr<Archive> archive = [] {
        const QString file = DefaultArchiveFile(ProgramFolder());
        return QFileInfo::exists(file) ? Archive::Open(*ParseArchiveLocation(file)) : nullptr;
    }();
    QFile test;
    if (!archive || OpenToRead(path, test) != FileKind::Regular)
        return;
    if (const auto note = archive->LatestAnnotation(TestId(test.read(kTestFileSize)))) {
        shown.device = note->device;
        shown.report = note->report;
    }
}
