#include "Settings.h"

#include "FileTarget.h"
#include "NativeFile.h"
#include "ProfileFile.h"

#include <QFile>
#include <charconv>

namespace {

// A decimal integer that fits 32 bits, else nothing.
std::optional<qint32> ParseInt(const QByteArray& text) {
    const char* first = text.constData();
    const char* last = first + text.size();
    if (first != last && *first == '+' && (last - first < 2 || first[1] != '-'))
        ++first;
    qint32 value = 0;
    const auto [end, ec] = std::from_chars(first, last, value);
    if (ec != std::errc() || end != last || first == last)
        return std::nullopt;
    return value;
}

struct Reader {
    const ProfileFile& file;

    qint32 Int(const char* section, const char* key, qint32 fallback) const {
        const auto text = file.Value(section, key);
        const auto value = text ? ParseInt(*text) : std::nullopt;
        return value.value_or(fallback);
    }
    // 8-bit fields keep the low byte of whatever integer the file holds.
    quint8 Byte(const char* section, const char* key, quint8 fallback) const {
        return quint8(Int(section, key, fallback) & 0xFF);
    }
    QByteArray Text(const char* section, const char* key) const {
        return file.Value(section, key).value_or(QByteArray());
    }
};

// A line break inside a value would start a new key when the file is read.
QByteArray OneLine(QByteArray text) {
    for (char& c : text)
        if (c == '\r' || c == '\n' || c == '\0')
            c = ' ';
    return text;
}

} // namespace

QByteArray SettingsFileBytes(const QString& path) {
    // Only a regular file is opened: a FIFO would block the start, a device
    // could deliver without end.
    QFile file;
    if (OpenToRead(path, file) != FileKind::Regular || !file.isOpen() ||
        file.size() > kMaxSettingsFileSize)
        return {};
    const QByteArray bytes = file.read(kMaxSettingsFileSize + 1);
    return bytes.size() > kMaxSettingsFileSize ? QByteArray() : bytes;
}

SystemSettings ReadSettingsFile(const QString& path) {
    const ProfileFile profile = ProfileFile::Parse(SettingsFileBytes(path));
    const Reader in{profile};
    const SystemSettings d;
    SystemSettings s;
    s.params.iSwitchType = in.Byte("SetParam", "iSwitchType", d.params.iSwitchType);
    s.params.iTestMode = in.Byte("SetParam", "iTestMode", d.params.iTestMode);
    s.params.iTestStep = in.Byte("SetParam", "iTestStep", d.params.iTestStep);
    s.params.iSampleLength = in.Byte("SetParam", "iSampleLength", d.params.iSampleLength);
    s.params.iChargeTime = in.Byte("SetParam", "iChargeTime", d.params.iChargeTime);
    s.params.iSeriesType = in.Byte("SetParam", "iSeriesType", d.params.iSeriesType);
    s.params.iSampleBurst = in.Int("SetParam", "iSampleBurst", d.params.iSampleBurst);
    s.params.iSamplePoint = in.Int("SetParam", "iSamplePoint", d.params.iSamplePoint);
    s.strTestUser.Set(in.Text("RestParam", "strTestUser"));
    s.strTestAdd.Set(in.Text("RestParam", "strTestAdd"));
    s.gRColor = in.Byte("Chart", "gRColor", d.gRColor);
    s.gGColor = in.Byte("Chart", "gGColor", d.gGColor);
    s.gBColor = in.Byte("Chart", "gBColor", d.gBColor);
    s.gbInverted = in.Int("Chart", "gbInverted", d.gbInverted) != 0;
    s.giCommStyle = in.Int("Communication", "giCommStyle", d.giCommStyle);
    s.giCommPort = in.Int("Communication", "giCommPort", d.giCommPort);
    s.giBaudRate = in.Int("Communication", "giBaudRate", d.giBaudRate);
    // Read from "Communication" but written to "RestParam": the file format
    // other installations already hold, kept as it is.
    s.giColorIndex = in.Int("Communication", "giColorIndex", d.giColorIndex);
    if (profile.Value("Archive", "RestoreMarkers"))
        s.restoreMarkers = in.Int("Archive", "RestoreMarkers", 0) != 0;
    if (const auto language = profile.Value("Language", "Language"))
        s.language = QString::fromLatin1(*language).trimmed();
    return s;
}

QByteArray SettingsFileContent(const SystemSettings& s, const QByteArray& existing) {
    ProfileFile out = ProfileFile::Parse(existing);
    const auto put = [&out](const char* section, const char* key, qint64 value) {
        out.SetValue(section, key, QByteArray::number(value));
    };
    put("SetParam", "iSwitchType", s.params.iSwitchType);
    put("SetParam", "iTestMode", s.params.iTestMode);
    put("SetParam", "iTestStep", s.params.iTestStep);
    put("SetParam", "iSampleLength", s.params.iSampleLength);
    put("SetParam", "iChargeTime", s.params.iChargeTime);
    put("SetParam", "iSeriesType", s.params.iSeriesType);
    put("SetParam", "iSampleBurst", s.params.iSampleBurst);
    put("SetParam", "iSamplePoint", s.params.iSamplePoint);
    out.SetValue("RestParam", "strTestUser", OneLine(s.strTestUser.Bytes()));
    out.SetValue("RestParam", "strTestAdd", OneLine(s.strTestAdd.Bytes()));
    put("RestParam", "giColorIndex", s.giColorIndex);
    put("Chart", "gRColor", s.gRColor);
    put("Chart", "gGColor", s.gGColor);
    put("Chart", "gBColor", s.gBColor);
    put("Chart", "gbInverted", s.gbInverted ? 1 : 0);
    put("Communication", "giCommStyle", s.giCommStyle);
    put("Communication", "giCommPort", s.giCommPort);
    put("Communication", "giBaudRate", s.giBaudRate);
    if (s.restoreMarkers)
        put("Archive", "RestoreMarkers", *s.restoreMarkers ? 1 : 0);
    if (s.language)
        out.SetValue("Language", "Language", s.language->toLatin1());
    return out.Serialize();
}

bool WriteSettingsFile(const QString& path, const SystemSettings& settings, QString* error) {
    const QByteArray content = SettingsFileContent(settings, SettingsFileBytes(path));
    return WriteWholeFile(path, content, error);
}
