#include "JudgeProfile.h"

#include "NativeFile.h"
#include "ProfileFile.h"

#include <QFile>
#include <cmath>

std::optional<JudgeProfile> ParseJudgeProfile(const QByteArray& content, QString* why) {
    const ProfileFile file = ProfileFile::Parse(content);
    JudgeProfile profile;
    QString problem;
    // A number in [low, high], or the key left out.
    const auto number = [&](const char* section, const char* key, double low,
                            double high) -> std::optional<double> {
        const auto value = file.Value(section, key);
        if (!value || value->trimmed().isEmpty() || !problem.isEmpty())
            return std::nullopt;
        bool ok = false;
        const double v = value->trimmed().toDouble(&ok);
        if (!ok || !std::isfinite(v) || v < low || v > high) {
            problem =
                QStringLiteral("[%1] %2=%3: expected a number from %4 to %5")
                    .arg(QLatin1String(section), QLatin1String(key), QString::fromUtf8(*value))
                    .arg(low)
                    .arg(high);
            return std::nullopt;
        }
        return v;
    };
    if (const auto v = number("Tolerances", "Time", 0, 1000))
        profile.timeTolerance = *v / 100;
    if (const auto v = number("Tolerances", "TimeFloor", 0, 1000))
        profile.timeFloorMs = *v;
    if (const auto v = number("Tolerances", "Resistance", 0, 1000))
        profile.resistanceTolerance = *v / 100;
    if (const auto v = number("Tolerances", "SyncFactor", 0, 1000))
        profile.syncFactor = *v;
    if (const auto v = number("Tolerances", "SyncFloor", 0, 1000))
        profile.syncFloorMs = *v;
    if (const auto v = number("Tolerances", "CampaignMinimum", 2, 1000))
        profile.campaignMinimum = int(*v);
    const char* const times[] = {"T1", "T2", "T3", "T"};
    for (int i = 0; i < 4; ++i) {
        const QByteArray name(times[i]);
        profile.timeMin[i] = number("Maker", (name + "Min").constData(), 0, 268.8);
        profile.timeMax[i] = number("Maker", (name + "Max").constData(), 0, 268.8);
    }
    profile.nameplate[0] = number("Maker", "R1", 0, 655.35);
    profile.nameplate[1] = number("Maker", "R2", 0, 655.35);
    profile.syncLimitMs = number("Maker", "Sync", 0, 268.8);
    if (!problem.isEmpty()) {
        if (why)
            *why = problem;
        return std::nullopt;
    }
    return profile;
}

std::optional<JudgeProfile> ReadJudgeProfile(const QString& path, QString* why) {
    QFile file;
    if (OpenToRead(path, file, why) != FileKind::Regular)
        return std::nullopt;
    // A profile is a few lines; a huge file is not one.
    const QByteArray content = file.read(1 << 20);
    if (!file.atEnd()) {
        if (why)
            *why = QStringLiteral("larger than a profile can be");
        return std::nullopt;
    }
    return ParseJudgeProfile(content, why);
}
