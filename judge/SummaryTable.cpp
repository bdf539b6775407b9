#include "SummaryTable.h"

#include "Helpers.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <algorithm>

namespace {

const char* const kPhases[] = {"A", "B", "C"};

// The text most of the tests carry.
QString MostCommon(const QStringList& texts) {
    QMap<QString, int> counts;
    for (const QString& t : texts)
        if (!t.isEmpty())
            ++counts[t];
    QString best;
    for (auto it = counts.begin(); it != counts.end(); ++it)
        if (best.isEmpty() || it.value() > counts[best])
            best = it.key();
    return best;
}

QJsonValue Number(double v) {
    return QJsonValue(std::nearbyint(v * 100) / 100); // ms to 0.01, ohm to 0.01
}

// A CSV field: quoted when it holds a separator, a quote or a line break.
QString Field(const QString& text) {
    if (!text.contains(u',') && !text.contains(u'"') && !text.contains(u'\n') &&
        !text.contains(u'\r'))
        return text;
    QString quoted = text;
    quoted.replace(QStringLiteral("\""), QStringLiteral("\"\""));
    return QStringLiteral("\"") + quoted + QStringLiteral("\"");
}

QString Csv(double v) {
    return QString::number(std::nearbyint(v * 100) / 100, 'g', 10);
}

} // namespace

Spreads SpreadsOf(const JudgedTest& test) {
    Spreads s;
    const auto spread = [&](auto get) {
        double low = 0, high = 0;
        bool any = false;
        for (const PhaseValues& p : test.phases)
            if (p.found) {
                const double v = get(p);
                low = any ? std::min(low, v) : v;
                high = any ? std::max(high, v) : v;
                any = true;
            }
        return high - low;
    };
    s.dT1 = spread([](const PhaseValues& p) { return p.T1; });
    s.dT2 = spread([](const PhaseValues& p) { return p.T2; });
    s.dT3 = spread([](const PhaseValues& p) { return p.T3; });
    s.dT0 = spread([](const PhaseValues& p) { return p.t[0] / 10.0; });
    s.dR1 = spread([](const PhaseValues& p) { return p.R1; });
    s.dR2 = spread([](const PhaseValues& p) { return p.R2; });
    return s;
}

SummaryHeading HeadingOf(const JudgedCampaign& campaign, const QString& device) {
    SummaryHeading heading;
    QStringList places, users, times;
    for (const JudgedTest& t : campaign.tests) {
        places << t.place;
        users << t.user;
        if (!t.time.isEmpty())
            times << t.time;
    }
    std::sort(times.begin(), times.end());
    heading.place = MostCommon(places);
    heading.user = MostCommon(users);
    heading.device = device;
    heading.from = times.value(0);
    heading.to = times.isEmpty() ? QString() : times.last();
    return heading;
}

QByteArray SummaryJson(const JudgedCampaign& campaign, const SummaryHeading& heading) {
    QJsonArray tests;
    for (const JudgedTest& t : campaign.tests) {
        QJsonObject phases;
        for (int p = 0; p < 3; ++p) {
            const PhaseValues& v = t.phases[p];
            if (!v.drawn)
                continue;
            phases[QLatin1String(kPhases[p])] = QJsonObject{
                {"T1", Number(v.T1)},
                {"T2", Number(v.T2)},
                {"T3", Number(v.T3)},
                {"T", Number(v.T)},
                {"R1", Number(v.R1)},
                {"R2", Number(v.R2)},
                {"markers", QJsonArray{v.t[0], v.t[1], v.t[2], v.t[3]}},
                {"found", v.found},
                {"quality", v.quality ? QJsonValue(Number(*v.quality)) : QJsonValue()},
            };
        }
        const Spreads s = SpreadsOf(t);
        QJsonArray findings;
        for (const Finding& f : t.findings)
            findings.append(QJsonObject{
                {"rule", f.rule},
                {"phase", f.phase < 0 ? QJsonValue() : QJsonValue(QLatin1String(kPhases[f.phase]))},
                {"quantity", f.value.isEmpty() ? QJsonValue() : QJsonValue(f.value)},
                {"value", Number(f.measured)},
                {"reference", Number(f.reference)},
                {"limit", Number(f.limit)},
                {"text", f.text},
            });
        tests.append(QJsonObject{
            {"file", t.file},
            {"id", t.id},
            {"time", t.time},
            {"step", t.step},
            {"step_text", StepText(t.step)},
            {"direction", t.up ? "up" : "down"},
            {"phases", phases},
            {"spreads", QJsonObject{{"dT1", Number(s.dT1)},
                                    {"dT2", Number(s.dT2)},
                                    {"dT3", Number(s.dT3)},
                                    {"dT0", Number(s.dT0)},
                                    {"dR1", Number(s.dR1)},
                                    {"dR2", Number(s.dR2)}}},
            {"verdict", VerdictName(t.verdict)},
            {"findings", findings},
        });
    }
    const QJsonObject root{
        {"place", heading.place},
        {"device", heading.device},
        {"user", heading.user},
        {"from", heading.from},
        {"to", heading.to},
        {"tests", tests},
        {"notes", QJsonArray::fromStringList(campaign.notes)},
        {"overall", VerdictName(campaign.overall)},
    };
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

QByteArray SummaryCsv(const JudgedCampaign& campaign) {
    QStringList header = {QStringLiteral("file"),      QStringLiteral("id"),
                          QStringLiteral("time"),      QStringLiteral("step"),
                          QStringLiteral("step_text"), QStringLiteral("direction")};
    const char* const values[] = {"T1", "T2", "T3", "T", "R1", "R2", "found"};
    for (const char* phase : kPhases)
        for (const char* value : values)
            header << QStringLiteral("%1_%2").arg(QLatin1String(phase), QLatin1String(value));
    header << QStringLiteral("verdict") << QStringLiteral("findings");
    QString csv = header.join(u',') + QStringLiteral("\r\n");
    for (const JudgedTest& t : campaign.tests) {
        QStringList row = {
            Field(t.file),           t.id,
            Field(t.time),           QString::number(t.step),
            Field(StepText(t.step)), t.up ? QStringLiteral("up") : QStringLiteral("down")};
        for (const PhaseValues& v : t.phases) {
            if (!v.drawn) {
                for (int i = 0; i < 7; ++i)
                    row << QString();
                continue;
            }
            row << Csv(v.T1) << Csv(v.T2) << Csv(v.T3) << Csv(v.T) << Csv(v.R1) << Csv(v.R2)
                << (v.found ? QStringLiteral("1") : QStringLiteral("0"));
        }
        QStringList texts;
        for (const Finding& f : t.findings)
            texts << f.text;
        row << VerdictName(t.verdict) << Field(texts.join(QStringLiteral("; ")));
        csv += row.join(u',') + QStringLiteral("\r\n");
    }
    return csv.toUtf8();
}
