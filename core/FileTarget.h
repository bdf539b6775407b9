#pragma once

#include <QByteArrayView>
#include <QString>

// Why a new file must not be put at `path`: it exists and is not a regular
// file (a folder, a device, a FIFO, a socket), which a file put there would
// replace. Empty when a file may be written there. Links are followed.
QString TargetRefusal(const QString& path);

// Writes `bytes` as the whole new content of `path`: beside it first, put in
// place only when complete, so a failure leaves what was there. Refuses a
// target that is not a regular file. On failure `error` names the reason.
bool WriteWholeFile(const QString& path, QByteArrayView bytes, QString* error = nullptr);

// Whether a file could be written at `path` now: the target check and a
// trial file beside it, removed again. Nothing at `path` changes.
bool CanWriteTarget(const QString& path, QString* error = nullptr);
