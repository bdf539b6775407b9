#include "Application.h"
#include "FileNames.h"
#include "Language.h"
#include "Message.h"
#include "ProgramFolder.h"
#include "Settings.h"
#include "UMain.h"

#include <QCoreApplication>
#include <QTimer>
#include <cstdio>
#include <cstring>

namespace {

const char kUsage[] = "usage: oltc [FILE.cty]\n"
                      "The OLTC transition tester companion: sets a test up on the tester,\n"
                      "follows the charging, uploads and analyses the transition waveforms.\n"
                      "  FILE.cty   a test to open at start\n"
                      "  --help     this text\n"
                      "  --version  the program's version\n";

} // namespace

int main(int argc, char** argv) {
    // Answered before any window exists, so they need no display.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::fputs("oltc " OLTC_VERSION "\n", stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "--help") == 0) {
            std::fputs(kUsage, stdout);
            return 0;
        }
    }
    Application app(argc, argv);
    InstallLanguage(ChooseLanguage(std::nullopt, ReadSettingsFile(SettingsPath()).language));
    const QString folder = ProgramFolder();
    if (folder.isEmpty()) {
        // Nowhere to keep the settings and the tests; the filesystem root is
        // no one's folder.
        const QString text = QCoreApplication::translate(
            "main", "没有用户主目录（HOME 未设置），无法保存设置和测试记录！");
        std::fprintf(stderr, "oltc: %s\n", text.toLocal8Bit().constData());
        InstallMessageBoxes();
        ShowMessage(text, MsgIcon::Error);
        return 1;
    }
    InstallMessageBoxes();
    TFrmMain window(folder);
    window.show();
    // A test handed over by the desktop (a double click on a .cty file).
    // Qt has taken its own options out of argv; the file name keeps its bytes.
    if (argc > 1) {
        const QString path = FileNameFromNative(argv[1]);
        QTimer::singleShot(0, &window, [&window, path] { window.OpenTestFile(path); });
    }
    return app.exec();
}
