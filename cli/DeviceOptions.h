#pragma once

#include "Settings.h"

#include <QString>
#include <QStringList>
#include <optional>

// The options of identify, history and fetch.
struct DeviceOptions {
    QString command;              // "identify", "history" or "fetch"
    std::optional<int> port;      // --port N, serial COM1..COM16
    std::optional<int> baudIndex; // --baud-index I, 1..13
    bool usb = false;             // --usb
    int entry = 0;                // fetch K
    bool all = false;             // fetch --all
    QString output;               // fetch K -o FILE
    QString folder;               // fetch --all -d DIR
    QString archive;              // --archive PATH|URL: where fetch and live keep tests
    bool noArchive = false;       // --no-archive: they keep none
};

// Parses the arguments after the command; the error text when they are wrong.
std::optional<QString> ParseDeviceArgs(const QString& command, const QStringList& args,
                                       DeviceOptions& options);

// The link settings of the settings file with the options applied.
void ApplyLinkOptions(const DeviceOptions& options, SystemSettings& settings);

QByteArray DeviceUsage(const QString& command);

// The help lines of --archive and --no-archive.
extern const char kArchiveUsage[];
