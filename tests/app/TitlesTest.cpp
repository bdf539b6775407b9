// Window titles as the window system gets them: the platform adds the
// application display name to a title that does not end with it, when one
// is set (X11, Wayland).
#include "Message.h"
#include "Settings.h"
#include "TestRecord.h"
#include "UDlgCharge.h"
#include "UDlgHistoryIndex.h"
#include "UDlgSampleData.h"
#include "UDlgSetComm.h"

#include <QFileDialog>
#include <gtest/gtest.h>

// The platform's own formatting of a title (QtGui exports it; its header is
// private).
class QPlatformWindow {
public:
    static QString formatWindowTitle(const QString& title, const QString& separator);
};

namespace {

QString AsTheWindowSystemSees(const QWidget& window) {
    return QPlatformWindow::formatWindowTitle(window.windowTitle(), QStringLiteral(" \u2014 "));
}

TEST(Titles, DialogsCarryTheirOwnTitleAlone) {
    SystemSettings settings;
    TestRecord record;
    Tester tester;
    LiveTest live(tester, record);
    TFrmSetComm comm(settings);
    TFrmCharge charge(live);
    TFrmSampleData wait(live, {});
    TFrmHistoryIndex history(tester, record, {});
    QFileDialog open(nullptr, QStringLiteral("打开试验数据"));
    QFileDialog save(nullptr, QStringLiteral("保存当前测试数据"));
    QWidget main;
    main.setWindowTitle(AppTitle());
    const std::pair<const QWidget*, const char*> windows[] = {
        {&comm, "通讯设置"},
        {&charge, "充电进行中..."},
        {&wait, "请稍候..."},
        {&history, "历史数据"},
        {&open, "打开试验数据"},
        {&save, "保存当前测试数据"},
        {&main, "有载分接开关测试仪1.2"},
    };
    for (const auto& [window, title] : windows)
        EXPECT_EQ(AsTheWindowSystemSees(*window), QString::fromUtf8(title));
}

} // namespace
