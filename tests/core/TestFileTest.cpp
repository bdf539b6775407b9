#include "TestFile.h"
#include "Message.h"
#include "NativeFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>

namespace {

TestRecord SampleRecord() {
    TestRecord r;
    r.params = {1, 1, 17, 3, 19, 1, 25, 12};
    r.strTestTime.Set("2010-12-21 08:05:03");
    r.strTestUser.Set("Wang");
    r.strTestAdd.Set(QByteArray("\xD6\xD0\xB9\xFA", 4)); // two GBK characters
    for (int k = 0; k < kWaveSlots; ++k) {
        r.WaveA[k] = k + 1;
        r.WaveB[k] = -(k + 1);
        r.WaveC[k] = 100000 + k;
    }
    r.iLoops = 2;
    r.iAngle = -5;
    return r;
}

qint32 IntAt(const QByteArray& bytes, qsizetype offset) {
    return qFromLittleEndian<qint32>(bytes.constData() + offset);
}

QByteArray ReadAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void WriteAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

struct MessageLog {
    MessageLog() {
        previous = SetMessageSink([this](const QString& text, MsgIcon icon) {
            texts << text;
            icons.push_back(icon);
        });
    }
    ~MessageLog() { SetMessageSink(previous); }
    QStringList texts;
    std::vector<MsgIcon> icons;
    MessageSink previous;
};

} // namespace

TEST(TestFile, LayoutPutsEveryFieldAtItsOffset) {
    const QByteArray bytes = EncodeTestFile(SampleRecord());
    ASSERT_EQ(bytes.size(), 32356);
    const std::pair<qsizetype, int> byteFields[] = {
        {0, 1},    {1, 1},    {2, 17},   {3, 3},  {4, 19},    {5, 1},     {6, 0},
        {7, 0},    {16, 19},  {36, 4},   {57, 4}, {78, 0},    {79, 0},    {17, '2'},
        {35, '3'}, {37, 'W'}, {40, 'g'}, {41, 0}, {58, 0xD6}, {61, 0xFA}, {62, 0},
    };
    for (const auto& [offset, value] : byteFields)
        EXPECT_EQ(quint8(bytes[offset]), value) << "offset " << offset;
    const std::pair<qsizetype, qint32> intFields[] = {
        {8, 25},
        {12, 12},
        {80, 1},
        {80 + 2687 * 4, 2688},
        {80 + 2688 * 4, 2689}, // spare slot of A
        {10836, -1},
        {21592, 100000},
        {21592 + 2688 * 4, 102688},
        {32348, 2},
        {32352, -5},
    };
    for (const auto& [offset, value] : intFields)
        EXPECT_EQ(IntAt(bytes, offset), value) << "offset " << offset;
    EXPECT_EQ(bytes.mid(17, 19), "2010-12-21 08:05:03");
}

TEST(TestFile, WriteAndReadBackRestoreTheWholeRecord) {
    QTemporaryDir dir;
    const QString path = dir.filePath("a.cty");
    WriteAll(path, QByteArray(50000, 'x')); // a longer file is replaced, not overlaid
    const TestRecord original = SampleRecord();
    ASSERT_TRUE(WriteTestFile(path, original));
    EXPECT_EQ(QFileInfo(path).size(), 32356);

    TestRecord back;
    back.HasData = true;
    ASSERT_TRUE(ReadTestFile(path, back));
    EXPECT_TRUE(back.HasData) << "HasData is not part of the file";
    back.HasData = false;
    EXPECT_EQ(back, original);
}

TEST(TestFile, OnlyACompleteFileReplacesTheRecord) {
    QTemporaryDir dir;
    const QByteArray good = EncodeTestFile(SampleRecord());
    struct Case {
        const char* name;
        qsizetype size;
        TestFileError error;
    };
    for (const Case c :
         {Case{"empty", 0, TestFileError::Short}, Case{"header only", 80, TestFileError::Short},
          Case{"one byte short", 32355, TestFileError::Short},
          Case{"exact", 32356, TestFileError::None}, Case{"longer", 40000, TestFileError::None}}) {
        const QString path = dir.filePath(QString::fromLatin1(c.name));
        WriteAll(path, (good + QByteArray(10000, '\x7f')).left(c.size));
        TestRecord r;
        r.strTestUser.Set("kept");
        EXPECT_EQ(LoadTestFile(path, r), c.error) << c.name;
        if (c.error == TestFileError::None)
            EXPECT_EQ(r, SampleRecord()) << c.name;
        else
            EXPECT_EQ(r.strTestUser.Bytes(), "kept") << c.name;
    }
}

TEST(TestFile, LengthBytesBeyondTheFieldAreCut) {
    QByteArray bytes = EncodeTestFile(TestRecord{});
    std::fill(bytes.begin() + 17, bytes.begin() + 78, 'z');
    bytes[16] = char(200); // time: 19 at most
    bytes[36] = char(3);   // user: first three bytes
    bytes[57] = char(21);  // place: 20 at most
    TestRecord r;
    ASSERT_TRUE(DecodeTestFile(bytes, r));
    EXPECT_EQ(r.strTestTime.Bytes(), QByteArray(19, 'z'));
    EXPECT_EQ(r.strTestUser.Bytes(), "zzz");
    EXPECT_EQ(r.strTestAdd.Bytes(), QByteArray(20, 'z'));
}

TEST(TestFile, PathsThatAreNotFilesFailQuietly) {
    QTemporaryDir dir;
    MessageLog log;
    TestRecord r;
    EXPECT_EQ(LoadTestFile(dir.filePath("missing.cty"), r), TestFileError::Missing);
    EXPECT_EQ(LoadTestFile(dir.path(), r), TestFileError::NotAFile);
    EXPECT_FALSE(ReadTestFile(dir.path(), r));
    EXPECT_TRUE(log.texts.isEmpty());
}

TEST(TestFile, AReadErrorIsReported) {
    // Reading this file's first page fails with an I/O error.
    MessageLog log;
    TestRecord r;
    r.strTestUser.Set("kept");
    QString detail;
    EXPECT_EQ(LoadTestFile("/proc/self/mem", r, &detail), TestFileError::Unreadable);
    EXPECT_FALSE(detail.isEmpty());
    EXPECT_FALSE(ReadTestFile("/proc/self/mem", r));
    EXPECT_EQ(log.texts, QStringList{QStringLiteral("读数据文件出错！")});
    EXPECT_EQ(log.icons, std::vector<MsgIcon>{MsgIcon::Information});
    EXPECT_EQ(r.strTestUser.Bytes(), "kept");
}

TEST(TestFile, AFailedSaveLeavesThePreviousFileWhole) {
    QTemporaryDir dir;
    const QString path = dir.filePath("old.cty");
    const QByteArray old = EncodeTestFile(SampleRecord());
    WriteAll(path, old);

    // A file size limit below the record makes every write of it fail, as a full disk would.
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit tight = saved;
    tight.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &tight), 0);
    QString error;
    const bool written = WriteTestFile(path, TestRecord{}, &error);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_FALSE(written);
    EXPECT_EQ(error, SystemReason(EFBIG));
    EXPECT_EQ(ReadAll(path), old);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"old.cty"})
        << "no partial file is left behind";

    EXPECT_FALSE(WriteTestFile(dir.filePath("no/such/dir/x.cty"), TestRecord{}));
}
