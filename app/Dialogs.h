#pragma once

#include <QColor>
#include <QString>
#include <functional>
#include <optional>

class QWidget;

// The standard dialogs the main window asks; tests replace them.
struct FileDialogRequest {
    QString title;
    QString folder;       // start folder
    QString proposedName; // save only; empty for open
    QString filter;       // "测试数据文件(*.cty)"
    QString defaultSuffix;
    QString selectedFilter{};        // the entry selected at the start; empty: the first
    QString* chosenFilter = nullptr; // when set, receives the entry chosen
};

struct DialogSeams {
    // The chosen path, or empty when cancelled.
    std::function<QString(QWidget* parent, const FileDialogRequest&)> openFile;
    std::function<QString(QWidget* parent, const FileDialogRequest&)> saveFile;
    std::function<std::optional<QColor>(QWidget* parent, const QColor& initial)> chooseColor;
};

DialogSeams& Dialogs();
