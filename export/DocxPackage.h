#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace pugi {
class xml_document;
}

// A word-processor document as its zip package of parts, held in memory.
// A package is read within caps, in bounded chunks, never trusting the
// sizes it declares: a real template is well under a megabyte.
class DocxPackage {
public:
    // What a package may hold, unpacked, in all.
    static constexpr qint64 kMaxUnpackedBytes = 64 << 20;

    // False, with the reason in `why`, when the file is not a zip package,
    // holds more than the cap, names a part twice, lacks its content types,
    // or cannot be read whole.
    bool Open(const QString& path, QString* why = nullptr);
    // The names of the parts, in package order, and the bytes of one.
    QStringList Parts() const;
    QByteArray Part(const QString& name) const;
    // The main document part, as the package's relationships name it.
    QString MainPart() const { return main_; }

    // False when the part is missing, is not well-formed XML, or is in
    // another encoding than UTF-8 (it is written back as UTF-8).
    bool LoadXml(const QString& part, pugi::xml_document& xml) const;
    // Stores the part; every text and attribute value is cut to what XML
    // 1.0 allows on the way.
    void SetXml(const QString& part, const pugi::xml_document& xml);

    // Stores a PNG picture as a new part of the main document; its
    // relationship id, or nothing when the relationships cannot be read.
    std::optional<QString> AddImage(const QByteArray& png);

    // The package as zip bytes; empty, with the reason in `why`, on failure.
    QByteArray Bytes(QString* why = nullptr) const;
    // Writes the package to `path` through a staged file.
    bool Save(const QString& path, QString* why = nullptr) const;

private:
    const QByteArray* Find(const QString& part) const;
    void Set(const QString& part, QByteArray bytes);

    std::vector<std::pair<QString, QByteArray>> parts_; // in package order
    QHash<QString, qsizetype> index_;                   // part name -> place in parts_
    QString main_;
};
