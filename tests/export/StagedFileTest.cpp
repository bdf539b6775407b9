#include "Document.h"
#include "ReadBack.h"
#include "WaveformCsv.h"
#include "Workbook.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

using Writer = std::function<ExportResult(const QString& path)>;

struct Export {
    const char* name;
    Writer write;
};

std::vector<Export> Exports(const QImage& picture) {
    return {
        {"workbook", [=](const QString& p) { return WriteWorkbook(SampleShown(), picture, p); }},
        {"document",
         [=](const QString& p) {
             return WriteDocument(SampleShown(), picture, TemplatePath(), p);
         }},
        {"waveform", [](const QString& p) { return WriteWaveformCsv(SampleShown().record, p); }},
    };
}

QByteArray Contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// Takes away (or gives back) the right to add files to a folder: its mode
// bits, or for the superuser, who writes anywhere, the immutable flag.
bool LockFolder(const QString& folder, bool locked) {
    if (geteuid() != 0)
        return QFile::setPermissions(folder, locked ? QFile::ReadOwner | QFile::ExeOwner
                                                    : QFile::ReadOwner | QFile::WriteOwner |
                                                          QFile::ExeOwner);
    QProcess chattr;
    chattr.start(QStringLiteral("chattr"),
                 {locked ? QStringLiteral("+i") : QStringLiteral("-i"), folder});
    return chattr.waitForFinished(10000) && chattr.exitStatus() == QProcess::NormalExit &&
           chattr.exitCode() == 0;
}

} // namespace

TEST(StagedExports, ReplaceAFileOnlyWhenComplete) {
    for (const Export& e : Exports(SamplePicture())) {
        SCOPED_TRACE(e.name);
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("out"));
        WriteFile(path, "earlier");
        ASSERT_TRUE(e.write(path).ok());
        EXPECT_NE(Contents(path), "earlier");
        EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"out"});
        EXPECT_TRUE(QFileInfo(path).permissions() & QFile::ReadOther);

        // A folder of that name is never replaced.
        const QString dir = folder.filePath(QStringLiteral("dir"));
        ASSERT_TRUE(QDir().mkdir(dir));
        const ExportResult refused = e.write(dir);
        EXPECT_EQ(refused.code, ExportResult::CannotWrite);
        EXPECT_TRUE(refused.detail.contains(u"not a regular file")) << refused.detail.toStdString();
        EXPECT_TRUE(QFileInfo(dir).isDir());

        // No folder to write in.
        EXPECT_EQ(e.write(folder.filePath(QStringLiteral("none/out"))).code,
                  ExportResult::CannotWrite);
    }
}

TEST(StagedExports, AFailureLeavesTheEarlierFileWhole) {
    // Without a chart picture the workbook and the document fail at the end.
    for (const Export& e : Exports(QImage())) {
        if (std::string_view(e.name) == "waveform")
            continue;
        SCOPED_TRACE(e.name);
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("out"));
        WriteFile(path, "earlier");
        EXPECT_EQ(e.write(path).code, ExportResult::CannotWrite);
        EXPECT_EQ(Contents(path), "earlier");
        EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"out"});
    }
    // A folder that cannot be written.
    for (const Export& e : Exports(SamplePicture())) {
        SCOPED_TRACE(e.name);
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("out"));
        WriteFile(path, "earlier");
        if (!LockFolder(folder.path(), true))
            GTEST_SKIP() << "cannot make a folder unwritable here";
        const ExportResult result = e.write(path);
        LockFolder(folder.path(), false);
        EXPECT_EQ(result.code, ExportResult::CannotWrite);
        EXPECT_EQ(Contents(path), "earlier");
        EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"out"});
    }
}

TEST(StagedExports, WaveformCsvLines) {
    TestRecord record;
    record.WaveA[0] = 1;
    record.WaveB[0] = 12345;
    record.WaveC[kSampleCount - 1] = -7;
    const QList<QByteArray> lines = WaveformCsv(record).split('\n');
    ASSERT_EQ(lines.size(), kSampleCount + 2); // the header, the samples, the empty end
    EXPECT_EQ(lines[0], "index,time_ms,A_ohm,B_ohm,C_ohm");
    EXPECT_EQ(lines[1], "1,0.1,0.01,123.45,0.00");
    EXPECT_EQ(lines[kSampleCount], "2688,268.8,0.00,0.00,-0.07");
    EXPECT_EQ(lines.last(), "");
}
