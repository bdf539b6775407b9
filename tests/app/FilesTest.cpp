#include "MainWindowFixture.h"

#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QUrl>

TEST_F(MainWindowTest, OpenShowsTheTestLockedWithResults) {
    answer = WriteTest("t.cty", 1, 0); // (A.C)->B: B is not measured
    window->UnlockParamPanel();
    window->BtnOpen->click();
    EXPECT_EQ(lastRequest.title, u"打开试验数据");
    EXPECT_EQ(lastRequest.filter, u"测试数据文件(*.cty)");
    EXPECT_EQ(lastRequest.defaultSuffix, u"cty");
    EXPECT_EQ(lastRequest.folder, folder.path()) << "no test folder yet: the program folder";

    EXPECT_TRUE(Record().HasData);
    EXPECT_FALSE(window->cbSwitchType->isEnabled());
    EXPECT_EQ(window->cbSwitchType->currentText(), u"中性点不引出");
    EXPECT_EQ(window->cbTestStep->currentText(), u"8 -> 9");
    EXPECT_EQ(window->EdtUser->text(), u"Li");
    EXPECT_EQ(window->MemoTime->toPlainText(), u"2010-12-21 08:05:03");
    // Stage 10..20 ms holds 300 over a baseline of 50; 30..40 ms is 180 for
    // indices 300..349 and 321 (A) or 323 (C) for 350..400:
    // A (50*180 + 51*321) / 101 = 251.2 -> 251, C 25473 / 101 = 252.2 -> 252.
    const std::pair<const char*, const char*> shown[] = {
        {"EdtAT1", "10.0"}, {"EdtAT", "30.0"},  {"EdtAR1", "2.50"}, {"EdtAR2", "2.01"},
        {"EdtBT1", "0.0"},  {"EdtBR2", "0.00"}, {"EdtCR2", "2.02"}, {"EdtDT", "10.0"},
        {"EdtDT1", "10.0"}, {"EdtDR1", "2.50"}, {"EdtDR2", "2.02"}, {"EdtLoop", "2"},
        {"EdtAngle", "5"},
    };
    for (const auto& [name, text] : shown)
        EXPECT_EQ(Box(name), QLatin1String(text)) << name;
    EXPECT_TRUE(window->ChartA->Series(1)->data()->isEmpty());
    EXPECT_EQ(window->ChartA->Markers().phase[2], (std::array<int, 4>{100, 200, 300, 400}));
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(MainWindowTest, AShortFileLeavesTheDisplayAsItWas) {
    answer = WriteTest("good.cty");
    window->BtnOpen->click();
    ASSERT_EQ(Box("EdtAR1"), u"2.50");
    const TestRecord before = Record();

    QFile shortFile(FilePath("short.cty"));
    ASSERT_TRUE(shortFile.open(QIODevice::WriteOnly));
    shortFile.write(QByteArray(32355, '\x01'));
    shortFile.close();
    answer = shortFile.fileName();
    window->BtnOpen->click();
    EXPECT_EQ(messages, QStringList{QStringLiteral("打开数据文件失败！")});
    EXPECT_EQ(icons, std::vector<MsgIcon>{MsgIcon::Information});
    EXPECT_EQ(Record(), before);
    EXPECT_EQ(Box("EdtAR1"), u"2.50");
    EXPECT_FALSE(window->ChartA->Series(0)->data()->isEmpty());

    answer.clear(); // cancelled: nothing happens
    messages.clear();
    window->BtnOpen->click();
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_EQ(Record(), before);
}

TEST_F(MainWindowTest, SaveValidatesThenWritesWhatOpenReadsBack) {
    const QString path = FilePath("saved.cty");
    answer = path;
    window->UnlockParamPanel();
    SetQuietly(window->EdtSampleBurst, "2.5");
    window->EdtUser->setText(QStringLiteral("  王工  "));
    window->BtnSave->click();
    EXPECT_EQ(lastRequest.title, u"保存当前测试数据");
    EXPECT_EQ(lastRequest.folder, window->TestFolder());
    EXPECT_TRUE(QFileInfo(window->TestFolder()).isDir());
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d\\d-\\d\\d-\\d\\d \\d\\d-\\d\\d-\\d\\d$"))
                    .match(lastRequest.proposedName)
                    .hasMatch())
        << lastRequest.proposedName.toStdString();
    ASSERT_EQ(QFileInfo(path).size(), 32356);
    EXPECT_TRUE(messages.isEmpty());

    TestRecord saved;
    ASSERT_TRUE(ReadTestFile(path, saved));
    EXPECT_EQ(saved.params.iSampleBurst, 25);
    EXPECT_EQ(saved.strTestUser.Text(), u"王工");
    EXPECT_EQ(saved.SampleAt(kPhaseA, 1), 0) << "no test on screen: zero waveforms";

    // A failing panel writes nothing.
    QFile::remove(path);
    SetQuietly(window->EdtSampleBurst, "30");
    window->BtnSave->click();
    EXPECT_EQ(messages, QStringList{QStringLiteral("采样触发范围为：0.1--20Ω，请重新输入！")});
    EXPECT_FALSE(QFileInfo::exists(path));

    // A save that cannot be written says so.
    messages.clear();
    SetQuietly(window->EdtSampleBurst, "3");
    answer = FilePath("no/such/folder/x.cty");
    window->BtnSave->click();
    EXPECT_EQ(messages, QStringList{QStringLiteral("保存数据文件失败！")});
}

TEST_F(MainWindowTest, ADroppedTestFileOpens) {
    const QString path = WriteTest("dropped.cty");
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(path)});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window.get(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window.get(), &drop);
    EXPECT_TRUE(Record().HasData);
    EXPECT_EQ(Box("EdtAT1"), u"10.0");

    QMimeData other;
    other.setUrls({QUrl::fromLocalFile(FilePath("notes.txt"))});
    QDragEnterEvent refused(QPoint(10, 10), Qt::CopyAction, &other, Qt::LeftButton, Qt::NoModifier);
    refused.setAccepted(false);
    QApplication::sendEvent(window.get(), &refused);
    EXPECT_FALSE(refused.isAccepted());
}

TEST_F(MainWindowTest, SettingsAreWrittenWhenTheWindowGoes) {
    const QString settings = FilePath("SystemFile.ini");
    for (bool exitButton : {true, false}) {
        SCOPED_TRACE(exitButton ? "退出" : "close box");
        QFile::remove(settings);
        answer = WriteTest("t.cty", 1, 0);
        window->BtnOpen->click();
        colorAnswer = QColor(10, 20, 30);
        window->BtnColor->click();
        EXPECT_EQ(window->ChartA->BackgroundColor(), QColor(10, 20, 30));
        if (exitButton)
            window->BtnExit->click();
        else
            window->close();
        EXPECT_FALSE(window->isVisible());
        window.reset();
        QFile file(settings);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray text = file.readAll();
        for (const char* line :
             {"\r\niSwitchType=1\r\n", "\r\niTestStep=17\r\n", "\r\ngRColor=10\r\n",
              "\r\ngBColor=30\r\n", "\r\nstrTestUser=Li\r\n"})
            EXPECT_TRUE(text.contains(line)) << line;
        // The next run starts from them.
        window = std::make_unique<TFrmMain>(folder.path());
        EXPECT_EQ(window->cbSwitchType->currentIndex(), 1);
        EXPECT_EQ(window->ChartA->BackgroundColor(), QColor(10, 20, 30));
        window->show();
    }
}
