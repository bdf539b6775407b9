#include "Application.h"

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    // Windows without a display, also when ctest lists the tests.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    Application app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
