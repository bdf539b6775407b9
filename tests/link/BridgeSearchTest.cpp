// Where the USB bridge library may come from: never a folder its user can
// write into the program's own search.
#include "SiBridge.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

TEST(BridgeSearch, NeverTheUsersDataFolder) {
    QTemporaryDir requested;
    const QString user = QStringLiteral("/home/li/.local/share/oltc");
    const QString lib = QStringLiteral("libSiUSBXp.so");
    struct Case {
        const char* what;
        QString requested;
        ProgramPlaces places;
        QStringList files;
    };
    const Case cases[] = {
        {"a build folder",
         {},
         {"/src/build/app", {}, {}, user},
         {"/src/build/app/" + lib, "SiUSBXp"}},
        {"a requested file first",
         "/tmp/double.so",
         {"/src/build/app", {}, {}, user},
         {"/tmp/double.so", "/src/build/app/" + lib, "SiUSBXp"}},
        {"a requested folder",
         requested.path(),
         {"/src/build/app", {}, {}, {}},
         {requested.filePath(lib), "/src/build/app/" + lib, "SiUSBXp"}},
        {"installed: the install's libraries, not the user's folder",
         {},
         {"/usr/bin", "/usr/share/oltc", "/usr/lib/x86_64-linux-gnu", user},
         {"/usr/lib/x86_64-linux-gnu/" + lib, "SiUSBXp"}},
        {"installed without a library folder",
         {},
         {"/opt/o/bin", "/opt/o/share/oltc", {}, user},
         {"SiUSBXp"}},
        {"the executable in the user's folder", {}, {user, {}, {}, user}, {"SiUSBXp"}},
        {"the executable below the user's folder", {}, {user + "/bin", {}, {}, user}, {"SiUSBXp"}},
        {"the user's folder spelt otherwise",
         {},
         {"/home/li/.local/share/./oltc/", {}, {}, user},
         {"SiUSBXp"}},
        {"a folder beside the user's",
         {},
         {user + "-x", {}, {}, user},
         {user + "-x/" + lib, "SiUSBXp"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QStringList files = BridgeCandidates(c.requested, c.places);
        EXPECT_EQ(files, c.files);
    }
}

} // namespace
