#include "Application.h"

#include "ChartStyle.h"
#include "Message.h"

#include <QCoreApplication>
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
    setApplicationName(AppTitle());
    setFont(WindowFont());
}

QFont Application::WindowFont() {
    QFont font(SongtiFamily());
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
        ShowMessage(QCoreApplication::translate("Application", "未知错误"), MsgIcon::Error);
    }
    return false;
}

void InstallMessageBoxes() {
    SetMessageSink([](const QString& text, MsgIcon icon) {
        const QMessageBox::Icon boxIcon = icon == MsgIcon::Error     ? QMessageBox::Critical
                                          : icon == MsgIcon::Warning ? QMessageBox::Warning
                                                                     : QMessageBox::Information;
        QMessageBox box(boxIcon, AppTitle(), text, QMessageBox::Ok, QApplication::activeWindow());
        box.exec();
    });
}
