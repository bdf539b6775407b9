// Templates made to break the export: sizes that lie, bombs, parts nested
// or listed by the ten thousand, encodings and parts that do not fit. Each
// is refused with the template's reason, or exported at once, and never
// takes the memory it asks for.
#include "Document.h"
#include "DocxPackage.h"
#include "ReadBack.h"
#include "ZipBytes.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <pugixml.hpp>
#include <random>
#include <sys/resource.h>

namespace {

const QString kMain = QStringLiteral("word/document.xml");

// The largest memory the process has held, in megabytes.
long PeakMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

ZipEntry& EntryOf(std::vector<ZipEntry>& entries, const QString& name) {
    for (ZipEntry& e : entries)
        if (e.name == name)
            return e;
    entries.push_back({name, {}, true, -1});
    return entries.back();
}

QString Write(const QTemporaryDir& folder, const QByteArray& bytes) {
    const QString path = folder.filePath(QStringLiteral("Model.pat"));
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return path;
}

// The shipped template with `edit` applied to its parts.
QString Crafted(const QTemporaryDir& folder,
                const std::function<void(std::vector<ZipEntry>&)>& edit) {
    std::vector<ZipEntry> entries = ZipEntries(TemplatePath());
    EXPECT_FALSE(entries.empty());
    edit(entries);
    return Write(folder, ZipBytes(entries));
}

void EditMain(std::vector<ZipEntry>& entries, const std::function<void(QString&)>& edit) {
    ZipEntry& main = EntryOf(entries, kMain);
    QString text = QString::fromUtf8(main.data);
    edit(text);
    main.data = text.toUtf8();
}

QByteArray Zeros(qsizetype size) {
    return QByteArray(size, '\0');
}

} // namespace

TEST(CraftedTemplate, IsRefusedQuicklyAndWithinItsMemory) {
    struct Case {
        const char* name;
        std::function<void(std::vector<ZipEntry>&)> edit;
        const char* said; // in the reason
    };
    const Case cases[] = {
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
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir folder;
        const QString model = Crafted(folder, c.edit);
        const QString path = folder.filePath(QStringLiteral("t.docx"));
        const long before = PeakMegabytes();
        QElapsedTimer clock;
        clock.start();
        const ExportResult result = WriteDocument(SampleShown(), SamplePicture(), model, path);
        EXPECT_LT(clock.elapsed(), 3000);
        EXPECT_LT(PeakMegabytes() - before, 150) << "megabytes taken";
        EXPECT_EQ(result.code, ExportResult::TemplateMismatch) << result.detail.toStdString();
        EXPECT_TRUE(result.detail.contains(QString::fromUtf8(c.said)))
            << result.detail.toStdString();
        EXPECT_FALSE(QFile::exists(path));
    }
}

TEST(CraftedTemplate, DeepOrCrowdedTemplatesExportAtOnce) {
    struct Case {
        const char* name;
        std::function<void(std::vector<ZipEntry>&)> edit;
    };
    const Case cases[] = {
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
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir folder;
        const QString model = Crafted(folder, c.edit);
        EXPECT_LT(QFileInfo(model).size(), 256 << 10) << "a small file";
        const QString path = folder.filePath(QStringLiteral("t.docx"));
        QElapsedTimer clock;
        clock.start();
        const ExportResult result = WriteDocument(SampleShown(), SamplePicture(), model, path);
        EXPECT_LT(clock.elapsed(), 1000);
        EXPECT_TRUE(result.ok()) << result.detail.toStdString();
        DocxPackage written;
        ASSERT_TRUE(written.Open(path));
        pugi::xml_document main;
        EXPECT_TRUE(written.LoadXml(kMain, main));
    }
}

TEST(CraftedTemplate, ThePicturesIdIsAFreeUnsigned32BitNumber) {
    struct Case {
        const char* ids; // of drawings already in the template
        unsigned long long expected;
    };
    const Case cases[] = {
        {"7", 8},
        {"2147483647", 2147483648ull},
        {"2147483648", 2147483649ull},
        {"4294967294", 4294967295ull},
        {"4294967295 1 2", 3},
        {"18446744073709551615", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ids);
        QTemporaryDir folder;
        const QString model = Crafted(folder, [&](auto& e) {
            EditMain(e, [&](QString& x) {
                QString drawings;
                for (const QString& id : QString::fromLatin1(c.ids).split(u' '))
                    drawings +=
                        QStringLiteral("<w:p><w:r><w:drawing><wp:inline><wp:docPr id=\"%1\" "
                                       "name=\"d\"/></wp:inline></w:drawing></w:r></w:p>")
                            .arg(id);
                x.replace(QStringLiteral("<w:body>"), QStringLiteral("<w:body>") + drawings);
            });
        });
        const QString path = folder.filePath(QStringLiteral("t.docx"));
        ASSERT_TRUE(WriteDocument(SampleShown(), SamplePicture(), model, path).ok());
        DocxPackage written;
        ASSERT_TRUE(written.Open(path));
        const QString main = QString::fromUtf8(written.Part(kMain));
        const auto match =
            QRegularExpression(QStringLiteral("docPr id=\"(\\d+)\" name=\"测试曲线\"")).match(main);
        ASSERT_TRUE(match.hasMatch());
        EXPECT_EQ(match.captured(1).toULongLong(), c.expected);
    }
}

// Random packages: entries of random names, sizes, compression and
// content, XML nested at random. Whatever comes, the reader and the export
// end with an answer, within their caps.
TEST(CraftedTemplate, RandomPackagesNeverCrashOrHang) {
    std::mt19937 rng(20261210);
    const std::vector<ZipEntry> real = ZipEntries(TemplatePath());
    ASSERT_FALSE(real.empty());
    const auto pick = [&](int n) { return int(rng() % unsigned(n)); };
    const auto xml = [&] {
        QString text;
        const int depth = pick(3000);
        const char* names[] = {"w:p", "w:r", "w:t", "w:tbl", "w:tr", "w:tc", "w:body"};
        QStringList open;
        for (int i = 0; i < depth; ++i) {
            const QString name = QString::fromLatin1(names[pick(7)]);
            text += u'<' + name + u'>';
            open << name;
            if (pick(4) == 0)
                text += QStringLiteral("pic");
            if (pick(5) == 0 && !open.isEmpty())
                text += QStringLiteral("</") + open.takeLast() + u'>';
        }
        while (!open.isEmpty())
            text += QStringLiteral("</") + open.takeLast() + u'>';
        return text.toUtf8();
    };
    QElapsedTimer clock;
    clock.start();
    int rounds = 0;
    for (; rounds < 400 && clock.elapsed() < 20000; ++rounds) {
        std::vector<ZipEntry> entries = real;
        for (int edits = pick(4) + 1; edits > 0; --edits) {
            ZipEntry& e = entries[size_t(pick(int(entries.size())))];
            switch (pick(6)) {
            case 0:
                e.data = xml();
                break;
            case 1:
                e.data.truncate(pick(int(e.data.size()) + 1));
                break;
            case 2:
                e.declared = pick(2) ? qint64(rng()) : qint64(rng()) << pick(40);
                break;
            case 3:
                e.deflate = !e.deflate;
                break;
            case 4:
                e.data = EntryOf(entries, kMain).data.replace("w:tr", "w:tc");
                break;
            default:
                if (!e.data.isEmpty())
                    e.data[pick(int(e.data.size()))] = char(rng());
                break;
            }
        }
        QByteArray bytes = ZipBytes(entries);
        if (pick(3) == 0)
            bytes[pick(int(bytes.size()))] = char(rng());
        QTemporaryDir folder;
        const QString model = Write(folder, bytes);
        const ExportResult result = WriteDocument(SampleShown(), SamplePicture(), model,
                                                  folder.filePath(QStringLiteral("t.docx")));
        EXPECT_TRUE(result.ok() || result.code == ExportResult::TemplateMismatch)
            << result.detail.toStdString();
    }
    EXPECT_GE(rounds, 30) << "rounds in the time";
}
