#include "Json.h"

namespace {

QByteArray Indent(int depth) {
    return QByteArray(2 * depth, ' ');
}

QByteArray Block(char open, char close, const std::vector<QByteArray>& lines, int depth) {
    if (lines.empty())
        return QByteArray(1, open) + close;
    QByteArray out(1, open);
    out += '\n';
    for (size_t i = 0; i < lines.size(); ++i) {
        out += Indent(depth + 1) + lines[i];
        out += i + 1 < lines.size() ? ",\n" : "\n";
    }
    return out + Indent(depth) + close;
}

} // namespace

QByteArray JsonString(const QString& text) {
    QByteArray out = "\"";
    for (const char c : text.toUtf8()) {
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (quint8(c) < 0x20)
                out += "\\u00" + QByteArray::number(quint8(c), 16).rightJustified(2, '0');
            else
                out += c;
        }
    }
    return out + '"';
}

QByteArray JsonIntArray(std::span<const int> values) {
    QByteArray out = "[";
    for (size_t i = 0; i < values.size(); ++i) {
        if (i)
            out += ", ";
        out += QByteArray::number(values[i]);
    }
    return out + ']';
}

QByteArray JsonObject(const JsonMembers& members, int depth) {
    std::vector<QByteArray> lines;
    lines.reserve(members.size());
    for (const auto& [key, value] : members)
        lines.push_back(JsonString(QString::fromUtf8(key)) + ": " + value);
    return Block('{', '}', lines, depth);
}

QByteArray JsonArray(const std::vector<QByteArray>& items, int depth) {
    return Block('[', ']', items, depth);
}
