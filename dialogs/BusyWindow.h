#pragma once

#include <QWidget>

class QAbstractButton;

// What the two busy windows (the progress window and the trigger wait)
// share: shown centred over the window that owns them, else over the
// screen; Escape presses their cancel button; and only the operation that
// showed them closes them: a close from outside is refused and handed to
// CloseFromOutside.
class BusyWindow : public QWidget {
protected:
    BusyWindow(QWidget* owner, Qt::WindowFlags flags);

    virtual QAbstractButton* CancelButton() const = 0;
    virtual void CloseFromOutside() = 0;

    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
};
