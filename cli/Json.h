#pragma once

#include <QByteArray>
#include <QString>
#include <span>
#include <utility>
#include <vector>

// Just enough JSON for the viewer's output, keeping members in the order given.
using JsonMembers = std::vector<std::pair<QByteArray, QByteArray>>; // key, formatted value

QByteArray JsonString(const QString& text);
QByteArray JsonIntArray(std::span<const int> values);
// Members one per line, indented by `depth` levels of two blanks.
QByteArray JsonObject(const JsonMembers& members, int depth);
QByteArray JsonArray(const std::vector<QByteArray>& items, int depth);
