// Where the programs keep their files: never a folder made up at the
// filesystem root when there is no home.
#include "ProgramFolder.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

TEST(ProgramFolder, TheUsersDataFolderNeedsAnAbsoluteHome) {
    struct Case {
        const char* xdgDataHome;
        const char* home;
        const char* folder;
    };
    const Case cases[] = {
        {"", "/home/li", "/home/li/.local/share/oltc"},
        {"/data/li/", "/home/li", "/data/li/oltc"},
        {"/data/li", "", "/data/li/oltc"},
        {"data", "/home/li", "/home/li/.local/share/oltc"}, // a relative value is ignored
        {"", "", ""},
        {"", "home/li", ""},
        {"data", "", ""},
        {"./x", ".", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("XDG_DATA_HOME=") + c.xdgDataHome + " HOME=" + c.home);
        EXPECT_EQ(
            PerUserDataFolder(QString::fromLatin1(c.xdgDataHome), QString::fromLatin1(c.home)),
            QString::fromLatin1(c.folder));
    }
}

TEST(ProgramFolder, InstalledOrUnwritableTheUsersFolderTakesThePlace) {
    QTemporaryDir exe;
    const QString missing = exe.filePath("gone");
    const QString user = QStringLiteral("/home/li/.local/share/oltc");
    struct Case {
        const char* what;
        ProgramPlaces places;
        QString folder;
    };
    const Case cases[] = {
        {"a build folder", {exe.path(), {}, {}, user}, exe.path()},
        {"a build folder, no home", {exe.path(), {}, {}, {}}, exe.path()},
        {"installed", {exe.path(), "/usr/share/oltc", "/usr/lib", user}, user},
        {"installed, no home", {exe.path(), "/usr/share/oltc", "/usr/lib", {}}, {}},
        {"not writable", {missing, {}, {}, user}, user},
        {"not writable, no home", {missing, {}, {}, {}}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(ProgramFolderAt(c.places), c.folder);
    }
}

TEST(ProgramFolder, TheRunningTestKeepsItsFilesBesideIt) {
    const ProgramPlaces places = CurrentPlaces();
    EXPECT_TRUE(places.installedData.isEmpty()) << "a build folder is not an install";
    EXPECT_TRUE(places.installedLibraries.isEmpty());
    EXPECT_EQ(ProgramFolder(), places.executableFolder);
    EXPECT_EQ(SettingsPath(), places.executableFolder + "/SystemFile.ini");
}

// The window's save and open dialogs and the export's save dialog start in
// the same folder.
TEST(ProgramFolder, TestsAreKeptInOneFolderOfIt) {
    EXPECT_EQ(TestFolder(QStringLiteral("/opt/oltc")), QStringLiteral("/opt/oltc/测试记录"));
    EXPECT_EQ(TestFolder(QStringLiteral("/opt/oltc/")), QStringLiteral("/opt/oltc/测试记录"));
}

} // namespace
