#pragma once

#include <QByteArray>
#include <QList>
#include <optional>

// A Windows profile (.ini) file held as its lines, so that writing a key
// keeps everything else of the file as it was. Section and key names match
// without regard to ASCII letter case; the first match wins, as on Windows.
class ProfileFile {
public:
    ProfileFile() = default;
    // CRLF or LF line ends; blanks around names, '=' and values are dropped;
    // lines starting with ';' are comments; a value in matching quotes loses them.
    static ProfileFile Parse(const QByteArray& content);

    std::optional<QByteArray> Value(const QByteArray& section, const QByteArray& key) const;

    // Replaces the key's line, or adds it at the end of its section; a
    // missing section is added at the end of the file.
    void SetValue(const QByteArray& section, const QByteArray& key, const QByteArray& value);

    // The lines joined with CRLF, the last one ended too.
    QByteArray Serialize() const;

private:
    struct Line {
        enum Kind { Other, Section, Entry } kind = Other;
        QByteArray name; // section or key name, trimmed
        QByteArray value;
        QByteArray raw;
    };

    qsizetype FindSection(const QByteArray& section) const;
    qsizetype SectionEnd(qsizetype header) const;

    QList<Line> lines_;
};
