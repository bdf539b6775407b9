#pragma once

#include <QByteArray>
#include <QString>
#include <optional>
#include <string>
#include <vector>

namespace pugi {
class xml_document;
}

// A word-processor document as its zip package of parts, held in memory.
class DocxPackage {
public:
    // False when the file is not a zip package.
    bool Open(const QString& path);
    // The main document part, as the package's relationships name it.
    QString MainPart() const { return main_; }

    bool LoadXml(const QString& part, pugi::xml_document& xml) const;
    void SetXml(const QString& part, const pugi::xml_document& xml);

    // Stores a PNG picture as a new part of the main document; its
    // relationship id, or nothing when the relationships cannot be read.
    std::optional<QString> AddImage(const QByteArray& png);

    bool Save(const QString& path) const;

private:
    const QByteArray* Find(const QString& part) const;
    void Set(const QString& part, QByteArray bytes);

    std::vector<std::pair<QString, QByteArray>> parts_; // in package order
    QString main_;
};
