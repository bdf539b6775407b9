#include "FileSet.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QByteArray Contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(none)");
}

void Put(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

} // namespace

// A set is put in place whole; a rename that fails on the way puts back
// every file as it was, also where there was none.
TEST(StagedSet, AllOrNothing) {
    struct Case {
        const char* name;
        std::vector<const char*> before; // per member; nullptr: nothing there
        int blocked;                     // member made a full folder before commit, or -1
        bool written;
    };
    const Case cases[] = {
        {"new set", {nullptr, nullptr, nullptr}, -1, true},
        {"over an old set", {"o0", "o1", "o2"}, -1, true},
        {"last fails over an old set", {"o0", "o1", "o2"}, 2, false},
        {"middle fails, first new", {nullptr, "o1", "o2"}, 1, false},
        {"last fails, the others new", {nullptr, nullptr, "o2"}, 2, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const QStringList targets{dir.filePath("r.cfg"), dir.filePath("r.dat"),
                                  dir.filePath("r.hdr")};
        for (int i = 0; i < 3; ++i)
            if (c.before[i])
                Put(targets[i], c.before[i]);
        QString error;
        {
            StagedSet set(targets);
            ASSERT_TRUE(set.Prepare());
            for (int i = 0; i < 3; ++i)
                ASSERT_TRUE(set.Write(i, "new" + QByteArray::number(i)));
            if (c.blocked >= 0) {
                QFile::remove(targets[c.blocked]);
                QDir().mkpath(targets[c.blocked] + "/full");
            }
            EXPECT_EQ(set.Commit(&error), c.written) << error.toStdString();
        }
        for (int i = 0; i < 3; ++i) {
            if (i == c.blocked)
                continue;
            const QByteArray want = c.written     ? "new" + QByteArray::number(i)
                                    : c.before[i] ? QByteArray(c.before[i])
                                                  : QByteArray("(none)");
            EXPECT_EQ(Contents(targets[i]), want) << i;
        }
        if (!c.written) {
            EXPECT_TRUE(error.startsWith(targets[c.blocked])) << error.toStdString();
        }
        // No staged file and no kept old one is left.
        EXPECT_EQ(QDir(dir.path()).entryList({".*"}, QDir::Hidden | QDir::Files), QStringList{});
    }
}

TEST(StagedSet, ARefusedMemberStopsThePrepare) {
    QTemporaryDir dir;
    QDir().mkdir(dir.filePath("r.hdr"));
    QString error;
    {
        StagedSet set({dir.filePath("r.cfg"), dir.filePath("r.hdr")});
        EXPECT_FALSE(set.Prepare(&error));
    }
    EXPECT_TRUE(error.contains("r.hdr: is a folder")) << error.toStdString();
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Hidden | QDir::Files), QStringList{});
}

TEST(ClaimedNames, OneNumberForEveryName) {
    QTemporaryDir dir;
    Put(dir.filePath("a.dat"), "taken");
    Put(dir.filePath("a (3).cfg"), "taken");
    const QStringList extensions{"cfg", "dat", "hdr"};
    {
        ClaimedNames first, second;
        ASSERT_TRUE(first.Claim(dir.path(), "a", extensions));
        ASSERT_TRUE(second.Claim(dir.path(), "a", extensions));
        EXPECT_EQ(first.Paths(), (QStringList{dir.filePath("a (2).cfg"), dir.filePath("a (2).dat"),
                                              dir.filePath("a (2).hdr")}));
        EXPECT_EQ(second.Paths().front(), dir.filePath("a (4).cfg"));
        first.Keep();
    }
    // What was kept stays, what was not is given back, and nothing else was left.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files),
              (QStringList{"a (2).cfg", "a (2).dat", "a (2).hdr", "a (3).cfg", "a.dat"}));
}
