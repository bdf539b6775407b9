#include "DocxPackage.h"

#include "FileNames.h"

#include <QFile>
#include <pugixml.hpp>
#include <sstream>
#include <zip.h>

namespace {

constexpr unsigned kXmlParse =
    pugi::parse_default | pugi::parse_ws_pcdata | pugi::parse_declaration;

const char kImageType[] =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/image";
const char kRelationsNs[] = "http://schemas.openxmlformats.org/package/2006/relationships";

QString Folder(const QString& part) {
    const qsizetype slash = part.lastIndexOf(u'/');
    return slash < 0 ? QString() : part.left(slash + 1);
}

QString RelationsOf(const QString& part) {
    return Folder(part) + QStringLiteral("_rels/") + part.mid(Folder(part).size()) +
           QStringLiteral(".rels");
}

} // namespace

bool DocxPackage::Open(const QString& path) {
    parts_.clear();
    int error = 0;
    zip_t* zip = zip_open(NativeFileName(path).constData(), ZIP_RDONLY, &error);
    if (!zip)
        return false;
    const zip_int64_t count = zip_get_num_entries(zip, 0);
    bool whole = count > 0;
    for (zip_int64_t i = 0; whole && i < count; ++i) {
        zip_stat_t stat;
        zip_file_t* file = nullptr;
        if (zip_stat_index(zip, zip_uint64_t(i), 0, &stat) != 0 ||
            !(file = zip_fopen_index(zip, zip_uint64_t(i), 0))) {
            whole = false;
            break;
        }
        QByteArray bytes(qsizetype(stat.size), '\0');
        whole = zip_fread(file, bytes.data(), stat.size) == zip_int64_t(stat.size);
        zip_fclose(file);
        parts_.emplace_back(QString::fromUtf8(stat.name), std::move(bytes));
    }
    zip_discard(zip);
    if (!whole)
        return false;

    main_ = QStringLiteral("word/document.xml");
    pugi::xml_document rels;
    if (LoadXml(QStringLiteral("_rels/.rels"), rels))
        for (pugi::xml_node r : rels.child("Relationships").children("Relationship"))
            if (std::string_view(r.attribute("Type").value()).ends_with("/officeDocument")) {
                main_ = QString::fromUtf8(r.attribute("Target").value());
                if (main_.startsWith(u'/'))
                    main_.remove(0, 1);
            }
    return true;
}

const QByteArray* DocxPackage::Find(const QString& part) const {
    for (const auto& [name, bytes] : parts_)
        if (name == part)
            return &bytes;
    return nullptr;
}

void DocxPackage::Set(const QString& part, QByteArray bytes) {
    for (auto& [name, old] : parts_)
        if (name == part) {
            old = std::move(bytes);
            return;
        }
    parts_.emplace_back(part, std::move(bytes));
}

bool DocxPackage::LoadXml(const QString& part, pugi::xml_document& xml) const {
    const QByteArray* bytes = Find(part);
    return bytes && xml.load_buffer(bytes->constData(), size_t(bytes->size()), kXmlParse);
}

void DocxPackage::SetXml(const QString& part, const pugi::xml_document& xml) {
    std::ostringstream out;
    xml.save(out, "", pugi::format_raw);
    const std::string text = out.str();
    Set(part, QByteArray(text.data(), qsizetype(text.size())));
}

std::optional<QString> DocxPackage::AddImage(const QByteArray& png) {
    const QString relsPart = RelationsOf(main_);
    pugi::xml_document rels;
    if (!Find(relsPart)) {
        pugi::xml_node root = rels.append_child("Relationships");
        root.append_attribute("xmlns") = kRelationsNs;
    } else if (!LoadXml(relsPart, rels) || !rels.child("Relationships")) {
        return std::nullopt;
    }
    pugi::xml_node root = rels.child("Relationships");
    const auto used = [&](const QString& id) {
        for (pugi::xml_node r : root.children("Relationship"))
            if (QString::fromUtf8(r.attribute("Id").value()) == id)
                return true;
        return false;
    };
    QString id, media;
    for (int n = 1;; ++n) {
        id = QStringLiteral("rIdChart%1").arg(n);
        media = QStringLiteral("media/chart%1.png").arg(n);
        if (!used(id) && !Find(Folder(main_) + media))
            break;
    }
    pugi::xml_node relation = root.append_child("Relationship");
    relation.append_attribute("Id") = id.toUtf8().constData();
    relation.append_attribute("Type") = kImageType;
    relation.append_attribute("Target") = media.toUtf8().constData();
    SetXml(relsPart, rels);
    Set(Folder(main_) + media, png);

    pugi::xml_document types;
    if (LoadXml(QStringLiteral("[Content_Types].xml"), types)) {
        pugi::xml_node typesRoot = types.child("Types");
        bool known = false;
        for (pugi::xml_node d : typesRoot.children("Default"))
            known = known || QString::fromUtf8(d.attribute("Extension").value())
                                     .compare(u"png", Qt::CaseInsensitive) == 0;
        if (!known) {
            pugi::xml_node d = typesRoot.prepend_child("Default");
            d.append_attribute("Extension") = "png";
            d.append_attribute("ContentType") = "image/png";
            SetXml(QStringLiteral("[Content_Types].xml"), types);
        }
    }
    return id;
}

bool DocxPackage::Save(const QString& path) const {
    int error = 0;
    zip_t* zip = zip_open(NativeFileName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!zip)
        return false;
    for (const auto& [name, bytes] : parts_) {
        zip_source_t* source =
            zip_source_buffer(zip, bytes.constData(), zip_uint64_t(bytes.size()), 0);
        const QByteArray entry = name.toUtf8();
        if (!source || zip_file_add(zip, entry.constData(), source, ZIP_FL_ENC_UTF_8) < 0) {
            zip_source_free(source);
            zip_discard(zip);
            return false;
        }
        // Pictures are compressed already.
        if (name.endsWith(u".png"))
            zip_set_file_compression(zip, zip_uint64_t(zip_name_locate(zip, entry.constData(), 0)),
                                     ZIP_CM_STORE, 0);
    }
    return zip_close(zip) == 0;
}
