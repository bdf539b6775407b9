// "测试档案": its filters, its sorting by the archive, opening, annotating
// and writing tests out.
#include "ArchiveModel.h"
#include "Message.h"
#include "SampleTests.h"
#include "TestBody.h"
#include "UDlgArchive.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class ArchiveWindow : public ::testing::Test {
protected:
    void SetUp() override {
        archive_ = Archive::Open(*ParseArchiveLocation(folder_.filePath("a.sqlite")));
        ASSERT_TRUE(archive_);
        struct Row {
            const char *place, *user, *time;
            int step;
        };
        const Row rows[] = {{"北郊站", "王工", "2026-05-04 10:20:30", 9},
                            {"北郊站", "李工", "2026-05-04 11:00:00", 8},
                            {"西山站", "王工", "2025-03-01 09:00:00", 9}};
        unsigned seed = 0;
        for (const Row& r : rows) {
            bytes_ << SampleTestBytes(seed++, QString::fromUtf8(r.place), QString::fromUtf8(r.user),
                                      r.step, QString::fromLatin1(r.time));
            ASSERT_EQ(archive_->Add(bytes_.back(), TestSource::File, {}).outcome,
                      AddOutcome::Added);
        }
        window_ = std::make_unique<TFrmArchive>(*archive_, [this](const QString& id, bool marks) {
            opened_ << QStringLiteral("%1 %2").arg(id).arg(marks);
        });
    }
    QStringList Times() const {
        QStringList times;
        for (int row = 0; row < window_->Model().rowCount(); ++row)
            times << window_->Model().TestAt(row).time.left(10);
        return times;
    }

    QTemporaryDir folder_;
    std::unique_ptr<Archive> archive_;
    QList<QByteArray> bytes_;
    std::unique_ptr<TFrmArchive> window_;
    QStringList opened_;
};

TEST_F(ArchiveWindow, FiltersAndSortsThroughTheArchive) {
    EXPECT_EQ(Times(), (QStringList{"2026-05-04", "2026-05-04", "2025-03-01"})) << "newest first";
    EXPECT_EQ(window_->LblCount->text(), u"共 3 次测试");
    struct Case {
        const char* name;
        std::function<void(TFrmArchive&)> set;
        QStringList times;
    };
    const Case cases[] = {
        {"place",
         [](TFrmArchive& w) { w.EdtPlace->setText(QStringLiteral("西山")); },
         {"2025-03-01"}},
        {"tester",
         [](TFrmArchive& w) { w.EdtUser->setText(QStringLiteral("李")); },
         {"2026-05-04"}},
        {"dates",
         [](TFrmArchive& w) {
             w.EdtFrom->setDate(QDate(2025, 1, 1));
             w.EdtTo->setDate(QDate(2025, 12, 31));
             w.cbDates->setChecked(true);
         },
         {"2025-03-01"}},
        {"step 9 (4 -> 5)",
         [](TFrmArchive& w) { w.cbStep->setCurrentIndex(1 + 9); },
         {"2026-05-04", "2025-03-01"}},
        {"down", [](TFrmArchive& w) { w.cbDirection->setCurrentIndex(2); }, {"2026-05-04"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TFrmArchive window(*archive_, {});
        c.set(window);
        window.Refresh(); // typing waits for a pause
        QStringList times;
        for (int row = 0; row < window.Model().rowCount(); ++row)
            times << window.Model().TestAt(row).time.left(10);
        EXPECT_EQ(times, c.times);
    }
    // A click on the time header turns the order round.
    window_->Grid->horizontalHeader()->sectionClicked(ArchiveModel::Time);
    EXPECT_EQ(Times().first(), u"2025-03-01");
    window_->Grid->horizontalHeader()->sectionClicked(ArchiveModel::Place);
    EXPECT_EQ(window_->Model().TestAt(2).place, u"西山站");
}

TEST_F(ArchiveWindow, OpensAnnotatesAndWritesTestsOut) {
    window_->SelectRow(2);
    window_->BtnOpenClick(false);
    window_->BtnOpenClick(true);
    const QString id = TestId(bytes_[2]);
    EXPECT_EQ(opened_, (QStringList{id + " 0", id + " 1"}));

    EXPECT_TRUE(window_->AnnotateSelected({QStringLiteral("西山站1号主变 OLTC"), {}, {}}));
    EXPECT_EQ(archive_->LatestAnnotation(id)->device, u"西山站1号主变 OLTC");
    window_->EdtDevice->setText(QStringLiteral("1号主变"));
    window_->Refresh();
    ASSERT_EQ(window_->Model().rowCount(), 1);
    EXPECT_EQ(window_->Model()
                  .data(window_->Model().index(0, ArchiveModel::Device), Qt::DisplayRole)
                  .toString(),
              QStringLiteral("西山站1号主变 OLTC"));

    window_->EdtDevice->clear();
    window_->Refresh();
    window_->Grid->selectAll();
    const QString out = folder_.filePath("out");
    QDir().mkpath(out);
    window_->BtnExportClick(out);
    window_->BtnExportClick(out); // again: new names beside, nothing replaced
    const QStringList files = QDir(out).entryList(QDir::Files, QDir::Name);
    EXPECT_EQ(files, (QStringList{"2025-03-01 09-00-00 (2).cty", "2025-03-01 09-00-00.cty",
                                  "2026-05-04 10-20-30 (2).cty", "2026-05-04 10-20-30.cty",
                                  "2026-05-04 11-00-00 (2).cty", "2026-05-04 11-00-00.cty"}));
    QFile back(QDir(out).filePath("2025-03-01 09-00-00.cty"));
    ASSERT_TRUE(back.open(QIODevice::ReadOnly));
    EXPECT_EQ(back.readAll(), bytes_[2]);
}

} // namespace
