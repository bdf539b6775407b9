#include "Application.h"

#include "Message.h"

#include <QFontDatabase>
#include <QKeyEvent>
#include <QMessageBox>
#include <exception>

namespace {
std::function<void(int)>& KeyHook() {
    static std::function<void(int)> hook;
    return hook;
}
} // namespace

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {
    // No display name: the window system would append it to every dialog's
    // title ("通讯设置 — ..."), and the dialogs carry their own titles alone.
    setApplicationName(QString::fromUtf16(kAppTitle));
    setFont(WindowFont());
}

QFont Application::WindowFont() {
    // One family that is really there: a list with missing names costs a
    // font lookup on every text layout.
    static const QString family = [] {
        const QStringList families = QFontDatabase::families();
        for (const char* name : {"宋体", "SimSun", "NSimSun", "WenQuanYi Zen Hei Sharp",
                                 "WenQuanYi Zen Hei", "Noto Sans CJK SC", "AR PL UMing CN"})
            if (families.contains(QString::fromUtf8(name), Qt::CaseInsensitive))
                return QString::fromUtf8(name);
        return QFont().family();
    }();
    QFont font(family);
    font.setPointSize(9);
    return font;
}

void Application::SetKeyHook(std::function<void(int key)> hook) {
    KeyHook() = std::move(hook);
}

bool Application::notify(QObject* receiver, QEvent* event) {
    try {
        if (event->type() == QEvent::KeyPress && receiver->isWidgetType() && KeyHook())
            KeyHook()(static_cast<QKeyEvent*>(event)->key());
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        ShowMessage(QString::fromLocal8Bit(error.what()), MsgIcon::Error);
    } catch (...) {
        ShowMessage(QStringLiteral("未知错误"), MsgIcon::Error);
    }
    return false;
}

void InstallMessageBoxes() {
    SetMessageSink([](const QString& text, MsgIcon icon) {
        const QMessageBox::Icon boxIcon = icon == MsgIcon::Error     ? QMessageBox::Critical
                                          : icon == MsgIcon::Warning ? QMessageBox::Warning
                                                                     : QMessageBox::Information;
        QMessageBox box(boxIcon, QString::fromUtf16(kAppTitle), text, QMessageBox::Ok,
                        QApplication::activeWindow());
        box.exec();
    });
}
