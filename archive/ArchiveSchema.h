#pragma once

#include <QStringList>

// The statements that bring an archive from one schema version to the next;
// index k takes version k to k + 1 (index 0 creates version 1). `blob` is
// the dialect's type for bytes.
QList<QStringList> SchemaSteps(const QString& blob);

// Puts the latest revision of markers, annotation (and, from schema 3 on,
// baseline choice) of the tests `where` selects (an SQL condition on tests)
// into their row, for quick lists.
QString RefreshLatestSql(const QString& where, int schema);
