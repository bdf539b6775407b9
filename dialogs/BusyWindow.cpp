#include "BusyWindow.h"

#include <QAbstractButton>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QScreen>

BusyWindow::BusyWindow(QWidget* owner, Qt::WindowFlags flags) : QWidget(owner, flags) {}

void BusyWindow::closeEvent(QCloseEvent* event) {
    if (event->spontaneous()) {
        event->ignore();
        CloseFromOutside();
        return;
    }
    QWidget::closeEvent(event);
}

void BusyWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape)
        CancelButton()->click();
    else
        QWidget::keyPressEvent(event);
}

void BusyWindow::showEvent(QShowEvent* event) {
    const QWidget* over = parentWidget() ? parentWidget()->window() : nullptr;
    const QRect area = over && over->isVisible() ? over->frameGeometry()
                       : screen()                ? screen()->availableGeometry()
                                                 : QRect();
    if (area.isValid())
        move(area.center() - rect().center());
    QWidget::showEvent(event);
}
