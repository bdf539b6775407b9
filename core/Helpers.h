#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <functional>

// The 32-bit millisecond tick that Delay measures with; it wraps after
// about 49.7 days. A test may replace the source; an empty one restores it.
quint32 TickCount();
void SetTickSource(std::function<quint32()> source);

// Waits ms milliseconds while pending events are processed, so the window
// stays alive and enabled controls still work. 0 returns at once.
void Delay(quint16 ms);

// The first / last min(n, size) bytes; empty for n <= 0. The QString forms
// count bytes of GBK.
QByteArray LeftText(const QByteArray& text, int n);
QByteArray RightText(const QByteArray& text, int n);
QString LeftText(const QString& text, int n);
QString RightText(const QString& text, int n);

// "2010-12-21 08:05:03"
QString DateTimeText(const QDateTime& moment);
// "10-12-21 08-05-03", the proposed name of a saved test
QString FileTimeText(const QDateTime& moment);
// "0 <- 1", "0 -> 1", "1 <- 2", ... for step index 0, 1, 2, ...
QString StepText(int step);
// The directory with one separator at its end, unless it is empty or already
// ends with one. Paths here use '/', as Qt does on every platform.
QString WithTrailingBackslash(const QString& directory);

// A fixed-point integer as text: "%d", value/10 "%.1f", value/100 "%.2f",
// else value/1000 "%.3f"; empty when blank.
QString FixedText(qint64 value, int decimals, bool blank = false);

// Without leading and trailing ASCII blanks and control characters (codes up
// to 0x20), as the tester's name and place are kept; other white space, the
// full-width space among it, stays.
QString TrimmedText(const QString& text);
QByteArray TrimmedBytes(const QByteArray& bytes);
