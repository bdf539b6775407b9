// Under English every text the program shows or writes for a person is
// English: the window, its dialogs and messages, the report page, the
// workbooks and the summary. Only the test's own texts stay as they are.
#include "MainWindowFixture.h"

#include "Screenshot.h"

#include "Archive.h"
#include "ChartPicture.h"
#include "Language.h"
#include "ParamLists.h"
#include "SimCampaign.h"
#include "SummaryWorkbook.h"
#include "UDlgArchive.h"
#include "UDlgSetComm.h"
#include "UDlgSummary.h"
#include "UQRMain.h"
#include "Workbook.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProcess>
#include <QTabWidget>
#include <QTableView>

namespace {

// Han characters and the full-width punctuation Chinese texts use.
bool Chinese(const QString& text) {
    for (const QChar c : text)
        if ((c.unicode() >= 0x4E00 && c.unicode() <= 0x9FFF) ||
            (c.unicode() >= 0xFF01 && c.unicode() <= 0xFF5E) ||
            (c.unicode() >= 0x3001 && c.unicode() <= 0x3011))
            return true;
    return false;
}

// Every text a window and its children show, with where it is.
QStringList ChineseIn(QWidget* root) {
    QStringList found;
    const auto check = [&](const QObject* where, const QString& what, const QString& text) {
        if (Chinese(text))
            found << QStringLiteral("%1 %2: %3").arg(where->objectName(), what, text);
    };
    QList<QWidget*> widgets = root->findChildren<QWidget*>();
    widgets.prepend(root);
    for (QWidget* w : widgets) {
        check(w, QStringLiteral("title"), w->windowTitle());
        check(w, QStringLiteral("tip"), w->toolTip());
        if (auto* b = qobject_cast<QAbstractButton*>(w))
            check(w, QStringLiteral("text"), b->text());
        if (auto* l = qobject_cast<QLabel*>(w))
            check(w, QStringLiteral("text"), l->text());
        if (auto* g = qobject_cast<QGroupBox*>(w))
            check(w, QStringLiteral("title"), g->title());
        if (auto* c = qobject_cast<QComboBox*>(w))
            for (int i = 0; i < c->count(); ++i)
                check(w, QStringLiteral("item"), c->itemText(i));
        if (auto* t = qobject_cast<QTabWidget*>(w))
            for (int i = 0; i < t->count(); ++i)
                check(w, QStringLiteral("tab"), t->tabText(i));
        if (auto* e = qobject_cast<QPlainTextEdit*>(w))
            check(w, QStringLiteral("text"), e->toPlainText());
        if (auto* v = qobject_cast<QTableView*>(w); v && v->model())
            for (int c = 0; c < v->model()->columnCount(); ++c) {
                check(w, QStringLiteral("header"),
                      v->model()->headerData(c, Qt::Horizontal).toString());
                for (int r = 0; r < std::min(v->model()->rowCount(), 40); ++r) {
                    check(w, QStringLiteral("cell"), v->model()->index(r, c).data().toString());
                    check(w, QStringLiteral("cell tip"),
                          v->model()->index(r, c).data(Qt::ToolTipRole).toString());
                }
            }
        if (auto* m = qobject_cast<QMenu*>(w))
            for (QAction* a : m->actions())
                check(w, QStringLiteral("menu"), a->text());
    }
    return found;
}

class EnglishWindow : public MainWindowTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(InstallLanguage(Language::English));
        MainWindowTest::SetUp();
    }
    void TearDown() override {
        MainWindowTest::TearDown();
        InstallLanguage(Language::Chinese);
    }
};

} // namespace

TEST(Language, TheLocaleOrAChoiceDecides) {
    struct Case {
        const char *all, *messages, *lang;
        Language expected;
    } cases[] = {
        {"", "", "", Language::Chinese},
        {"", "", "en_US.UTF-8", Language::English},
        {"", "", "en", Language::English},
        {"", "", "C.UTF-8", Language::Chinese},
        {"", "", "POSIX", Language::Chinese},
        {"", "", "zh_CN.UTF-8", Language::Chinese},
        {"C", "", "en_US.UTF-8", Language::Chinese},
        {"", "en_GB.UTF-8", "zh_CN.UTF-8", Language::English},
        {"en_US.UTF-8", "zh_CN.UTF-8", "", Language::English},
        {"de_DE.UTF-8", "", "en_US.UTF-8", Language::Chinese},
    };
    for (const Case& c : cases)
        EXPECT_EQ(LanguageOfLocale(QString::fromLatin1(c.all), QString::fromLatin1(c.messages),
                                   QString::fromLatin1(c.lang)),
                  c.expected)
            << c.all << "|" << c.messages << "|" << c.lang;
    EXPECT_EQ(ChooseLanguage(QStringLiteral("en"), QStringLiteral("zh")), Language::English);
    EXPECT_EQ(ChooseLanguage(std::nullopt, QStringLiteral("EN")), Language::English);
    EXPECT_EQ(ChooseLanguage(QStringLiteral("zh"), QStringLiteral("en")), Language::Chinese);
    EXPECT_FALSE(LanguageNamed(QStringLiteral("fr")));
}

TEST(Language, ChineseIsTheProgramsOwnAndComesBack) {
    const QString before = AppTitle();
    ASSERT_TRUE(InstallLanguage(Language::English));
    EXPECT_EQ(AppTitle(), u"OLTC Transition Tester 1.2");
    EXPECT_EQ(SampleLengthItems(), (QStringList{"None", "Low", "Medium", "High"}));
    InstallLanguage(Language::Chinese);
    EXPECT_EQ(AppTitle(), before);
    EXPECT_EQ(AppTitle(), u"有载分接开关测试仪1.2");
    EXPECT_EQ(SampleLengthItems()[2], u"中");
}

TEST_F(EnglishWindow, NoChineseReachesTheWindowItsDialogsAndWhatItWrites) {
    // A campaign whose own texts are ASCII; one tap slow, so findings are said.
    Archive& archive = *window->TestArchive();
    const QList<SimCampaignFault> faults = {{SimCampaignFault::SlowPhase, 5, 2}};
    QStringList ids;
    for (int k = 1; k <= kSimCampaignTests; ++k) {
        TestRecord r;
        r.params.iTestStep = CampaignTestOf(1, k).step;
        r.strTestAdd.SetText(QStringLiteral("Bay 7"));
        r.strTestUser.SetText(QStringLiteral("Wang"));
        r.strTestTime.SetText(QStringLiteral("2026-06-01 10:%1:00").arg(k, 2, 10, QChar(u'0')));
        for (int phase = 1; phase <= 3; ++phase) {
            const auto samples = CampaignSamples(1, phase, k, faults);
            std::copy(samples.begin(), samples.end(), r.WaveOf(phase).begin());
        }
        ids << archive.Add(EncodeTestFile(r), TestSource::History, {}).id;
    }
    EXPECT_TRUE(ChineseIn(window.get()).isEmpty())
        << ChineseIn(window.get()).join(u'\n').toStdString();

    window->OpenArchivedTest(ids[4], false);
    window->BtnAutoMarkers->click();
    window->CompareWithArchivedBaseline(); // none marked: said so
    EXPECT_TRUE(ChineseIn(window.get()).isEmpty())
        << ChineseIn(window.get()).join(u'\n').toStdString();
    KeepScreenshot(window.get(), "english-window.png");

    // A message box's text.
    answer = FilePath("missing.cty");
    window->BtnOpen->click();
    ASSERT_FALSE(messages.isEmpty());
    for (const QString& m : messages)
        EXPECT_FALSE(Chinese(m)) << m.toStdString();

    window->BtnArchive->click();
    auto* archiveWindow = window->findChild<TFrmArchive*>();
    ASSERT_TRUE(archiveWindow);
    EXPECT_TRUE(ChineseIn(archiveWindow).isEmpty())
        << ChineseIn(archiveWindow).join(u'\n').toStdString();

    TFrmSummary* summary = window->SummariseArchived(ids);
    ASSERT_TRUE(summary);
    EXPECT_TRUE(summary->MemoFindings->toPlainText().contains(u"Phase B: T2 = "));
    EXPECT_TRUE(ChineseIn(summary).isEmpty()) << ChineseIn(summary).join(u'\n').toStdString();
    KeepScreenshot(summary, "english-summary.png");

    SystemSettings settings;
    TFrmSetComm comm(settings, window.get());
    EXPECT_TRUE(ChineseIn(&comm).isEmpty()) << ChineseIn(&comm).join(u'\n').toStdString();

    // The report page of the shown test.
    for (const PageText& t : ReportFill(window->ShownNow()).texts)
        EXPECT_FALSE(Chinese(t.text)) << t.name.toStdString() << ": " << t.text.toStdString();

    // The workbook of the test and the summary's, read by openpyxl; the summary's pages by poppler.
    ASSERT_TRUE(
        WriteWorkbook(window->ShownNow(), ChartPictureOf(*window->ChartA), FilePath("t.xlsx"))
            .ok());
    ASSERT_TRUE(summary->BtnExportClick(FilePath("s.xlsx")));
    ASSERT_TRUE(summary->BtnExportClick(FilePath("s.pdf")));
    ASSERT_TRUE(summary->BtnExportClick(FilePath("s.csv")));
    QProcess python;
    python.start(QStringLiteral("/usr/bin/python3"), {QStringLiteral("-c"), QStringLiteral(R"(
import sys, re, openpyxl
han = re.compile("[\u4e00-\u9fff\uff01-\uff5e\u3001-\u3011]")
for path in sys.argv[1:]:
    book = openpyxl.load_workbook(path)
    for sheet in book.worksheets:
        if han.search(sheet.title): print(path, "sheet", sheet.title)
        for row in sheet.iter_rows():
            for cell in row:
                if isinstance(cell.value, str) and han.search(cell.value):
                    print(path, cell.coordinate, cell.value)
)"),
                                                      FilePath("t.xlsx"), FilePath("s.xlsx")});
    ASSERT_TRUE(python.waitForFinished(60000));
    EXPECT_EQ(python.exitCode(), 0) << python.readAllStandardError().toStdString();
    EXPECT_EQ(QString::fromUtf8(python.readAllStandardOutput()), QString());
    QProcess pdf;
    pdf.start(QStringLiteral("pdftotext"), {FilePath("s.pdf"), QStringLiteral("-")});
    ASSERT_TRUE(pdf.waitForFinished(60000));
    const QString pages = QString::fromUtf8(pdf.readAllStandardOutput());
    EXPECT_TRUE(pages.contains(u"OLTC Transition Test Summary"));
    EXPECT_FALSE(Chinese(pages)) << pages.toStdString();
    QFile csv(FilePath("s.csv"));
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    EXPECT_FALSE(Chinese(QString::fromUtf8(csv.readAll())));
}
