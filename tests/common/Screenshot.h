#pragma once

#include <QDir>
#include <QImage>
#include <QWidget>

// Saves what a window shows for a person to look at, when
// OLTC_SCREENSHOT_DIR names a folder; returns the picture either way.
inline QImage KeepScreenshot(QWidget* window, const char* name) {
    const QImage image = window->grab().toImage();
    const QString dir = qEnvironmentVariable("OLTC_SCREENSHOT_DIR");
    if (!dir.isEmpty())
        image.save(QDir(dir).filePath(QString::fromLatin1(name)));
    return image;
}
