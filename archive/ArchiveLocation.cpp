#include "ArchiveLocation.h"

#include <QUrl>
#include <QUrlQuery>

bool IsArchiveUrl(const QString& text) {
    return text.startsWith(u"postgresql://", Qt::CaseInsensitive) ||
           text.startsWith(u"postgres://", Qt::CaseInsensitive);
}

QString ArchiveLocation::Shown() const {
    if (kind == Kind::Sqlite)
        return path;
    QString shown = QStringLiteral("postgresql://");
    if (!user.isEmpty())
        shown += user + u'@';
    if (!host.startsWith(u'/'))
        shown += host;
    if (port > 0 && !host.startsWith(u'/'))
        shown += u':' + QString::number(port);
    shown += u'/' + database;
    if (host.startsWith(u'/'))
        shown += QStringLiteral("?host=%1").arg(host) +
                 (port > 0 ? QStringLiteral("&port=%1").arg(port) : QString());
    return shown;
}

std::optional<ArchiveLocation> ParseArchiveLocation(const QString& text, QString* why) {
    const auto fail = [&](const QString& reason) -> std::optional<ArchiveLocation> {
        if (why)
            *why = reason;
        return std::nullopt;
    };
    if (text.isEmpty())
        return fail(QStringLiteral("no archive named"));
    ArchiveLocation location;
    if (!IsArchiveUrl(text)) {
        location.path = text;
        return location;
    }
    const QUrl url(text, QUrl::StrictMode);
    if (!url.isValid())
        return fail(QStringLiteral("not a PostgreSQL URL: ") + url.errorString());
    location.kind = ArchiveLocation::Kind::Postgres;
    location.host = url.host(QUrl::FullyDecoded);
    location.port = url.port(-1);
    location.user = url.userName(QUrl::FullyDecoded);
    location.password = url.password(QUrl::FullyDecoded);
    location.database = url.path(QUrl::FullyDecoded).mid(1);
    const QUrlQuery query(url);
    for (const auto& [key, value] : query.queryItems(QUrl::FullyDecoded)) {
        if (key == u"host")
            location.host = value;
        else if (key == u"port") {
            bool ok = false;
            location.port = value.toInt(&ok);
            if (!ok || location.port <= 0 || location.port > 65535)
                return fail(QStringLiteral("not a port: ") + value);
        } else if (key == u"user")
            location.user = value;
        else if (key == u"password")
            location.password = value;
        else if (key == u"dbname")
            location.database = value;
        else
            return fail(QStringLiteral("unknown parameter in the URL: ") + key);
    }
    if (location.database.isEmpty())
        return fail(QStringLiteral("the URL names no database"));
    return location;
}

QString DefaultArchiveFile(const QString& programFolder) {
    if (programFolder.isEmpty())
        return {};
    return programFolder + (programFolder.endsWith(u'/') ? QString() : QStringLiteral("/")) +
           QStringLiteral("archive.sqlite");
}
