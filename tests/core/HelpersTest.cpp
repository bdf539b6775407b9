#include "Helpers.h"

#include <QTimer>
#include <chrono>
#include <ctime>
#include <gtest/gtest.h>

TEST(Helpers, LeftAndRightTextCountBytes) {
    struct Case {
        QByteArray text;
        int n;
        QByteArray left, right;
    };
    const Case cases[] = {
        {"abcdef", 3, "abc", "def"}, {"abcdef", 2, "ab", "ef"}, {"ab", 5, "ab", "ab"},
        {"ab", 0, "", ""},           {"ab", -1, "", ""},        {".cty", 3, ".ct", "cty"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(LeftText(c.text, c.n), c.left) << c.text.constData() << c.n;
        EXPECT_EQ(RightText(c.text, c.n), c.right) << c.text.constData() << c.n;
    }
    // Two Chinese characters are four bytes of GBK.
    EXPECT_EQ(LeftText(QStringLiteral("测试数据"), 4), QStringLiteral("测试"));
    EXPECT_EQ(RightText(QStringLiteral("测试数据"), 4), QStringLiteral("数据"));
}

TEST(Helpers, StepTextNamesTheTapTransition) {
    const std::pair<int, const char*> cases[] = {
        {0, "0 <- 1"}, {1, "0 -> 1"}, {2, "1 <- 2"}, {197, "98 -> 99"}, {255, "127 -> 128"}};
    for (const auto& [step, text] : cases)
        EXPECT_EQ(StepText(step), QLatin1String(text)) << step;
}

TEST(Helpers, DateTimeTextsPadWithZeros) {
    const QDateTime moment(QDate(2011, 3, 5), QTime(7, 8, 9));
    EXPECT_EQ(DateTimeText(moment), u"2011-03-05 07:08:09");
    EXPECT_EQ(FileTimeText(moment), u"11-03-05 07-08-09");
    const QDateTime y2k(QDate(2000, 12, 21), QTime(23, 59, 0));
    EXPECT_EQ(DateTimeText(y2k), u"2000-12-21 23:59:00");
    EXPECT_EQ(FileTimeText(y2k), u"00-12-21 23-59-00");
    EXPECT_EQ(DateTimeText(moment).size(), 19);
}

TEST(Helpers, WithTrailingBackslashAddsOneSeparator) {
    const std::pair<QString, QString> cases[] = {{"", ""},
                                                 {"/opt/oltc", "/opt/oltc/"},
                                                 {"/opt/oltc/", "/opt/oltc/"},
                                                 {"C:\\oltc\\", "C:\\oltc\\"},
                                                 {"C:/oltc", "C:/oltc/"}};
    for (const auto& [in, out] : cases)
        EXPECT_EQ(WithTrailingBackslash(in), out) << in.toStdString();
}

TEST(Helpers, TrimmingTakesAsciiBlanksAndControlsOnly) {
    const struct {
        QString in, out;
    } cases[] = {
        {" \t\r\n王工\x01 ", "王工"},
        {"\u3000王工\u3000", "\u3000王工\u3000"}, // the full-width space stays
        {"\u00a0x\u2003", "\u00a0x\u2003"},
        {"a b", "a b"},
        {" \x1f\x7f", "\x7f"}, // DEL is above the blank
        {"", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TrimmedText(c.in), c.out) << c.in.toStdString();
        EXPECT_EQ(TrimmedBytes(c.in.toUtf8()), c.out.toUtf8()) << c.in.toStdString();
    }
    // GBK bytes: 0xA1A1 is the full-width space, its bytes are no blanks.
    EXPECT_EQ(TrimmedBytes("\x20\xA1\xA1\x09"), QByteArray("\xA1\xA1"));
}

TEST(Helpers, FixedTextFormatsByDecimals) {
    struct Case {
        qint64 value;
        int decimals;
        bool blank;
        const char* text;
    };
    const Case cases[] = {
        {100, 1, false, "10.0"},  {7, 1, false, "0.7"},      {300, 2, false, "3.00"},
        {5, 2, false, "0.05"},    {15, 2, false, "0.15"},    {1234, 3, false, "1.234"},
        {1234, 0, false, "1234"}, {1234, 2, true, ""},       {-15, 1, false, "-1.5"},
        {-5, 2, false, "-0.05"},  {1234, 7, false, "1.234"}, {0, 1, false, "0.0"},
        {0, 2, false, "0.00"},    {-7, 0, false, "-7"},      {2147483647, 1, false, "214748364.7"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FixedText(c.value, c.decimals, c.blank), QLatin1String(c.text))
            << c.value << "/" << c.decimals;
}

namespace {

struct TickGuard {
    ~TickGuard() { SetTickSource({}); }
};

double CpuSeconds() {
    return double(std::clock()) / CLOCKS_PER_SEC;
}

} // namespace

TEST(Helpers, DelayWaitsWhileHandlingEventsWithoutBurningTheCpu) {
    using Clock = std::chrono::steady_clock;
    bool fired = false;
    QTimer::singleShot(20, [&] { fired = true; });
    const double cpu0 = CpuSeconds();
    const auto t0 = Clock::now();
    Delay(200);
    const auto waited = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t0);
    EXPECT_TRUE(fired) << "a pending event must run inside the pause";
    // A millisecond tick may start just before its next step: up to 1 ms short.
    EXPECT_GE(waited.count(), 199);
    EXPECT_LT(waited.count(), 400);
    EXPECT_LT(CpuSeconds() - cpu0, 0.05) << "Delay must sleep, not spin";

    bool ranAtZero = false;
    QTimer::singleShot(0, [&] { ranAtZero = true; });
    Delay(0);
    EXPECT_FALSE(ranAtZero) << "Delay(0) returns without processing events";
    Delay(1);
    EXPECT_TRUE(ranAtZero);
}

TEST(Helpers, DelayWaitsTheFullTimeAcrossTheTickWrap) {
    using Clock = std::chrono::steady_clock;
    TickGuard guard;
    const auto origin = Clock::now();
    // Start 30 ms before the 32-bit tick wraps.
    SetTickSource([origin] {
        const auto ms =
            std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - origin).count();
        return quint32(0xFFFFFFFFu - 30u + quint32(ms));
    });
    const auto t0 = Clock::now();
    Delay(100);
    const auto waited = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t0);
    EXPECT_GE(waited.count(), 99);
    EXPECT_LT(waited.count(), 300);
}
