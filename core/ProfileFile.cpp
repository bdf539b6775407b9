#include "ProfileFile.h"

namespace {

bool SameName(const QByteArray& a, const QByteArray& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

QByteArray Unquoted(const QByteArray& value) {
    if (value.size() >= 2) {
        const char first = value.front();
        if ((first == '"' || first == '\'') && value.back() == first)
            return value.mid(1, value.size() - 2);
    }
    return value;
}

} // namespace

ProfileFile ProfileFile::Parse(const QByteArray& content) {
    ProfileFile file;
    const QList<QByteArray> rawLines = content.split('\n');
    for (qsizetype i = 0; i < rawLines.size(); ++i) {
        QByteArray raw = rawLines[i];
        if (raw.endsWith('\r'))
            raw.chop(1);
        if (i == rawLines.size() - 1 && raw.isEmpty())
            break; // the end of the last line, not a line of its own
        Line line;
        line.raw = raw;
        const QByteArray text = raw.trimmed();
        if (text.startsWith('[')) {
            const qsizetype close = text.indexOf(']');
            line.kind = Line::Section;
            line.name = text.mid(1, close < 0 ? -1 : close - 1).trimmed();
        } else if (!text.startsWith(';')) {
            const qsizetype eq = text.indexOf('=');
            if (eq > 0) {
                line.kind = Line::Entry;
                line.name = text.left(eq).trimmed();
                line.value = Unquoted(text.mid(eq + 1).trimmed());
            }
        }
        file.lines_.append(line);
    }
    return file;
}

qsizetype ProfileFile::FindSection(const QByteArray& section) const {
    for (qsizetype i = 0; i < lines_.size(); ++i)
        if (lines_[i].kind == Line::Section && SameName(lines_[i].name, section))
            return i;
    return -1;
}

qsizetype ProfileFile::SectionEnd(qsizetype header) const {
    qsizetype end = header + 1;
    while (end < lines_.size() && lines_[end].kind != Line::Section)
        ++end;
    return end;
}

std::optional<QByteArray> ProfileFile::Value(const QByteArray& section,
                                             const QByteArray& key) const {
    const qsizetype header = FindSection(section);
    if (header < 0)
        return std::nullopt;
    const qsizetype end = SectionEnd(header);
    for (qsizetype i = header + 1; i < end; ++i)
        if (lines_[i].kind == Line::Entry && SameName(lines_[i].name, key))
            return lines_[i].value;
    return std::nullopt;
}

void ProfileFile::SetValue(const QByteArray& section, const QByteArray& key,
                           const QByteArray& value) {
    Line entry{Line::Entry, key, value, key + '=' + value};
    qsizetype header = FindSection(section);
    if (header < 0) {
        lines_.append(Line{Line::Section, section, {}, '[' + section + ']'});
        lines_.append(entry);
        return;
    }
    const qsizetype end = SectionEnd(header);
    qsizetype lastContent = header;
    for (qsizetype i = header + 1; i < end; ++i) {
        if (lines_[i].kind == Line::Entry && SameName(lines_[i].name, key)) {
            lines_[i] = entry;
            return;
        }
        if (!lines_[i].raw.trimmed().isEmpty())
            lastContent = i;
    }
    lines_.insert(lastContent + 1, entry);
}

QByteArray ProfileFile::Serialize() const {
    QByteArray out;
    for (const Line& line : lines_)
        out += line.raw + "\r\n";
    return out;
}
