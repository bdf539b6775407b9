// Writers never replace what is not a regular file, and the settings are
// read only from one of bounded size.
#include "FileTarget.h"
#include "Settings.h"
#include "TestFile.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/types.h>

namespace {

enum class Kind { Missing, Regular, Folder, Fifo, LinkToFifo, LinkToFile, LinkToNothing };

// Makes `path` the kind of target asked for.
bool Make(const QString& folder, const QString& path, Kind kind) {
    const QByteArray native = QFile::encodeName(path);
    switch (kind) {
    case Kind::Missing:
        return true;
    case Kind::Regular: {
        QFile file(path);
        return file.open(QIODevice::WriteOnly) && file.write("old") == 3;
    }
    case Kind::Folder:
        return QDir().mkdir(path);
    case Kind::Fifo:
        return mkfifo(native.constData(), 0600) == 0;
    case Kind::LinkToFifo:
        return mkfifo(QFile::encodeName(folder + "/fifo").constData(), 0600) == 0 &&
               QFile::link(folder + "/fifo", path);
    case Kind::LinkToNothing:
        return QFile::link(folder + "/nowhere", path);
    case Kind::LinkToFile: {
        QFile file(folder + "/real");
        return file.open(QIODevice::WriteOnly) && file.write("old") == 3 &&
               QFile::link(folder + "/real", path);
    }
    }
    return false;
}

TEST(FileTarget, OnlyRegularFilesAreReplaced) {
    struct Case {
        Kind kind;
        bool written;
        const char* said; // in the reason
    };
    const Case cases[] = {
        {Kind::Missing, true, ""},
        {Kind::Regular, true, ""},
        {Kind::LinkToFile, true, ""},
        {Kind::Folder, false, "is a folder"},
        {Kind::Fifo, false, "not a regular file"},
        {Kind::LinkToFifo, false, "not a regular file"},
        // Not written through: where it points may be anywhere.
        {Kind::LinkToNothing, false, "link to nothing"},
    };
    TestRecord record;
    record.iAngle = 7;
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.kind));
        QTemporaryDir dir;
        const QString test = dir.filePath("t.cty");
        const QString ini = dir.filePath("SystemFile.ini");
        ASSERT_TRUE(Make(dir.path(), test, c.kind));
        QString error;
        EXPECT_EQ(CanWriteTarget(test, &error), c.written);
        EXPECT_EQ(WriteTestFile(test, record, &error), c.written);
        EXPECT_TRUE(error.contains(QLatin1String(c.said))) << error.toStdString();
        EXPECT_EQ(QFileInfo(test).isFile(), c.written);
        if (c.written) {
            EXPECT_EQ(QFileInfo(test).size(), kTestFileSize);
        }
        QDir(dir.path()).remove("fifo");
        QDir(dir.path()).remove("real");
        ASSERT_TRUE(Make(dir.path(), ini, c.kind));
        EXPECT_EQ(WriteSettingsFile(ini, SystemSettings(), &error), c.written);
        const QFileInfo after(c.kind == Kind::LinkToFifo ? dir.filePath("fifo") : ini);
        if (c.written) {
            EXPECT_TRUE(after.isFile());
        } else {
            EXPECT_FALSE(after.isFile()) << "replaced by a file";
            if (c.kind == Kind::LinkToNothing) {
                EXPECT_TRUE(after.isSymLink()) << "the link stays";
                EXPECT_FALSE(QFileInfo::exists(dir.filePath("nowhere")));
            } else {
                EXPECT_TRUE(after.exists());
            }
        }
    }
    // Nothing left beside the targets by the trial writes.
    QTemporaryDir dir;
    EXPECT_TRUE(CanWriteTarget(dir.filePath("new.cty")));
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
    QString error;
    EXPECT_FALSE(CanWriteTarget(dir.filePath("no/such/folder/x.cty"), &error));
    EXPECT_FALSE(error.isEmpty());
}

TEST(FileTarget, SettingsComeOnlyFromASmallRegularFile) {
    QTemporaryDir dir;
    const QString fifo = dir.filePath("fifo.ini");
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    QFile large(dir.filePath("large.ini"));
    ASSERT_TRUE(large.open(QIODevice::WriteOnly));
    large.write("[SetParam]\r\niTestStep=9\r\n");
    large.write(QByteArray(kMaxSettingsFileSize, ' '));
    large.close();
    QFile small(dir.filePath("small.ini"));
    ASSERT_TRUE(small.open(QIODevice::WriteOnly));
    small.write("[SetParam]\r\niTestStep=9\r\n");
    small.close();
    const SystemSettings defaults;
    QElapsedTimer clock;
    clock.start();
    // A FIFO would block, /dev/zero never end: both read as no file.
    for (const QString& path : {fifo, QString("/dev/zero"), large.fileName(), dir.path()})
        EXPECT_EQ(ReadSettingsFile(path).params.iTestStep, defaults.params.iTestStep)
            << path.toStdString();
    EXPECT_LT(clock.elapsed(), 2000);
    EXPECT_EQ(ReadSettingsFile(small.fileName()).params.iTestStep, 9);
}

} // namespace
