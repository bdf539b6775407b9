#include "Application.h"

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    // Windows without a display, also when ctest lists the tests, on a
    // screen as large as a laptop's: the main window may be no larger than
    // its screen, and the platform's own is 800 x 800.
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (platform.isEmpty() || platform == "offscreen")
        qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" OLTC_OFFSCREEN_SCREENS);
    Application app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
