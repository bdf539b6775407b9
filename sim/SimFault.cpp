#include "SimFault.h"

#include "SimFrames.h"

#include <QStringList>
#include <array>
#include <utility>

namespace {
constexpr std::array<std::pair<FaultKind, const char*>, 9> kKinds = {{
    {FaultKind::NoAnswer, "noanswer"},
    {FaultKind::Nak, "nak"},
    {FaultKind::WrongEcho, "wrongecho"},
    {FaultKind::Short, "short"},
    {FaultKind::Garbage, "garbage"},
    {FaultKind::Delay, "delay"},
    {FaultKind::Cut, "cut"},
    {FaultKind::Late, "late"},
    {FaultKind::Twice, "twice"},
}};

std::optional<int> ParseNumber(const QString& text, int max) {
    bool ok = false;
    const QString t = text.trimmed();
    const qlonglong value = t.startsWith(u"0x", Qt::CaseInsensitive) ? t.mid(2).toLongLong(&ok, 16)
                                                                     : t.toLongLong(&ok, 10);
    if (!ok || value < 0 || value > max)
        return std::nullopt;
    return int(value);
}

std::optional<SimFault> Fail(QString* error, const QString& text) {
    if (error)
        *error = text;
    return std::nullopt;
}
} // namespace

int SimFault::Arg() const {
    if (arg >= 0)
        return arg;
    switch (kind) {
    case FaultKind::Short:
    case FaultKind::Cut:
        return 1;
    case FaultKind::Garbage:
        return 4;
    case FaultKind::Delay:
        return 1000;
    case FaultKind::Late:
        return 30;
    default:
        return 0;
    }
}

std::optional<SimFault> ParseFault(const QString& text, QString* error) {
    const QStringList parts = text.split(u':');
    if (parts.size() < 2 || parts.size() > 4)
        return Fail(error, QStringLiteral("fault '%1': expected CMD:KIND[:ARG[:TIMES]]").arg(text));
    SimFault fault;
    const int command = CommandFromText(parts[0].toLatin1());
    if (command < 0)
        return Fail(error, QStringLiteral("fault '%1': unknown command '%2'").arg(text, parts[0]));
    fault.command = quint8(command);
    const QString kind = parts[1].trimmed().toLower();
    bool known = false;
    for (const auto& [value, name] : kKinds)
        if (kind == QLatin1String(name)) {
            fault.kind = value;
            known = true;
        }
    if (!known)
        return Fail(error, QStringLiteral("fault '%1': unknown kind '%2' (noanswer, nak, "
                                          "wrongecho, short, garbage, delay, cut, late, twice)")
                               .arg(text, parts[1]));
    if (parts.size() >= 3 && !parts[2].trimmed().isEmpty()) {
        const bool byteArg = fault.kind == FaultKind::Nak || fault.kind == FaultKind::WrongEcho;
        const auto arg = ParseNumber(parts[2], byteArg ? 255 : 600000);
        if (!arg)
            return Fail(error, QStringLiteral("fault '%1': bad argument '%2'").arg(text, parts[2]));
        fault.arg = *arg;
    }
    if (parts.size() == 4) {
        const auto times = ParseNumber(parts[3], 1000000);
        if (!times)
            return Fail(error, QStringLiteral("fault '%1': bad count '%2'").arg(text, parts[3]));
        fault.times = *times;
    }
    return fault;
}

QString FaultText(const SimFault& fault) {
    QString kind;
    for (const auto& [value, name] : kKinds)
        if (value == fault.kind)
            kind = QLatin1String(name);
    QString text = QStringLiteral("%1:%2:%3")
                       .arg(QString::fromLatin1(CommandName(fault.command)), kind)
                       .arg(fault.Arg());
    if (fault.times > 0)
        text += QStringLiteral(":%1").arg(fault.times);
    return text;
}
