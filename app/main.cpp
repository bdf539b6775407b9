#include "Application.h"
#include "ProgramFolder.h"
#include "UMain.h"

int main(int argc, char** argv) {
    Application app(argc, argv);
    InstallMessageBoxes();
    TFrmMain window(ProgramFolder());
    window.show();
    return app.exec();
}
