#include "CraftedTemplates.h"

const QString kMainPart = QStringLiteral("word/document.xml");

namespace {

const QString& kMain = kMainPart;

QByteArray Zeros(qsizetype size) {
    return QByteArray(size, '\0');
}

} // namespace

ZipEntry& EntryOf(std::vector<ZipEntry>& entries, const QString& name) {
    for (ZipEntry& e : entries)
        if (e.name == name)
            return e;
    entries.push_back({name, {}, true, -1});
    return entries.back();
}

void EditMain(std::vector<ZipEntry>& entries, const std::function<void(QString&)>& edit) {
    ZipEntry& main = EntryOf(entries, kMain);
    QString text = QString::fromUtf8(main.data);
    edit(text);
    main.data = text.toUtf8();
}

std::vector<CraftedTemplate> RefusedTemplates() {
    return {
        {"a part that declares a terabyte",
         [](auto& e) { EntryOf(e, kMain).declared = qint64(1) << 40; }, "more than 64 MB"},
        {"a part that declares 4 GB", [](auto& e) { EntryOf(e, kMain).declared = 0xFFFFFFFE; },
         "more than 64 MB"},
        {"a deflate bomb of 100 MB",
         [](auto& e) {
             e.push_back({QStringLiteral("word/media/x.bin"), Zeros(100 << 20), true});
         },
         "more than 64 MB"},
        {"a bomb that declares a kilobyte",
         [](auto& e) {
             e.push_back({QStringLiteral("word/media/x.bin"), Zeros(100 << 20), true, 1000});
         },
         "x.bin"},
        {"many parts, together above the cap",
         [](auto& e) {
             for (int i = 0; i < 5; ++i)
                 e.push_back({QStringLiteral("word/media/%1.bin").arg(i), Zeros(15 << 20), true});
         },
         "more than 64 MB"},
        {"a part named twice", [](auto& e) { e.push_back(EntryOf(e, kMain)); }, "named"},
        {"a part named twice in another case",
         [](auto& e) {
             ZipEntry copy = EntryOf(e, kMain);
             copy.name = QStringLiteral("Word/Document.xml");
             e.push_back(copy);
         },
         "named"},
        {"no content types",
         [](auto& e) {
             std::erase_if(e, [](const ZipEntry& z) { return z.name == u"[Content_Types].xml"; });
         },
         "Content_Types"},
        {"said to be UTF-16",
         [](auto& e) {
             EditMain(e, [](QString& x) {
                 x.replace(QStringLiteral("encoding=\"UTF-8\""),
                           QStringLiteral("encoding=\"UTF-16\""));
             });
         },
         "main part"},
        {"in UTF-16",
         [](auto& e) {
             ZipEntry& main = EntryOf(e, kMain);
             const QString text = QString::fromUtf8(main.data);
             main.data = QByteArray("\xFF\xFE") +
                         QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
         },
         "main part"},
        {"no body",
         [](auto& e) {
             EditMain(e, [](QString& x) {
                 x.replace(QStringLiteral("w:body>"), QStringLiteral("w:bodies>"));
             });
         },
         "no body"},
    };
}

std::vector<CraftedTemplate> CrowdedTemplates() {
    return {
        {"paragraphs nested 100,000 deep before the table",
         [](auto& e) {
             EditMain(e, [](QString& x) {
                 x.replace(QStringLiteral("<w:body>"),
                           QStringLiteral("<w:body>") + QStringLiteral("<w:p>").repeated(100000) +
                               QStringLiteral("<w:r><w:t>x</w:t></w:r>") +
                               QStringLiteral("</w:p>").repeated(100000));
             });
         }},
        {"runs nested 100,000 deep in a paragraph",
         [](auto& e) {
             EditMain(e, [](QString& x) {
                 x.replace(
                     QStringLiteral("<w:body>"),
                     QStringLiteral("<w:body><w:p>") + QStringLiteral("<w:r>").repeated(100000) +
                         QStringLiteral("</w:r>").repeated(100000) + QStringLiteral("</w:p>"));
             });
         }},
        {"20,000 relationships",
         [](auto& e) {
             ZipEntry& rels = EntryOf(e, QStringLiteral("word/_rels/document.xml.rels"));
             QString text = QString::fromUtf8(rels.data);
             QString many;
             for (int i = 1; i <= 20000; ++i)
                 many += QStringLiteral("<Relationship Id=\"rIdChart%1\" Type=\"x\" "
                                        "Target=\"media/chart%1.png\"/>")
                             .arg(i);
             text.replace(QStringLiteral("</Relationships>"), many + "</Relationships>");
             rels.data = text.toUtf8();
         }},
    };
}

QByteArray CraftedBytes(const QString& base, const CraftedTemplate& crafted) {
    std::vector<ZipEntry> entries = ZipEntries(base);
    if (entries.empty())
        return {};
    crafted.edit(entries);
    return ZipBytes(entries);
}
