#pragma once

// What the archive's own files share of its SQL: not for its users.
#include <QString>
#include <QVariant>

namespace archive_sql {

// Each batch of a bulk add is one short transaction: a kill loses at most
// one batch, and another writer waits for no more than that.
inline constexpr int kBatch = 250;

inline QString Hex(const QString& text) {
    for (QChar c : text)
        if (!((c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f')))
            return {};
    return text;
}

// A LIKE pattern that finds `text` anywhere, its own wildcards taken literally.
inline QString Containing(const QString& text) {
    QString escaped;
    for (QChar c : text.toLower()) {
        if (c == u'%' || c == u'_' || c == u'!')
            escaped += u'!';
        escaped += c;
    }
    return u'%' + escaped + u'%';
}

// Empty texts are stored as empty, never as NULL.
inline QVariant Bound(const QVariant& value) {
    if (value.typeId() == QMetaType::QString && value.toString().isNull())
        return QString(QLatin1String(""));
    return value;
}

inline QString Placeholders(qsizetype n) {
    QStringList marks;
    for (qsizetype i = 0; i < n; ++i)
        marks << QStringLiteral("?");
    return marks.join(u", ");
}

inline const char* const kSortColumns[] = {"test_time", "place", "device", "user_name", "step",
                                           "source",    "added", "marks",  "id",        "baseline"};

inline const QString kTestColumns =
    QStringLiteral("id, test_time, user_name, place, step, switch_type, test_mode, sample_length, "
                   "charge_time, series_type, sample_burst, sample_point, source, added, file");

} // namespace archive_sql
