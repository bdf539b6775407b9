// The program's start up to a shown main window, then it quits: timed from
// outside as a whole process by bench/app-startup.
#include "Application.h"
#include "UMain.h"

#include <QTemporaryDir>
#include <QTest>

int main(int argc, char** argv) {
    Application app(argc, argv);
    QTemporaryDir folder;
    TFrmMain window(folder.path());
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return 1;
    QCoreApplication::processEvents();
    return 0;
}
