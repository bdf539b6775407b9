#pragma once

#include "Dialogs.h"
#include "Message.h"
#include "TestFile.h"
#include "UDataCenter.h"
#include "UMain.h"
#include "WaveChart.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>

inline void PrintTo(const QString& text, std::ostream* os) {
    *os << text.toStdString();
}

// The real main window in a fresh program folder, with message boxes and
// file dialogs answered by the test.
class MainWindowTest : public testing::Test {
protected:
    void SetUp() override {
        UDataCenter() = DataCenter{};
        savedSink_ = SetMessageSink([this](const QString& text, MsgIcon icon) {
            messages << text;
            icons.push_back(icon);
        });
        savedDialogs_ = Dialogs();
        Dialogs().openFile = [this](QWidget*, const FileDialogRequest& r) {
            lastRequest = r;
            return answer;
        };
        Dialogs().saveFile = Dialogs().openFile;
        Dialogs().chooseColor = [this](QWidget*, const QColor&) { return colorAnswer; };
        window = std::make_unique<TFrmMain>(folder.path());
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }

    void TearDown() override {
        window.reset();
        Dialogs() = savedDialogs_;
        SetMessageSink(savedSink_);
        UDataCenter() = DataCenter{};
    }

    QString FilePath(const QString& name) const { return folder.filePath(name); }
    TestRecord& Record() { return UDataCenter().record; }

    // A test on disk: all three phases step from 50 to 300 at 5 ms, to 180
    // at 25 ms and to 320 at 35 ms.
    QString WriteTest(const QString& name, quint8 switchType = 0, quint8 mode = 0) {
        TestRecord r;
        r.params.iSwitchType = switchType;
        r.params.iTestMode = mode;
        r.params.iTestStep = 17;
        r.strTestTime.Set("2010-12-21 08:05:03");
        r.strTestUser.Set("Li");
        for (int p : {kPhaseA, kPhaseB, kPhaseC})
            for (int k = 1; k <= kSampleCount; ++k)
                r.WaveOf(p)[k - 1] = k < 50 ? 50 : k < 250 ? 300 : k < 350 ? 180 : 320 + p;
        r.iLoops = 2;
        r.iAngle = 5;
        const QString path = FilePath(name);
        EXPECT_TRUE(WriteTestFile(path, r));
        return path;
    }

    // Sets a box's text without its change handler (which would send the
    // parameters to a tester that is not there).
    static void SetQuietly(QLineEdit* box, const QString& text) {
        const QSignalBlocker quiet(box);
        box->setText(text);
    }

    QString Box(const char* name) const {
        auto* box = window->findChild<QLineEdit*>(QString::fromLatin1(name));
        return box ? box->text() : QStringLiteral("<no box>");
    }

    QTemporaryDir folder;
    std::unique_ptr<TFrmMain> window;
    QStringList messages;
    std::vector<MsgIcon> icons;
    QString answer; // the file dialogs' choice
    std::optional<QColor> colorAnswer;
    FileDialogRequest lastRequest;

private:
    MessageSink savedSink_;
    DialogSeams savedDialogs_;
};
