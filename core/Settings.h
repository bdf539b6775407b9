#pragma once

#include "TestRecord.h"

#include <QString>
#include <optional>

inline constexpr char kSettingsFileName[] = "SystemFile.ini";

// What survives between runs. The parameters and the two header texts are
// the current record's; LoadSettings and SaveSettings copy them across.
struct SystemSettings {
    TestParams params;
    BoundedText<20> strTestUser;
    BoundedText<20> strTestAdd;
    quint8 gRColor = 192;
    quint8 gGColor = 192;
    quint8 gBColor = 192;
    bool gbInverted = false;  // carried through, never used
    qint32 giCommStyle = 1;   // 0 USB, 1 serial
    qint32 giCommPort = 1;    // COM1 = 1
    qint32 giBaudRate = 7;    // index into the baud-rate table
    qint32 giColorIndex = 17; // carried through, never used
    // [Archive] RestoreMarkers: an opened test gets its last kept markers.
    // Written only once it has been set, so other files stay as they are.
    std::optional<bool> restoreMarkers;
    // [Language] Language: "zh" or "en"; unset follows the system's locale.
    // Written only once it has been set.
    std::optional<QString> language;

    bool operator==(const SystemSettings&) const = default;
};

// A settings file is small; anything larger is not one.
inline constexpr qint64 kMaxSettingsFileSize = 1 << 20;

// The bytes of a settings file: empty unless `path` is a regular file of at
// most kMaxSettingsFileSize bytes.
QByteArray SettingsFileBytes(const QString& path);

// Never fails: a missing file, key or unreadable value gives the default;
// so does a target that is not a regular file or is too large.
SystemSettings ReadSettingsFile(const QString& path);

// Updates the keys in place and keeps the rest of an existing file. The file
// is replaced only once it is whole and never when it is not a regular file;
// false (and the reason) when it could not be.
bool WriteSettingsFile(const QString& path, const SystemSettings& settings,
                       QString* error = nullptr);

// The file's content as WriteSettingsFile would write it over `existing`.
QByteArray SettingsFileContent(const SystemSettings& settings, const QByteArray& existing = {});
