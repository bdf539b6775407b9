// What every writer relies on: XML texts within what XML 1.0 allows, names
// in a shared folder claimed once, and no trace left when a signal ends a
// write.
#include "FileTarget.h"
#include "UnfinishedFiles.h"
#include "XmlText.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

TEST(XmlText, DropsWhatXml10Forbids) {
    struct Case {
        QByteArray in, out;
    };
    const Case cases[] = {
        {"plain", "plain"},
        {"tab\tline\ncr\r", "tab\tline\ncr\r"},
        {"A\x0B"
         "B\x0C"
         "C\x1B[2J",
         "ABC[2J"},
        {QByteArray("nul\0here", 8), "nulhere"},
        {"\x7F\xC2\x85", "\x7F\xC2\x85"},                         // DEL and NEL are allowed
        {"\xE6\xB5\x8B\xE8\xAF\x95", "\xE6\xB5\x8B\xE8\xAF\x95"}, // 测试
        {"\xF0\x9F\x98\x80", "\xF0\x9F\x98\x80"},                 // beyond the BMP
        {"x\xEF\xBF\xBEy\xEF\xBF\xBFz", "xyz"},                   // U+FFFE, U+FFFF
        {"a\xED\xA0\x80"
         "b",
         "ab"}, // an encoded surrogate
        {"a\xC0\xAF"
         "b",
         "ab"}, // an overlong '/'
        {"a\xB2\xE2"
         "b",
         "ab"}, // GBK bytes, not UTF-8
        {"cut\xE6\xB5", "cut"},
        {"\xF4\x90\x80\x80", ""}, // above U+10FFFF
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.in.toHex().constData());
        EXPECT_EQ(XmlSafeUtf8(c.in), c.out);
        EXPECT_EQ(IsXmlSafeUtf8(c.in), c.in == c.out);
        EXPECT_TRUE(IsXmlSafeUtf8(XmlSafeUtf8(c.in)));
    }
}

TEST(ClaimedName, EachWriterTakesAnotherNameAndAFailedOneGivesItBack) {
    QTemporaryDir dir;
    QFile taken(dir.filePath("r.pdf"));
    ASSERT_TRUE(taken.open(QIODevice::WriteOnly));
    taken.close();
    QDir(dir.path()).mkdir("r (3).pdf");
    ASSERT_TRUE(QFile::link(dir.filePath("nowhere"), dir.filePath("r (4).pdf")));
    {
        ClaimedName first, second;
        ASSERT_TRUE(first.Claim(dir.path(), "r", "pdf"));
        ASSERT_TRUE(second.Claim(dir.path(), "r", "pdf"));
        EXPECT_EQ(first.Path(), dir.filePath("r (2).pdf"));
        EXPECT_EQ(second.Path(), dir.filePath("r (5).pdf")) << "past a folder and a link";
        EXPECT_TRUE(QFileInfo(first.Path()).isFile()) << "held while it is written";
        ASSERT_TRUE(WriteWholeFile(first.Path(), "done"));
        first.Keep();
    }
    EXPECT_TRUE(QFileInfo::exists(dir.filePath("r (2).pdf")));
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("r (5).pdf"))) << "given back";
    QString why;
    ClaimedName none;
    EXPECT_FALSE(none.Claim(dir.filePath("no/such"), "r", "pdf", &why));
    EXPECT_FALSE(why.isEmpty());
}

// A child that begins a staged write into a claimed name and is then ended
// by the signal: nothing of it stays, and it ends by that signal.
TEST(UnfinishedFiles, ASignalRemovesThemAndStillEndsTheProgram) {
    for (const int signal : {SIGTERM, SIGINT}) {
        SCOPED_TRACE(signal);
        QTemporaryDir dir;
        const QString earlier = dir.filePath("kept.xlsx");
        ASSERT_TRUE(WriteWholeFile(earlier, "earlier"));
        int ready[2];
        ASSERT_EQ(::pipe(ready), 0);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            RemoveUnfinishedOnSignals();
            ClaimedName claim;
            StagedFile staged(earlier);
            const bool begun = claim.Claim(dir.path(), "r", "pdf") && staged.Prepare() &&
                               staged.Write("half") && ::write(ready[1], "x", 1) == 1;
            if (!begun)
                ::_exit(3);
            ::pause();
            ::_exit(4);
        }
        ::close(ready[1]);
        char x = 0;
        ASSERT_EQ(::read(ready[0], &x, 1), 1);
        ::close(ready[0]);
        ASSERT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 3)
            << "the earlier file, the claim and the staged file";
        ::kill(child, signal);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << status;
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"kept.xlsx"});
        QFile kept(earlier);
        ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
        EXPECT_EQ(kept.readAll(), "earlier");
    }
}
