#include "Settings.h"
#include "GbkText.h"
#include "UDataCenter.h"

#include <QFile>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>

namespace {

class SettingsFile : public testing::Test {
protected:
    QString Path() const { return dir.filePath(kSettingsFileName); }

    void Put(const QByteArray& content) const {
        QFile f(Path());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(content);
    }
    QByteArray Content() const {
        QFile f(Path());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    SystemSettings ReadBack(const QByteArray& content) const {
        Put(content);
        return ReadSettingsFile(Path());
    }

    QTemporaryDir dir;
};

const QByteArray kDefaultFile = "[SetParam]\r\n"
                                "iSwitchType=0\r\n"
                                "iTestMode=0\r\n"
                                "iTestStep=0\r\n"
                                "iSampleLength=2\r\n"
                                "iChargeTime=2\r\n"
                                "iSeriesType=0\r\n"
                                "iSampleBurst=1\r\n"
                                "iSamplePoint=0\r\n"
                                "[RestParam]\r\n"
                                "strTestUser=\r\n"
                                "strTestAdd=\r\n"
                                "giColorIndex=17\r\n"
                                "[Chart]\r\n"
                                "gRColor=192\r\n"
                                "gGColor=192\r\n"
                                "gBColor=192\r\n"
                                "gbInverted=0\r\n"
                                "[Communication]\r\n"
                                "giCommStyle=1\r\n"
                                "giCommPort=1\r\n"
                                "giBaudRate=7\r\n";

} // namespace

TEST_F(SettingsFile, MissingFileGivesTheDefaults) {
    const SystemSettings s = ReadSettingsFile(Path());
    EXPECT_EQ(s.params.iSwitchType, 0);
    EXPECT_EQ(s.params.iTestMode, 0);
    EXPECT_EQ(s.params.iTestStep, 0);
    EXPECT_EQ(s.params.iSampleLength, 2);
    EXPECT_EQ(s.params.iChargeTime, 2);
    EXPECT_EQ(s.params.iSeriesType, 0);
    EXPECT_EQ(s.params.iSampleBurst, 1);
    EXPECT_EQ(s.params.iSamplePoint, 0);
    EXPECT_TRUE(s.strTestUser.IsEmpty());
    EXPECT_TRUE(s.strTestAdd.IsEmpty());
    EXPECT_EQ(s.gRColor, 192);
    EXPECT_EQ(s.gGColor, 192);
    EXPECT_EQ(s.gBColor, 192);
    EXPECT_FALSE(s.gbInverted);
    EXPECT_EQ(s.giCommStyle, 1);
    EXPECT_EQ(s.giCommPort, 1);
    EXPECT_EQ(s.giBaudRate, 7);
    EXPECT_EQ(s.giColorIndex, 17);
}

TEST_F(SettingsFile, ReadsValuesAsWindowsWouldWithTheirRules) {
    using Check = std::function<void(const SystemSettings&)>;
    const std::pair<QByteArray, Check> cases[] = {
        {"[SetParam]\niSampleBurst=25\n", [](auto& s) { EXPECT_EQ(s.params.iSampleBurst, 25); }},
        {"[Chart]\r\ngRColor=300\r\n", [](auto& s) { EXPECT_EQ(s.gRColor, 44); }},
        {"[SetParam]\niTestStep=-1\n", [](auto& s) { EXPECT_EQ(s.params.iTestStep, 255); }},
        {"[SetParam]\niChargeTime=abc\n", [](auto& s) { EXPECT_EQ(s.params.iChargeTime, 2); }},
        {"[SetParam]\niChargeTime=5x\n", [](auto& s) { EXPECT_EQ(s.params.iChargeTime, 2); }},
        {"[SetParam]\niChargeTime=\n", [](auto& s) { EXPECT_EQ(s.params.iChargeTime, 2); }},
        {"[SetParam]\niSampleBurst=99999999999\n",
         [](auto& s) { EXPECT_EQ(s.params.iSampleBurst, 1); }},
        {"[SetParam]\niSampleBurst=+-3\n", [](auto& s) { EXPECT_EQ(s.params.iSampleBurst, 1); }},
        {"[SetParam]\niSampleBurst=+30\n", [](auto& s) { EXPECT_EQ(s.params.iSampleBurst, 30); }},
        {"[SetParam]\niSamplePoint=-7\n", [](auto& s) { EXPECT_EQ(s.params.iSamplePoint, -7); }},
        {"  [ setparam ]  \n  ISWITCHTYPE   =   1  \n",
         [](auto& s) { EXPECT_EQ(s.params.iSwitchType, 1); }},
        {"; a comment\n[SetParam]\n;iTestStep=9\niTestStep=17\n",
         [](auto& s) { EXPECT_EQ(s.params.iTestStep, 17); }},
        {"[SetParam]\niTestStep=3\niTestStep=4\n[SetParam]\niTestStep=5\n",
         [](auto& s) { EXPECT_EQ(s.params.iTestStep, 3); }},
        {"[Communication]\ngiBaudRate=9\n[SetParam]\niTestMode=1\n",
         [](auto& s) {
             EXPECT_EQ(s.giBaudRate, 9);
             EXPECT_EQ(s.params.iTestMode, 1);
         }},
        {"[Chart]\ngbInverted=1\n", [](auto& s) { EXPECT_TRUE(s.gbInverted); }},
        {"[Chart]\ngbInverted=7\n", [](auto& s) { EXPECT_TRUE(s.gbInverted); }},
        {"[Chart]\ngbInverted=yes\n", [](auto& s) { EXPECT_FALSE(s.gbInverted); }},
        // Written under RestParam, read only from Communication.
        {"[RestParam]\ngiColorIndex=5\n", [](auto& s) { EXPECT_EQ(s.giColorIndex, 17); }},
        {"[Communication]\ngiColorIndex=5\n", [](auto& s) { EXPECT_EQ(s.giColorIndex, 5); }},
        {"[RestParam]\nstrTestUser=\"Li Ming\"\n",
         [](auto& s) { EXPECT_EQ(s.strTestUser.Bytes(), "Li Ming"); }},
        {"[RestParam]\nstrTestUser=" + QByteArray(30, 'n') + "\n",
         [](auto& s) { EXPECT_EQ(s.strTestUser.Bytes(), QByteArray(20, 'n')); }},
        {"[RestParam]\r\nstrTestAdd=" + ToGbk(QStringLiteral("一号主变压器室北侧开关站")) + "\r\n",
         [](auto& s) { EXPECT_EQ(s.strTestAdd.Text(), QStringLiteral("一号主变压器室北侧开")); }},
        {"iSwitchType=1\n", [](auto& s) { EXPECT_EQ(s.params.iSwitchType, 0); }},
    };
    for (const auto& [content, check] : cases) {
        SCOPED_TRACE(content.constData());
        check(ReadBack(content));
    }
}

TEST_F(SettingsFile, NewFileHoldsEveryKeyInOrderWithCrLf) {
    ASSERT_TRUE(WriteSettingsFile(Path(), SystemSettings{}));
    EXPECT_EQ(Content(), kDefaultFile);
    EXPECT_EQ(ReadSettingsFile(Path()), SystemSettings{});
}

TEST_F(SettingsFile, WritingKeepsTheRestOfAnExistingFile) {
    Put("; written by hand\n"
        "[Other]\n"
        "keep=me\n"
        "[setparam]\n"
        "ISWITCHTYPE = 0\n"
        "\n"
        "[Communication]\n"
        "giColorIndex=5\n");
    SystemSettings s;
    s.params.iSwitchType = 1;
    ASSERT_TRUE(WriteSettingsFile(Path(), s));
    const QByteArray expected = "; written by hand\r\n"
                                "[Other]\r\n"
                                "keep=me\r\n"
                                "[setparam]\r\n"
                                "iSwitchType=1\r\n"
                                "iTestMode=0\r\n"
                                "iTestStep=0\r\n"
                                "iSampleLength=2\r\n"
                                "iChargeTime=2\r\n"
                                "iSeriesType=0\r\n"
                                "iSampleBurst=1\r\n"
                                "iSamplePoint=0\r\n"
                                "\r\n"
                                "[Communication]\r\n"
                                "giColorIndex=5\r\n"
                                "giCommStyle=1\r\n"
                                "giCommPort=1\r\n"
                                "giBaudRate=7\r\n"
                                "[RestParam]\r\n"
                                "strTestUser=\r\n"
                                "strTestAdd=\r\n"
                                "giColorIndex=17\r\n"
                                "[Chart]\r\n"
                                "gRColor=192\r\n"
                                "gGColor=192\r\n"
                                "gBColor=192\r\n"
                                "gbInverted=0\r\n";
    EXPECT_EQ(Content(), expected);
}

TEST_F(SettingsFile, RoundTripKeepsEveryFieldAndGbkTexts) {
    SystemSettings s;
    s.params = {1, 1, 197, 3, 19, 1, 200, 255};
    s.strTestUser.SetText(QStringLiteral("王工程师"));
    s.strTestAdd.SetText(QStringLiteral("220kV 变电站"));
    s.gRColor = 1;
    s.gGColor = 2;
    s.gBColor = 255;
    s.gbInverted = true;
    s.giCommStyle = 0;
    s.giCommPort = 16;
    s.giBaudRate = 12;
    ASSERT_TRUE(WriteSettingsFile(Path(), s));
    EXPECT_TRUE(Content().contains("strTestUser=" + ToGbk(QStringLiteral("王工程师")) + "\r\n"));
    SystemSettings expected = s;
    expected.giColorIndex = 17; // read back from a section it was not written to
    EXPECT_EQ(ReadSettingsFile(Path()), expected);
}

TEST_F(SettingsFile, ALineBreakInATextCannotInjectAKey) {
    SystemSettings s;
    s.strTestUser.Set("a\r\n[SetParam]");
    s.strTestAdd.Set("b\niSwitchType=1");
    ASSERT_TRUE(WriteSettingsFile(Path(), s));
    const SystemSettings back = ReadSettingsFile(Path());
    EXPECT_EQ(back.params.iSwitchType, 0);
    EXPECT_EQ(back.strTestUser.Bytes(), "a  [SetParam]");
    EXPECT_EQ(back.strTestAdd.Bytes(), "b iSwitchType=1");
}

TEST_F(SettingsFile, UnwritableLocationFailsWithAReason) {
    QString error;
    EXPECT_FALSE(WriteSettingsFile(dir.filePath("no/such/dir/SystemFile.ini"), {}, &error));
    EXPECT_FALSE(error.isEmpty());
}

TEST_F(SettingsFile, ParametersAndTextsTravelThroughTheCurrentRecord) {
    Put("[SetParam]\r\niSwitchType=1\r\niSampleBurst=25\r\n[RestParam]\r\nstrTestUser=Li\r\n");
    LoadSettings(Path());
    DataCenter& dc = UDataCenter();
    EXPECT_EQ(dc.record.params.iSwitchType, 1);
    EXPECT_EQ(dc.record.params.iSampleBurst, 25);
    EXPECT_EQ(dc.record.strTestUser.Bytes(), "Li");

    // An opened test with switch type 1 and step 17 becomes the next run's default.
    dc.record.params.iTestStep = 17;
    dc.record.strTestAdd.Set("Site 4");
    dc.settings.gRColor = 10;
    ASSERT_TRUE(SaveSettings(Path()));
    const QByteArray written = Content();
    EXPECT_TRUE(written.contains("\r\niSwitchType=1\r\n"));
    EXPECT_TRUE(written.contains("\r\niTestStep=17\r\n"));
    EXPECT_TRUE(written.contains("\r\nstrTestAdd=Site 4\r\n"));
    EXPECT_TRUE(written.contains("\r\ngRColor=10\r\n"));
    dc = DataCenter{};
}
