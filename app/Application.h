#pragma once

#include <QApplication>
#include <functional>

// The program's application object. Every key press delivered to a widget
// of the program passes the key hook once (an event filter would see it
// again for each parent it propagates to), and an error that escapes an
// event handler is shown as a message instead of ending the program.
class Application : public QApplication {
public:
    Application(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;

    // The hook sees the key code of every key press; empty removes it.
    static void SetKeyHook(std::function<void(int key)> hook);

    // The font of the window: 宋体 9 pt, or a CJK font with the same glyphs.
    static QFont WindowFont();
};

// Routes ShowMessage to message boxes with the program's title.
void InstallMessageBoxes();
