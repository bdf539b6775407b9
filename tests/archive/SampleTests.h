#pragma once

#include <QByteArray>
#include <QString>

// The bytes of a test file like one from the field: three phases with a
// transition and noise, `seed` choosing the shape, the texts GBK.
QByteArray SampleTestBytes(unsigned seed, const QString& place = QStringLiteral("北郊站"),
                           const QString& user = QStringLiteral("王工"), int step = 9,
                           const QString& time = QStringLiteral("2026-05-04 10:20:30"));
