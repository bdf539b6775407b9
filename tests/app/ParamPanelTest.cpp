#include "GbkText.h"
#include "MainWindowFixture.h"

#include <QComboBox>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

TEST_F(MainWindowTest, StartsWithTheSettingsDefaultsLockedAndEmpty) {
    EXPECT_EQ(window->windowTitle(), u"有载分接开关测试仪1.2");
    EXPECT_EQ(window->StatusPanels[0]->text(), u"设备已断开！");
    EXPECT_EQ(window->cbSwitchType->currentText(), u"中性点引出");
    EXPECT_EQ(window->cbTestMode->currentText(), u"(A.B.C)->O");
    EXPECT_EQ(window->cbTestStep->currentText(), u"0 <- 1");
    EXPECT_EQ(window->cbTestStep->count(), 198);
    EXPECT_EQ(window->cbSampleLength->currentText(), u"中");
    EXPECT_EQ(window->cbChargeTime->currentText(), u"10");
    EXPECT_EQ(window->cbSeriesType->currentText(), u"电压");
    EXPECT_EQ(window->EdtSampleBurst->text(), u"0.1");
    EXPECT_EQ(window->EdtSamplePoint->text(), u"0");
    EXPECT_EQ(window->EdtSampleTime->text(), u"0.0");
    for (QWidget* w :
         {static_cast<QWidget*>(window->cbSwitchType),
          static_cast<QWidget*>(window->EdtSampleBurst), static_cast<QWidget*>(window->BtnTest)})
        EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString();
    EXPECT_TRUE(window->EdtUser->isEnabled());
    EXPECT_FALSE(window->BtnSampleData->isEnabled());
    EXPECT_EQ(window->size(), QSize(965, 752) - QSize(0, 0));
    EXPECT_EQ(window->minimumSize(), QSize(800, 600));
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(MainWindowTest, ReadParamPanelValidatesInOrder) {
    struct Case {
        QString burst, point, user;
        bool ok;
        const char* message;
        QWidget* focus;
        qint32 sampleBurst;
    };
    const QString ten = QString(10, QChar(0x6D4B));    // 20 bytes of GBK
    const QString eleven = QString(11, QChar(0x6D4B)); // 22 bytes
    const Case cases[] = {
        {"0.1", "0", "", true, nullptr, nullptr, 1},
        {"20", "0", "", true, nullptr, nullptr, 200},
        {" 2.25 ", "0", "", true, nullptr, nullptr, 22}, // 22.5 rounds to even
        {"0.05", "0", "", true, nullptr, nullptr, 1},
        {"20.01", "0", "", false, "采样触发范围为：0.1--20Ω，请重新输入！", window->EdtSampleBurst,
         -1},
        {"0.04", "0", "", false, "采样触发范围为：0.1--20Ω，请重新输入！", window->EdtSampleBurst,
         -1},
        {"", "0", "", false, "采样触发范围为：0.1--20Ω，请重新输入！", window->EdtSampleBurst, -1},
        {"abc", "0", "", false, "采样触发范围为：0.1--20Ω，请重新输入！", window->EdtSampleBurst,
         -1},
        {"1", "255", "", true, nullptr, nullptr, 10},
        {"1", "256", "", false, "预采样点范围为：0--255，请重新输入！", window->EdtSamplePoint, 10},
        {"1", "12.5", "", false, "预采样点范围为：0--255，请重新输入！", window->EdtSamplePoint,
         10},
        {"1", "", "", false, "预采样点范围为：0--255，请重新输入！", window->EdtSamplePoint, 10},
        {"1", "0", ten, true, nullptr, nullptr, 10},
        {"1", "0", eleven, false, "测试人员不得超过20个字符串！", window->EdtUser, 10},
    };
    window->UnlockParamPanel();
    window->activateWindow();
    for (const Case& c : cases) {
        SCOPED_TRACE((c.burst + "|" + c.point + "|" + c.user).toStdString());
        messages.clear();
        icons.clear();
        Record().params.iSampleBurst = -1;
        window->BtnOpen->setFocus(); // a focused pre-sample box would validate as it is set
        SetQuietly(window->EdtSampleBurst, c.burst);
        SetQuietly(window->EdtSamplePoint, c.point);
        SetQuietly(window->EdtUser, c.user);
        EXPECT_EQ(window->ReadParamPanel(), c.ok);
        if (c.ok) {
            EXPECT_TRUE(messages.isEmpty());
        } else {
            EXPECT_EQ(messages, QStringList{QString::fromUtf8(c.message)});
            EXPECT_EQ(icons, std::vector<MsgIcon>{MsgIcon::Error});
            EXPECT_EQ(QApplication::focusWidget(), c.focus);
        }
        // Fields before the failing one are copied, the failing one is not.
        EXPECT_EQ(Record().params.iSampleBurst, c.sampleBurst);
    }
    window->EdtUser->setText(ten);
    window->EdtAddr->setText(eleven);
    messages.clear();
    EXPECT_FALSE(window->ReadParamPanel());
    EXPECT_EQ(messages, QStringList{QStringLiteral("测试地点不得超过20个字符串！")});
    EXPECT_EQ(Record().strTestUser.Bytes(), ToGbk(ten));
}

TEST_F(MainWindowTest, FocusedPreSampleBoxesFollowEachOther) {
    window->UnlockParamPanel();
    window->activateWindow();
    struct Step {
        QLineEdit* box;
        const char* typed;
        const char* point;
        const char* time;
        bool message;
    };
    const Step steps[] = {
        {window->EdtSamplePoint, "123", "123", "12.3", false},
        {window->EdtSampleTime, "4.5", "45", "4.5", false},
        {window->EdtSamplePoint, "2x5.", "25.", "2.5", true}, // x dropped; the point is refused
        {window->EdtSampleTime, "25.6", "256", "25.6", true},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.typed);
        window->BtnOpen->setFocus();
        window->EdtSamplePoint->setText("0");
        window->EdtSampleTime->setText("0.0");
        s.box->setFocus();
        s.box->selectAll(); // the first key replaces the text
        messages.clear();
        QTest::keyClicks(s.box, QString::fromLatin1(s.typed));
        EXPECT_EQ(window->EdtSamplePoint->text(), QLatin1String(s.point));
        EXPECT_EQ(window->EdtSampleTime->text(), QLatin1String(s.time));
        EXPECT_EQ(messages.contains(QStringLiteral("预采样点范围为：0--255，请重新输入！")),
                  s.message);
        if (s.message) {
            EXPECT_EQ(QApplication::focusWidget(), window->EdtSamplePoint);
        }
    }
    // Changes the program makes while neither box has the focus do not spread.
    window->BtnOpen->setFocus();
    window->EdtSamplePoint->setText("77");
    EXPECT_EQ(window->EdtSampleTime->text(), u"25.6");
}

TEST_F(MainWindowTest, NumberBoxesTakeOnlyDigitsAndThePointHoweverTheyCome) {
    window->UnlockParamPanel();
    struct Case {
        const char* before;
        const char* arriving;
        const char* after;
    };
    const Case cases[] = {
        {"1", "2.5", "12.5"}, {"1", "2a", "1"}, {"1", " 3", "1"},
        {"1", "-4", "1"},     {"1", "５", "1"}, // a full-width digit is no digit here
        {"", "0.1", "0.1"},
    };
    for (QLineEdit* box : {window->EdtSampleBurst, window->EdtSamplePoint, window->EdtSampleTime})
        for (const Case& c : cases) {
            SCOPED_TRACE(box->objectName().toStdString() + " <- " + c.arriving);
            // Pasting and dropping insert at the cursor.
            box->setText(QString::fromUtf8(c.before));
            box->end(false);
            box->insert(QString::fromUtf8(c.arriving));
            EXPECT_EQ(box->text(), QString::fromUtf8(c.after));
            // An input method commits its text.
            box->setText(QString::fromUtf8(c.before));
            box->end(false);
            QInputMethodEvent commit;
            commit.setCommitString(QString::fromUtf8(c.arriving));
            QApplication::sendEvent(box, &commit);
            EXPECT_EQ(box->text(), QString::fromUtf8(c.after));
        }
}

TEST_F(MainWindowTest, SwitchTypeListsItsModes) {
    window->UnlockParamPanel();
    Record().params.iTestMode = 1;
    window->cbSwitchType->setCurrentIndex(1);
    EXPECT_EQ(window->cbTestMode->count(), 2);
    EXPECT_EQ(window->cbTestMode->itemText(0), u"(A.C)->B");
    EXPECT_EQ(window->cbTestMode->currentText(), u"(A.B)->C");
    EXPECT_TRUE(window->cbTestMode->isEnabled());
    window->cbSwitchType->setCurrentIndex(0);
    EXPECT_EQ(window->cbTestMode->count(), 1);
    EXPECT_EQ(window->cbTestMode->currentText(), u"(A.B.C)->O");
    EXPECT_FALSE(window->cbTestMode->isEnabled());

    // A value from a file that no list holds shows no selection.
    Record().params.iSwitchType = 2;
    Record().params.iTestStep = 230;
    window->FillParamPanel();
    EXPECT_EQ(window->cbSwitchType->currentIndex(), -1);
    EXPECT_EQ(window->cbTestMode->count(), 2);
    EXPECT_EQ(window->cbTestStep->currentIndex(), -1);
}

TEST_F(MainWindowTest, FillingClearsNothingWhileAChangeClearsTheTest) {
    answer = WriteTest("t.cty");
    window->BtnOpen->click();
    ASSERT_TRUE(Record().HasData);
    window->FillParamPanel();
    EXPECT_TRUE(Record().HasData);
    EXPECT_EQ(Box("EdtAT1"), u"10.0");
    EXPECT_FALSE(window->ChartA->Series(0)->data()->isEmpty());

    window->UnlockParamPanel();
    window->cbSampleLength->setCurrentIndex(0);
    EXPECT_FALSE(Record().HasData);
    EXPECT_TRUE(Box("EdtAT1").isEmpty());
    EXPECT_TRUE(Box("EdtAngle").isEmpty());
    EXPECT_TRUE(window->MemoTime->toPlainText().isEmpty());
    EXPECT_TRUE(window->ChartA->Series(0)->data()->isEmpty());
    EXPECT_EQ(Record().SampleAt(kPhaseA, 100), 0);
    EXPECT_EQ(Record().params.iSampleLength, 0);
    // The accepted change goes to the tester at once; none is connected here.
    EXPECT_EQ(messages, QStringList{QStringLiteral("通讯失败！请确保设备连接正确！")});
}
