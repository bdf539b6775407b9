#include "MainWindowFixture.h"

#include "ChartPicture.h"
#include "ExportActions.h"
#include "Identity.h"
#include "Screenshot.h"
#include "UDlgProcess.h"

#include <QFile>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

namespace {

QByteArray Contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

} // namespace

class ExportTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        savedOpener_ = OpenFolder();
        OpenFolder() = [this](const QString& folder) { opened << folder; };
        Dialogs().saveFile = [this](QWidget*, const FileDialogRequest& r) {
            lastRequest = r;
            ++dialogs;
            if (r.chosenFilter)
                *r.chosenFilter = chosenFilter;
            return answer;
        };
        QDir().mkpath(FilePath("Model"));
        QFile::copy(QStringLiteral(OLTC_TEMPLATE_PATH), FilePath("Model/Model.pat"));
        answer = WriteTest("t.cty");
        window->BtnOpen->click();
        ASSERT_TRUE(Record().HasData);
    }
    void TearDown() override {
        OpenFolder() = savedOpener_;
        MainWindowTest::TearDown();
    }

    // Presses "导出" while watching its progress window: cancels when the
    // count bar reaches `cancelAt` and notes each tip.
    void ExportWatched(int cancelAt) {
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, [&] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* process = qobject_cast<TFrmProcess*>(w);
                    process && process->isVisible()) {
                    const QString tip = process->lblTip->text();
                    if (tips.isEmpty() || tips.last() != tip) {
                        tips << tip;
                        KeepScreenshot(process, tips.size() == 1 ? "export-progress.png"
                                                                 : "export-progress-2.png");
                    }
                    ranges = {process->PBCount->maximum(), process->PBProcess->maximum()};
                    if (process->PBCount->value() == cancelAt)
                        process->BtnCancel->click();
                    window->BtnExport->click(); // a second export never starts
                }
        });
        watch.start(1);
        QTest::mouseClick(window->BtnExport, Qt::LeftButton);
        watch.stop();
    }

    QStringList opened;
    QStringList tips;
    std::pair<int, int> ranges{};
    int dialogs = 0;
    QString chosenFilter;

private:
    FolderOpener savedOpener_;
};

TEST_F(ExportTest, TheDialogAndThePictureBeforeIt) {
    answer.clear(); // cancelled
    window->BtnExport->click();
    EXPECT_EQ(lastRequest.title, u"保存当前测试数据");
    EXPECT_EQ(lastRequest.folder, FilePath("测试记录"));
    EXPECT_TRUE(QFileInfo(lastRequest.folder).isDir());
    EXPECT_EQ(lastRequest.filter, u"测试数据文件(*.xlsx);;测试数据文件(*.docx);;波形数据(*.csv);;"
                                  u"COMTRADE波形数据(*.cfg)");
    EXPECT_EQ(lastRequest.defaultSuffix, u"xlsx");
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d\\d-\\d\\d-\\d\\d \\d\\d-\\d\\d-\\d\\d$"))
                    .match(lastRequest.proposedName)
                    .hasMatch());
    EXPECT_EQ(lastRequest.selectedFilter, u"") << "the first entry at the first use";
    // The chart as shown, even though the dialog was cancelled.
    const QImage picture(FilePath("t.bmp"));
    EXPECT_EQ(picture.size(), window->ChartA->size());
    EXPECT_EQ(picture.convertToFormat(QImage::Format_RGB32),
              window->ChartA->grab().toImage().convertToFormat(QImage::Format_RGB32));
    EXPECT_TRUE(opened.isEmpty());

    // The entry chosen is selected again next time.
    chosenFilter = QStringLiteral("波形数据(*.csv)");
    answer = FilePath("测试记录/w.csv");
    window->BtnExport->click();
    answer.clear();
    window->BtnExport->click();
    EXPECT_EQ(lastRequest.selectedFilter, u"波形数据(*.csv)");
    EXPECT_TRUE(Contents(FilePath("测试记录/w.csv"))
                    .startsWith("index,time_ms,A_ohm,B_ohm,C_ohm\n1,0.1,0.50,"));
    EXPECT_EQ(opened, QStringList{FilePath("测试记录")});
    EXPECT_TRUE(messages.isEmpty());

    // The chart drawn for the command line has the window's chart size.
    EXPECT_EQ(ChartSizeAtOpening(), window->ChartA->size());
}

TEST_F(ExportTest, TheNameChoosesTheExportAndEachStepCanCancel) {
    struct Case {
        const char* name;
        int cancelAt;
        const char* written; // what the file holds afterwards
        bool opened;
        QStringList tips;
    };
    const QStringList excel{QStringLiteral("正在进行Excel报表转换，请稍候...")};
    const QStringList word{QStringLiteral("正在为报表转换作准备，请稍候..."),
                           QStringLiteral("正在模板制作过程中..."),
                           QStringLiteral("正在加载数据过程中...")};
    const Case cases[] = {
        {"a.xlsx", 0, "xl/workbook.xml", true, excel},
        {"a.xls", 0, "xl/workbook.xml", true, excel},
        {"noext", 0, "xl/workbook.xml", true, excel},
        {"a.xlsx", 1, "earlier", false, excel},
        {"a.xlsx", 2, "xl/workbook.xml", false, excel}, // complete: only the folder stays shut
        {"a.DOCX", 0, "word/document.xml", true, word},
        {"a.doc", 0, "word/document.xml", true, word},
        {"a.docx", 1, "earlier", false, word.mid(0, 1)},
        {"a.docx", 2, "earlier", false, word.mid(0, 2)},
        {"a.docx", 3, "earlier", false, word},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " cancel at " + std::to_string(c.cancelAt));
        answer = FilePath(c.name);
        QFile::remove(answer);
        QFile earlier(answer);
        ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
        earlier.write("earlier");
        earlier.close();
        opened.clear();
        tips.clear();
        dialogs = 0;
        ExportWatched(c.cancelAt);
        EXPECT_EQ(dialogs, 1);
        const QByteArray now = Contents(answer);
        if (std::string_view(c.written) == "earlier")
            EXPECT_EQ(now, "earlier");
        else
            EXPECT_TRUE(now.startsWith("PK") && now.contains(c.written));
        EXPECT_EQ(opened, c.opened ? QStringList{folder.path()} : QStringList{});
        EXPECT_EQ(tips, c.tips);
        EXPECT_EQ(ranges, (c.tips == excel ? std::pair{2, 3} : std::pair{4, 3}));
        EXPECT_TRUE(messages.isEmpty()) << messages.join(u' ').toStdString();
        EXPECT_TRUE(window->BtnExport->isEnabled());
    }
}

// A name ending in .cfg writes the waveforms as COMTRADE: the configuration,
// its binary data and the header, beside each other.
TEST_F(ExportTest, ACfgNameWritesComtrade) {
    chosenFilter = QStringLiteral("COMTRADE波形数据(*.cfg)");
    answer = FilePath("测试记录/w.CFG");
    window->BtnExport->click();
    EXPECT_TRUE(messages.isEmpty()) << messages.join(u' ').toStdString();
    const QByteArray cfg = Contents(FilePath("测试记录/w.CFG"));
    // No place given; the device the brand the window holds.
    EXPECT_TRUE(
        cfg.startsWith(("," + BrandText(window->ShownNow().brand) +
                        ",2013\r\n3,3A,0D\r\n1,A,A,,Ohm,0.01,327.67,0,-32717,-32446,1,1,P\r\n")
                           .toUtf8()))
        << cfg.constData();
    EXPECT_TRUE(
        cfg.contains("\r\n21/12/2010,08:05:03.000000\r\n21/12/2010,08:05:03.000000\r\nBINARY\r\n"));
    EXPECT_EQ(Contents(FilePath("测试记录/w.DAT")).size(), 2688 * 14);
    EXPECT_TRUE(Contents(FilePath("测试记录/w.HDR")).contains("测试人员：Li\r\n"));
    EXPECT_EQ(opened, QStringList{FilePath("测试记录")});
    EXPECT_EQ(lastRequest.selectedFilter, u"");

    // Samples binary cannot hold (0 and 655.35 ohm in one phase) go as ASCII.
    TestRecord wide;
    wide.strTestTime.Set("2010-12-21 08:05:03");
    for (int k = 1; k <= kSampleCount; ++k)
        wide.WaveA[k - 1] = k % 2 ? 0 : 65535;
    ASSERT_TRUE(WriteTestFile(FilePath("wide.cty"), wide));
    answer = FilePath("wide.cty");
    window->BtnOpen->click();
    answer = FilePath("测试记录/wide.cfg");
    window->BtnExport->click();
    EXPECT_TRUE(messages.isEmpty()) << messages.join(u' ').toStdString();
    EXPECT_TRUE(Contents(FilePath("测试记录/wide.cfg")).contains("\r\nASCII\r\n1.0\r\n"));
    EXPECT_TRUE(
        Contents(FilePath("测试记录/wide.dat")).startsWith("1,0,0,0,0\r\n2,100,65535,0,0\r\n"));

    // Where the set cannot go, it is told and nothing of it is left.
    opened.clear();
    QDir().mkdir(FilePath("测试记录/x.hdr"));
    answer = FilePath("测试记录/x.cfg");
    window->BtnExport->click();
    EXPECT_EQ(messages, QStringList{QStringLiteral("导出波形数据失败！")});
    EXPECT_FALSE(QFileInfo::exists(FilePath("测试记录/x.cfg")));
    EXPECT_FALSE(QFileInfo::exists(FilePath("测试记录/x.dat")));
    EXPECT_TRUE(opened.isEmpty());
}

TEST_F(ExportTest, FailuresAreTold) {
    // No template: its message, and nothing written.
    QFile::remove(FilePath("Model/Model.pat"));
    answer = FilePath("r.docx");
    window->BtnExport->click();
    EXPECT_EQ(messages, QStringList{QStringLiteral("系统数据已遭到破坏！\r\r请重新安装系统！")});
    EXPECT_EQ(icons, std::vector<MsgIcon>{MsgIcon::Warning});
    EXPECT_FALSE(QFileInfo::exists(answer));

    // A folder where the file should go.
    messages.clear();
    QDir().mkdir(FilePath("x.xlsx"));
    answer = FilePath("x.xlsx");
    window->BtnExport->click();
    EXPECT_EQ(messages, QStringList{QStringLiteral("转换成Excel格式失败！")});
    EXPECT_TRUE(QFileInfo(answer).isDir());

    // The chart picture cannot be written: the general error handler tells,
    // and no dialog opens.
    messages.clear();
    QFile::remove(FilePath("t.bmp"));
    QDir().mkdir(FilePath("t.bmp"));
    dialogs = 0;
    QTest::mouseClick(window->BtnExport, Qt::LeftButton);
    EXPECT_EQ(dialogs, 0);
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains(u"t.bmp")) << messages[0].toStdString();
    EXPECT_TRUE(window->BtnExport->isEnabled());
}

// A document that cannot be put where it was asked for is told before the
// progress window opens, and nothing is left there.
TEST_F(ExportTest, ADocumentThatCannotBeWrittenIsToldBeforeAnyProgress) {
    struct Case {
        const char* what;
        const char* name;
    };
    const Case cases[] = {
        {"a folder of that name", "shelf.docx"},
        {"no such folder", "nowhere/r.docx"},
        {"a file as its folder", "t.cty/r.docx"},
    };
    QDir().mkdir(FilePath("shelf.docx"));
    bool progressShown = false;
    SetMessageSink([&](const QString& text, MsgIcon icon) {
        messages << text;
        icons.push_back(icon);
        for (QWidget* w : QApplication::topLevelWidgets())
            progressShown |= qobject_cast<TFrmProcess*>(w) && w->isVisible();
    });
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        messages.clear();
        icons.clear();
        tips.clear();
        progressShown = false;
        answer = FilePath(c.name);
        ExportWatched(0);
        EXPECT_EQ(messages, QStringList{QStringLiteral("系统操作发生意外！")});
        EXPECT_EQ(icons, std::vector<MsgIcon>{MsgIcon::Warning});
        EXPECT_FALSE(progressShown) << "the message comes before the progress window";
        EXPECT_TRUE(tips.isEmpty()) << tips.join(u' ').toStdString();
        EXPECT_TRUE(opened.isEmpty());
        EXPECT_TRUE(window->BtnExport->isEnabled());
    }
    EXPECT_TRUE(QFileInfo(FilePath("shelf.docx")).isDir());
    EXPECT_FALSE(QFileInfo::exists(FilePath("nowhere")));
    EXPECT_EQ(QDir(folder.path())
                  .entryList(QStringList{QStringLiteral(".*.part")}, QDir::Files | QDir::Hidden),
              QStringList{})
        << "no staged file left behind";
}
