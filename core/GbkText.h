#pragma once

#include <QByteArray>
#include <QString>

// The tester, the test files and the settings file all carry texts in the
// GBK code page; conversion happens only here.
QByteArray ToGbk(const QString& text);
QString FromGbk(const QByteArray& bytes);
