#include "DeviceCommands.h"

#include "ArchivePath.h"
#include "BaudRate.h"
#include "FileTarget.h"
#include "Helpers.h"
#include "IdentifyTester.h"
#include "KeptTests.h"
#include "NativeFile.h"
#include "ProgramFolder.h"
#include "Responses.h"
#include "SiBridge.h"
#include "StoredTestUpload.h"
#include "TerminalText.h"
#include "TestFile.h"
#include "UCommUnit.h"
#include "UDataCenter.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <algorithm>

namespace {

const char kPhaseNames[][8] = {"header", "phase A", "phase B", "phase C"};

QString LinkText(const Tester& tester) {
    if (tester.OverUsb())
        return QStringLiteral("USB");
    return QStringLiteral("COM%1 at %2 bit/s")
        .arg(std::clamp(tester.Comm().port & 0xFF, 1, 16))
        .arg(BaudFromIndex(quint32(tester.Comm().baudIndex)));
}

// Why the last exchange failed, as far as the link can tell.
QString FailureText(const Tester& tester) {
    if (tester.OverUsb()) {
        if (BridgeLibraryFile().isEmpty())
            return QStringLiteral("the USB bridge library %1 was not found")
                .arg(BridgeLibraryName());
        if (quint32 count = 0; BridgeApi().GetNumDevices(&count) != kSiSuccess || count == 0)
            return QStringLiteral("no USB device is connected");
        return QStringLiteral("no complete answer over USB");
    }
    switch (tester.State().LinkError) {
    case kLinkNoPort:
    case kLinkOpenFailed:
        return QStringLiteral("the port could not be opened");
    case kLinkWriteFailed:
        return QStringLiteral("the request could not be sent");
    default:
        return QStringLiteral("no complete answer");
    }
}

} // namespace

int LinkFailed(std::FILE* err, const Tester& tester, const QString& what) {
    Print(err, QCoreApplication::translate("DeviceCommands", "oltc-cli: 通讯失败！ %1: %2 (%3)\n")
                   .arg(what, FailureText(tester), LinkText(tester)));
    return kExitLinkFailed;
}

namespace {

int Identify(Tester& tester, std::FILE* out, std::FILE* err) {
    const auto identity = IdentifyTester(tester);
    if (!identity)
        return LinkFailed(err, tester,
                          tester.OverUsb() ? QStringLiteral("reading the USB device string")
                                           : QStringLiteral("identify"));
    Print(out, QStringLiteral("%1\t%2\n").arg(identity->code).arg(identity->text));
    return kExitOk;
}

// The number of stored tests the tester offers, at most 100.
bool ListedCount(Tester& tester, std::FILE* err, int& listed) {
    const std::optional<StoredCount> count = ReadStoredCount(tester);
    if (!count)
        return false;
    listed = count->listed;
    if (count->held > listed)
        Print(err, QStringLiteral("oltc-cli: the tester holds %1 tests; only the first %2 are "
                                  "reachable\n")
                       .arg(count->held)
                       .arg(listed));
    return true;
}

int History(Tester& tester, std::FILE* out, std::FILE* err) {
    int listed = 0;
    if (!ListedCount(tester, err, listed))
        return LinkFailed(err, tester, QStringLiteral("the number of stored tests"));
    for (int k = 1; k <= listed; ++k) {
        const std::optional<HistoryEntry> entry = ReadStoredEntry(tester, k);
        if (!entry)
            return LinkFailed(err, tester,
                              QStringLiteral("stored test %1 of %2").arg(k).arg(listed));
        Print(out, QStringLiteral("%1\t%2\t%3\n").arg(k).arg(StepText(entry->step), entry->time));
    }
    return kExitOk;
}

// A record as the tester fills it: what it does not send keeps the settings
// file's values, the rotation is 0.
TestRecord BlankRecord() {
    TestRecord record;
    record.params = UDataCenter().settings.params;
    record.strTestUser = UDataCenter().settings.strTestUser;
    record.strTestAdd = UDataCenter().settings.strTestAdd;
    return record;
}

// Uploads stored test k with a progress line; the stamp of its header goes
// to `stamp`.
bool FetchOne(Tester& tester, int k, const QString& label, TestRecord& record, QByteArray& stamp,
              std::FILE* err, int& failedBlock) {
    Print(err, QStringLiteral("\r%1: %2 ").arg(label, kPhaseNames[0]));
    const auto progress = [&](int block, QByteArrayView response) {
        if (block == 0)
            stamp = response.sliced(3, kStampSize).toByteArray();
        Print(err, block < 3 ? QStringLiteral("\r%1: %2 ").arg(label, kPhaseNames[block + 1])
                             : QStringLiteral("\r%1: done    \n").arg(label));
    };
    StoredTestUpload upload(tester, k, record);
    if (upload.Run(progress))
        return true;
    failedBlock = upload.Block();
    Print(err, QStringLiteral("\n"));
    return false;
}

int FetchTo(Tester& tester, const DeviceOptions& options, std::FILE* err) {
    if (QString why; !CanWriteTarget(options.output, &why)) {
        Print(
            err,
            QStringLiteral("oltc-cli fetch: %1 cannot be written: %2\n").arg(options.output, why));
        return kExitFailed;
    }
    int listed = 0;
    if (!ListedCount(tester, err, listed))
        return LinkFailed(err, tester, QStringLiteral("the number of stored tests"));
    if (options.entry > listed) {
        Print(err, QStringLiteral("oltc-cli fetch: no stored test %1; the tester offers %2\n")
                       .arg(options.entry)
                       .arg(listed));
        return kExitFailed;
    }
    TestRecord record = BlankRecord();
    QByteArray stamp;
    int failedBlock = 0;
    const QString label = QStringLiteral("fetch %1").arg(options.entry);
    if (!FetchOne(tester, options.entry, label, record, stamp, err, failedBlock))
        return LinkFailed(err, tester,
                          QStringLiteral("%1 of stored test %2")
                              .arg(kPhaseNames[failedBlock])
                              .arg(options.entry));
    QString error;
    if (!WriteTestFile(options.output, record, &error)) {
        Print(err, QStringLiteral("oltc-cli fetch: %1 could not be written: %2\n")
                       .arg(options.output, error));
        return kExitFailed;
    }
    KeptTests(options, err).Keep(record, TestSource::Fetch, options.output);
    return kExitOk;
}

int FetchAll(Tester& tester, const DeviceOptions& options, std::FILE* out, std::FILE* err) {
    if (QString why; !MakeFolders(options.folder, &why)) {
        Print(err, QStringLiteral("oltc-cli fetch: folder %1 could not be made: %2\n")
                       .arg(options.folder, why));
        return kExitFailed;
    }
    int listed = 0;
    if (!ListedCount(tester, err, listed))
        return LinkFailed(err, tester, QStringLiteral("the number of stored tests"));
    KeptTests kept(options, err);
    for (int k = 1; k <= listed; ++k) {
        TestRecord record = BlankRecord();
        QByteArray stamp;
        int failedBlock = 0;
        const QString label = QStringLiteral("fetch %1/%2").arg(k).arg(listed);
        if (!FetchOne(tester, k, label, record, stamp, err, failedBlock))
            return LinkFailed(
                err, tester,
                QStringLiteral("%1 of stored test %2").arg(kPhaseNames[failedBlock]).arg(k));
        const QByteArray content = EncodeTestFile(record);
        // The free name is claimed: another run into the folder takes the next.
        ClaimedName claim;
        QString error;
        const ArchiveTarget target =
            ArchivePath(options.folder, StampFileText(stamp), content, &claim, &error);
        if (target.path.isEmpty()) {
            Print(err, QStringLiteral("oltc-cli fetch: no name can be taken in %1: %2\n")
                           .arg(PrintedName(options.folder, IsTerminal(err)), error));
            return kExitFailed;
        }
        const QString shownPath = PrintedName(target.path, IsTerminal(out));
        if (target.alreadyThere) {
            kept.Keep(content, TestSource::Fetch, target.path);
            Print(out, QStringLiteral("%1\t%2\t(already there)\n").arg(k).arg(shownPath));
            continue;
        }
        if (!WriteTestFile(target.path, record, &error)) {
            Print(err, QStringLiteral("oltc-cli fetch: %1 could not be written: %2\n")
                           .arg(PrintedName(target.path, IsTerminal(err)), error));
            return kExitFailed;
        }
        claim.Keep();
        kept.Keep(content, TestSource::Fetch, target.path);
        Print(out, QStringLiteral("%1\t%2\n").arg(k).arg(shownPath));
    }
    return kExitOk;
}

} // namespace

int RunDeviceCommand(const DeviceOptions& options, std::FILE* out, std::FILE* err) {
    LoadSettings(SettingsPath());
    ApplyLinkOptions(options, UDataCenter().settings);
    Tester tester(CommSettingsOf(UDataCenter().settings));
    if (options.command == u"identify")
        return Identify(tester, out, err);
    if (options.command == u"history")
        return History(tester, out, err);
    return options.all ? FetchAll(tester, options, out, err) : FetchTo(tester, options, err);
}
