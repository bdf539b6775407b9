// Templates made to break the export: sizes that lie, bombs, parts nested
// or listed by the ten thousand, encodings and parts that do not fit. Each
// is refused with the template's reason, or exported at once, and never
// takes the memory it asks for.
#include "CraftedTemplates.h"
#include "Document.h"
#include "DocxPackage.h"
#include "ReadBack.h"

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

const QString& kMain = kMainPart;

// The largest memory the process has held, in megabytes.
long PeakMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
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
    const QByteArray bytes = CraftedBytes(TemplatePath(), {"", edit});
    EXPECT_FALSE(bytes.isEmpty());
    return Write(folder, bytes);
}

} // namespace

TEST(CraftedTemplate, IsRefusedQuicklyAndWithinItsMemory) {
    for (const CraftedTemplate& c : RefusedTemplates()) {
        SCOPED_TRACE(c.name);
        QTemporaryDir folder;
        const QString model = Crafted(folder, c.edit);
        const QString path = folder.filePath(QStringLiteral("t.docx"));
        const long before = PeakMegabytes();
        QElapsedTimer clock;
        clock.start();
        const ExportResult result = WriteDocument(SampleShown(), SamplePicture(), model, path);
        EXPECT_LT(clock.elapsed(), 3000);
#ifndef __SANITIZE_ADDRESS__ // which keeps what is freed in quarantine
        EXPECT_LT(PeakMegabytes() - before, 150) << "megabytes taken";
#else
        (void)before;
#endif
        EXPECT_EQ(result.code, ExportResult::TemplateMismatch) << result.detail.toStdString();
        EXPECT_TRUE(result.detail.contains(QString::fromUtf8(c.said)))
            << result.detail.toStdString();
        EXPECT_FALSE(QFile::exists(path));
    }
}

TEST(CraftedTemplate, DeepOrCrowdedTemplatesExportAtOnce) {
    for (const CraftedTemplate& c : CrowdedTemplates()) {
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
