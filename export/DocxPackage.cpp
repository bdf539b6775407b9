#include "DocxPackage.h"

#include "FileNames.h"
#include "FileTarget.h"
#include "NativeFile.h"
#include "XmlText.h"

#include <QFile>
#include <QSet>
#include <algorithm>
#include <memory>
#include <pugixml.hpp>
#include <sstream>
#include <zip.h>

namespace {

constexpr unsigned kXmlParse =
    pugi::parse_default | pugi::parse_ws_pcdata | pugi::parse_declaration;
constexpr zip_uint64_t kChunk = 64 << 10;

const char kImageType[] =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/image";
const char kRelationsNs[] = "http://schemas.openxmlformats.org/package/2006/relationships";
const char kContentTypes[] = "[Content_Types].xml";

QString Folder(const QString& part) {
    const qsizetype slash = part.lastIndexOf(u'/');
    return slash < 0 ? QString() : part.left(slash + 1);
}

QString RelationsOf(const QString& part) {
    return Folder(part) + QStringLiteral("_rels/") + part.mid(Folder(part).size()) +
           QStringLiteral(".rels");
}

bool Refuse(QString* why, const QString& reason) {
    if (why)
        *why = reason;
    return false;
}

QString ZipReason(zip_error_t* error) {
    const int system = zip_error_code_system(error);
    if (zip_error_system_type(error) == ZIP_ET_SYS && system != 0)
        return SystemReason(system);
    return QString::fromUtf8(zip_error_strerror(error));
}

struct ZipCloser {
    void operator()(zip_t* zip) const { zip_discard(zip); }
};
struct ZipFileCloser {
    void operator()(zip_file_t* file) const { zip_fclose(file); }
};
struct SourceFreer {
    void operator()(zip_source_t* source) const { zip_source_free(source); }
};

// Every text and attribute of `xml` within what XML 1.0 allows. Walked
// without recursion: a crafted part may nest as deep as it likes.
void MakeXmlSafe(pugi::xml_node root) {
    for (pugi::xml_node node = root.first_child(); node;) {
        if (node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata) {
            if (!IsXmlSafeUtf8(node.value()))
                node.set_value(XmlSafeUtf8(node.value()).constData());
        }
        for (pugi::xml_attribute a = node.first_attribute(); a; a = a.next_attribute())
            if (!IsXmlSafeUtf8(a.value()))
                a.set_value(XmlSafeUtf8(a.value()).constData());
        if (node.first_child()) {
            node = node.first_child();
            continue;
        }
        while (node && node != root && !node.next_sibling())
            node = node.parent();
        if (!node || node == root)
            break;
        node = node.next_sibling();
    }
}

} // namespace

bool DocxPackage::Open(const QString& path, QString* why) {
    parts_.clear();
    index_.clear();
    int code = 0;
    std::unique_ptr<zip_t, ZipCloser> zip(
        zip_open(NativeFileName(path).constData(), ZIP_RDONLY, &code));
    if (!zip) {
        zip_error_t error;
        zip_error_init_with_code(&error, code);
        const QString reason = QStringLiteral("not a zip package (%1)").arg(ZipReason(&error));
        zip_error_fini(&error);
        return Refuse(why, reason);
    }
    const zip_int64_t count = zip_get_num_entries(zip.get(), 0);
    if (count <= 0)
        return Refuse(why, QStringLiteral("an empty package"));
    QSet<QString> folded; // part names are the same in any letter case
    qint64 left = kMaxUnpackedBytes;
    for (zip_int64_t i = 0; i < count; ++i) {
        zip_stat_t stat;
        zip_stat_init(&stat);
        if (zip_stat_index(zip.get(), zip_uint64_t(i), 0, &stat) != 0 ||
            !(stat.valid & ZIP_STAT_NAME) || !(stat.valid & ZIP_STAT_SIZE))
            return Refuse(why, QStringLiteral("entry %1 cannot be read").arg(i));
        const QString name = QString::fromUtf8(stat.name);
        if (folded.contains(name.toLower()))
            return Refuse(why, QStringLiteral("two parts are named %1").arg(name));
        folded.insert(name.toLower());
        // The declared size only decides whether to start: what is read is
        // counted as it comes.
        if (stat.size > zip_uint64_t(left))
            return Refuse(why, QStringLiteral("%1 unpacks to more than %2 MB")
                                   .arg(name)
                                   .arg(kMaxUnpackedBytes >> 20));
        std::unique_ptr<zip_file_t, ZipFileCloser> file(
            zip_fopen_index(zip.get(), zip_uint64_t(i), 0));
        if (!file)
            return Refuse(why, QStringLiteral("%1 cannot be unpacked (%2)")
                                   .arg(name, ZipReason(zip_get_error(zip.get()))));
        QByteArray bytes;
        bytes.reserve(qsizetype(stat.size));
        for (;;) {
            const qsizetype at = bytes.size();
            const zip_uint64_t room = std::min<zip_uint64_t>(kChunk, zip_uint64_t(left) + 1);
            bytes.resize(at + qsizetype(room));
            const zip_int64_t n = zip_fread(file.get(), bytes.data() + at, room);
            if (n < 0)
                return Refuse(why, QStringLiteral("%1 cannot be unpacked (%2)")
                                       .arg(name, ZipReason(zip_file_get_error(file.get()))));
            bytes.resize(at + qsizetype(n));
            left -= n;
            if (left < 0)
                return Refuse(why, QStringLiteral("%1 unpacks to more than %2 MB")
                                       .arg(name)
                                       .arg(kMaxUnpackedBytes >> 20));
            if (n == 0)
                break;
        }
        if (zip_uint64_t(bytes.size()) != stat.size)
            return Refuse(why, QStringLiteral("%1 is not the size it declares").arg(name));
        index_.insert(name, qsizetype(parts_.size()));
        parts_.emplace_back(name, std::move(bytes));
    }
    zip.reset();

    pugi::xml_document types;
    if (!LoadXml(QString::fromLatin1(kContentTypes), types) || !types.child("Types"))
        return Refuse(why, QStringLiteral("no readable %1").arg(QLatin1String(kContentTypes)));
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

QStringList DocxPackage::Parts() const {
    QStringList names;
    for (const auto& part : parts_)
        names << part.first;
    return names;
}

QByteArray DocxPackage::Part(const QString& name) const {
    const QByteArray* bytes = Find(name);
    return bytes ? *bytes : QByteArray();
}

const QByteArray* DocxPackage::Find(const QString& part) const {
    const auto at = index_.constFind(part);
    return at == index_.cend() ? nullptr : &parts_[size_t(*at)].second;
}

void DocxPackage::Set(const QString& part, QByteArray bytes) {
    if (const auto at = index_.constFind(part); at != index_.cend()) {
        parts_[size_t(*at)].second = std::move(bytes);
        return;
    }
    index_.insert(part, qsizetype(parts_.size()));
    parts_.emplace_back(part, std::move(bytes));
}

bool DocxPackage::LoadXml(const QString& part, pugi::xml_document& xml) const {
    const QByteArray* bytes = Find(part);
    if (!bytes ||
        !xml.load_buffer(bytes->constData(), size_t(bytes->size()), kXmlParse, pugi::encoding_utf8))
        return false;
    // Written back as UTF-8, a part must not say it is anything else.
    const pugi::xml_node declaration = xml.first_child();
    if (declaration.type() != pugi::node_declaration)
        return true;
    const pugi::xml_attribute encoding = declaration.attribute("encoding");
    const QString name = QString::fromUtf8(encoding.value()).toLower();
    return !encoding || name == u"utf-8" || name == u"utf8";
}

void DocxPackage::SetXml(const QString& part, const pugi::xml_document& xml) {
    pugi::xml_document safe;
    safe.reset(xml);
    MakeXmlSafe(safe);
    std::ostringstream out;
    safe.save(out, "", pugi::format_raw, pugi::encoding_utf8);
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
    QSet<QString> used;
    for (pugi::xml_node r : root.children("Relationship"))
        used.insert(QString::fromUtf8(r.attribute("Id").value()));
    // At most one name per relationship and part is taken already.
    QString id, media;
    for (qsizetype n = 1;; ++n) {
        id = QStringLiteral("rIdChart%1").arg(n);
        media = QStringLiteral("media/chart%1.png").arg(n);
        if (!used.contains(id) && !Find(Folder(main_) + media))
            break;
    }
    pugi::xml_node relation = root.append_child("Relationship");
    relation.append_attribute("Id") = id.toUtf8().constData();
    relation.append_attribute("Type") = kImageType;
    relation.append_attribute("Target") = media.toUtf8().constData();
    SetXml(relsPart, rels);
    Set(Folder(main_) + media, png);

    pugi::xml_document types;
    if (LoadXml(QString::fromLatin1(kContentTypes), types)) {
        pugi::xml_node typesRoot = types.child("Types");
        bool known = false;
        for (pugi::xml_node d : typesRoot.children("Default"))
            known = known || QString::fromUtf8(d.attribute("Extension").value())
                                     .compare(u"png", Qt::CaseInsensitive) == 0;
        if (!known) {
            pugi::xml_node d = typesRoot.prepend_child("Default");
            d.append_attribute("Extension") = "png";
            d.append_attribute("ContentType") = "image/png";
            SetXml(QString::fromLatin1(kContentTypes), types);
        }
    }
    return id;
}

QByteArray DocxPackage::Bytes(QString* why) const {
    const auto fail = [why](zip_error_t* error) {
        Refuse(why, QStringLiteral("the package cannot be made (%1)").arg(ZipReason(error)));
        return QByteArray();
    };
    zip_error_t error;
    zip_error_init(&error);
    std::unique_ptr<zip_source_t, SourceFreer> buffer(
        zip_source_buffer_create(nullptr, 0, 0, &error));
    if (!buffer)
        return fail(&error);
    zip_t* zip = zip_open_from_source(buffer.get(), ZIP_TRUNCATE, &error);
    if (!zip)
        return fail(&error);
    zip_source_keep(buffer.get()); // the bytes are read from it after the close
    for (const auto& [name, bytes] : parts_) {
        zip_source_t* source =
            zip_source_buffer(zip, bytes.constData(), zip_uint64_t(bytes.size()), 0);
        const QByteArray entry = name.toUtf8();
        const zip_int64_t at =
            source ? zip_file_add(zip, entry.constData(), source, ZIP_FL_ENC_UTF_8) : -1;
        if (at < 0) {
            zip_source_free(source);
            const QByteArray result = fail(zip_get_error(zip));
            zip_discard(zip);
            return result;
        }
        // Pictures are compressed already.
        if (name.endsWith(u".png", Qt::CaseInsensitive))
            zip_set_file_compression(zip, zip_uint64_t(at), ZIP_CM_STORE, 0);
    }
    if (zip_close(zip) != 0) {
        const QByteArray result = fail(zip_get_error(zip));
        zip_discard(zip);
        return result;
    }
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_source_stat(buffer.get(), &stat) != 0 || !(stat.valid & ZIP_STAT_SIZE) ||
        zip_source_open(buffer.get()) != 0)
        return fail(zip_source_error(buffer.get()));
    QByteArray bytes(qsizetype(stat.size), '\0');
    const zip_int64_t n = zip_source_read(buffer.get(), bytes.data(), stat.size);
    zip_source_close(buffer.get());
    if (n != zip_int64_t(stat.size))
        return fail(zip_source_error(buffer.get()));
    return bytes;
}

bool DocxPackage::Save(const QString& path, QString* why) const {
    const QByteArray bytes = Bytes(why);
    return !bytes.isEmpty() && WriteWholeFile(path, bytes, why);
}
