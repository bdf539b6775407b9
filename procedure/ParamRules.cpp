#include "ParamRules.h"

#include <QRegularExpression>
#include <cmath>

namespace {

// The single-precision value of a number's text; nothing for anything else.
std::optional<float> NumberOf(const QString& text) {
    static const QRegularExpression number(QStringLiteral("^(\\d+\\.?\\d*|\\.\\d+)$"));
    const QString trimmed = text.trimmed();
    if (!number.match(trimmed).hasMatch())
        return std::nullopt;
    bool ok = false;
    const float x = trimmed.toFloat(&ok);
    if (!ok || !std::isfinite(x) || std::fabs(double(x)) > 1e15)
        return std::nullopt;
    return x;
}

} // namespace

std::optional<qint64> TenthsOf(const QString& text) {
    const auto x = NumberOf(text);
    if (!x)
        return std::nullopt;
    return qint64(std::nearbyint(double(*x) * 10.0));
}

std::optional<int> ThresholdTenths(const QString& text) {
    const auto x = NumberOf(text);
    if (!x || *x > 20.0f)
        return std::nullopt;
    const double r = std::nearbyint(double(*x) * 10.0);
    if (r < 1)
        return std::nullopt;
    return int(r);
}

std::optional<int> PreSamplePoints(const QString& text) {
    static const QRegularExpression digits(QStringLiteral("^\\d{1,9}$"));
    const QString trimmed = text.trimmed();
    if (!digits.match(trimmed).hasMatch())
        return std::nullopt;
    const int points = trimmed.toInt();
    if (points > kMaxPreSamplePoints)
        return std::nullopt;
    return points;
}
