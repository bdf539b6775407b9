#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    // The chart is drawn by widgets: no display needed.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
