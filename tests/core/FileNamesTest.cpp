// File names that are not UTF-8 keep their bytes from the command line to
// the system, and what is printed of them cannot drive a terminal.
#include "FileNames.h"
#include "FileTarget.h"
#include "NativeFile.h"
#include "TestFile.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The bytes of "测试" in GBK, as an old Windows machine names a file.
const QByteArray kGbkName = "\xB2\xE2\xCA\xD4";

// UTF-16 code units as they stand, lone surrogates included.
QString Units(std::u16string_view units) {
    return QString(reinterpret_cast<const QChar*>(units.data()), qsizetype(units.size()));
}

// A temporary folder that may hold names Qt cannot spell, removed by bytes.
struct NativeTempDir {
    QTemporaryDir dir;
    QByteArray path = QFile::encodeName(dir.path());
    ~NativeTempDir() { std::filesystem::remove_all(path.toStdString()); }
};

int EntriesIn(const QByteArray& folder) {
    int n = 0;
    for ([[maybe_unused]] const auto& entry :
         std::filesystem::directory_iterator(folder.toStdString()))
        ++n;
    return n;
}

QByteArray BytesIn(const QByteArray& nativePath) {
    QByteArray bytes;
    const int fd = ::open(nativePath.constData(), O_RDONLY);
    if (fd < 0)
        return "<missing>";
    char buffer[65536];
    for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) > 0;)
        bytes.append(buffer, n);
    ::close(fd);
    return bytes;
}

TEST(FileNames, EveryByteSequenceComesBackAsItWas) {
    struct Case {
        const char* what;
        QByteArray native;
        QString decoded; // empty: only the round trip is checked
    };
    const Case cases[] = {
        {"ASCII", "a b.cty", QStringLiteral("a b.cty")},
        {"UTF-8 Chinese", "\xE6\xB5\x8B\xE8\xAF\x95.cty", QStringLiteral("测试.cty")},
        {"four bytes", "\xF0\x9F\x98\x80", QString::fromUcs4(U"\U0001F600")},
        {"GBK", kGbkName + ".cty", Units(u"\xDCB2\xDCE2\xDCCA\xDCD4.cty")},
        {"overlong slash", "\xC0\xAF", Units(u"\xDCC0\xDCAF")},
        {"overlong three bytes", "\xE0\x80\xAF", Units(u"\xDCE0\xDC80\xDCAF")},
        {"encoded surrogate", "\xED\xB2\x80", Units(u"\xDCED\xDCB2\xDC80")},
        {"past U+10FFFF", "\xF4\x90\x80\x80", Units(u"\xDCF4\xDC90\xDC80\xDC80")},
        {"cut short", "a\xE6\xB5", Units(u"a\xDCE6\xDCB5")},
        {"lone continuation", "\x80z", Units(u"\xDC80z")},
        {"four bytes then a kept byte", "\xF0\x9F\x92\x80\xB2", {}},
        {"every byte", {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QByteArray native = c.native;
        if (native.isEmpty())
            for (int b = 1; b < 256; ++b)
                native += char(b);
        const QString name = FileNameFromNative(native);
        if (!c.decoded.isEmpty()) {
            EXPECT_EQ(name, c.decoded);
        }
        EXPECT_EQ(NativeFileName(name), native);
    }
    // A text that never was a name: UTF-8 as always, half a pair as '?'.
    EXPECT_EQ(NativeFileName(u"测"), QByteArray("\xE6\xB5\x8B"));
    EXPECT_EQ(NativeFileName(Units(u"\xD800x")), QByteArray("?x"));
}

TEST(FileNames, VisibleTextShowsControlsAndKeptBytes) {
    const struct {
        QString text;
        QString shown;
    } cases[] = {
        {QStringLiteral("测试 x"), QStringLiteral("测试 x")},
        {Units(u"a\x1B[2J\r\x7F\x85"), QStringLiteral("a\\x1B[2J\\x0D\\x7F\\x85")},
        {FileNameFromNative(kGbkName + ".cty"), QStringLiteral("\\xB2\\xE2\\xCA\\xD4.cty")},
        // U+1F480 is the pair D83D DC80: its second half is no kept byte.
        {QString::fromUcs4(U"\U0001F480"), QString::fromUcs4(U"\U0001F480")},
        {Units(u"\u3000"), Units(u"\u3000")},
    };
    for (const auto& c : cases)
        EXPECT_EQ(VisibleText(c.text), c.shown) << c.text.toStdString();
}

TEST(NativeFile, ANameThatIsNotUtf8IsWrittenReadAndReplaced) {
    NativeTempDir dir;
    const QByteArray folder = dir.path + '/' + kGbkName;
    const QString name = FileNameFromNative(folder + "/sub/" + kGbkName + ".cty");
    QString error;
    ASSERT_TRUE(MakeFolders(FileNameFromNative(folder + "/sub"), &error)) << error.toStdString();
    EXPECT_EQ(KindOf(FileNameFromNative(folder)), FileKind::Folder);

    TestRecord record;
    record.iAngle = 7;
    ASSERT_TRUE(WriteTestFile(name, record, &error)) << error.toStdString();
    EXPECT_EQ(BytesIn(NativeFileName(name)), EncodeTestFile(record));
    // The file keeps its mode when replaced.
    ASSERT_EQ(::chmod(NativeFileName(name).constData(), 0604), 0);
    record.iAngle = 9;
    ASSERT_TRUE(WriteTestFile(name, record, &error));
    struct stat info;
    ASSERT_EQ(::stat(NativeFileName(name).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0604u);
    TestRecord read;
    ASSERT_EQ(LoadTestFile(name, read), TestFileError::None);
    EXPECT_EQ(read.iAngle, 9);
    EXPECT_EQ(EntriesIn(folder + "/sub"), 1) << "nothing is left beside the file";

    // Through a link the file is replaced and the link stays.
    const QByteArray link = folder + "/link.cty";
    ASSERT_EQ(::symlink(NativeFileName(name).constData(), link.constData()), 0);
    record.iAngle = 11;
    ASSERT_TRUE(WriteTestFile(FileNameFromNative(link), record, &error)) << error.toStdString();
    struct stat linkInfo;
    ASSERT_EQ(::lstat(link.constData(), &linkInfo), 0);
    EXPECT_TRUE(S_ISLNK(linkInfo.st_mode));
    ASSERT_EQ(LoadTestFile(name, read), TestFileError::None);
    EXPECT_EQ(read.iAngle, 11);
}

TEST(NativeFile, OnlyARegularFileIsOpened) {
    NativeTempDir dir;
    const QByteArray base = dir.path + '/';
    ASSERT_EQ(::mkfifo(base + "fifo", 0600), 0);
    ASSERT_EQ(::symlink(base + "nowhere", base + "dangling"), 0);
    ASSERT_TRUE(WriteWholeFile(FileNameFromNative(base + kGbkName), "abc"));
    const struct {
        QByteArray path;
        FileKind kind;
        bool occupied;
    } cases[] = {
        {base + kGbkName, FileKind::Regular, true},
        {base + "fifo", FileKind::Other, true},
        {"/dev/zero", FileKind::Other, true},
        {base, FileKind::Folder, true},
        {base + "dangling", FileKind::Missing, true},
        {base + "none", FileKind::Missing, false},
        {base + kGbkName + "/below", FileKind::Missing, false},
    };
    QElapsedTimer clock;
    clock.start();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        const QString path = FileNameFromNative(c.path);
        QFile file;
        QString error;
        EXPECT_EQ(OpenToRead(path, file, &error), c.kind);
        EXPECT_EQ(KindOf(path), c.kind);
        EXPECT_EQ(Occupied(path), c.occupied);
        EXPECT_EQ(file.isOpen(), c.kind == FileKind::Regular) << error.toStdString();
        if (file.isOpen()) {
            EXPECT_EQ(file.readAll(), "abc");
        }
    }
    EXPECT_LT(clock.elapsed(), 2000); // the FIFO did not block

    // A file in the way of a folder; a folder made twice is fine.
    QString error;
    EXPECT_FALSE(MakeFolders(FileNameFromNative(base + kGbkName + "/x"), &error));
    EXPECT_EQ(error, SystemReason(ENOTDIR));
    EXPECT_TRUE(MakeFolders(FileNameFromNative(base + "a/b/"), &error));
    EXPECT_TRUE(MakeFolders(FileNameFromNative(base + "a/b"), &error));
    EXPECT_FALSE(WriteWholeFile(FileNameFromNative(base + "none/t.cty"), "x", &error));
    EXPECT_EQ(error, SystemReason(ENOENT));
}

} // namespace
