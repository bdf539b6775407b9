#include "FileNames.h"
#include "ProfileFile.h"
#include "Settings.h"
#include "TestFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <random>

namespace {

QByteArray RandomBytes(std::mt19937& rng, qsizetype maxSize) {
    std::uniform_int_distribution<qsizetype> size(0, maxSize);
    std::uniform_int_distribution<int> byte(0, 255);
    QByteArray bytes(size(rng), '\0');
    for (char& c : bytes)
        c = char(byte(rng));
    return bytes;
}

// Random bytes with the characters that matter to a profile file mixed in.
QByteArray RandomProfile(std::mt19937& rng) {
    static const QByteArray pieces[] = {
        "[",           "]",  "=",           ";",     "\r\n",      "\n",
        " ",           "\"", "SetParam",    "Chart", "iTestStep", "gRColor",
        "strTestUser", "-",  "99999999999", "300",   "\xB2\xE2"};
    std::uniform_int_distribution<int> count(0, 60);
    std::uniform_int_distribution<size_t> pick(0, std::size(pieces));
    QByteArray out;
    for (int n = count(rng); n > 0; --n) {
        const size_t i = pick(rng);
        out += i < std::size(pieces) ? pieces[i] : RandomBytes(rng, 8);
    }
    return out;
}

void WriteAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

} // namespace

TEST(Fuzz, TestFileReaderTakesAnyBytes) {
    std::mt19937 rng(20261209);
    QTemporaryDir dir;
    const QString path = dir.filePath("f.cty");
    for (int round = 0; round < 300; ++round) {
        // Half of the rounds are long enough to be decoded.
        const QByteArray bytes = round % 2 ? RandomBytes(rng, 2 * kTestFileSize)
                                           : RandomBytes(rng, 40000) + RandomBytes(rng, 40000);
        WriteAll(path, bytes);
        TestRecord r;
        const TestFileError error = LoadTestFile(path, r);
        ASSERT_EQ(error == TestFileError::None, bytes.size() >= kTestFileSize);
        EXPECT_LE(r.strTestTime.Bytes().size(), 19);
        EXPECT_LE(r.strTestUser.Bytes().size(), 20);
        EXPECT_LE(r.strTestAdd.Bytes().size(), 20);
        if (error == TestFileError::None) {
            EXPECT_EQ(EncodeTestFile(r).left(6), bytes.left(6));
        }
    }
}

TEST(Fuzz, SettingsReaderTakesAnyBytesAndWritesWhatItReads) {
    std::mt19937 rng(7);
    QTemporaryDir dir;
    const QString path = dir.filePath(kSettingsFileName);
    for (int round = 0; round < 500; ++round) {
        WriteAll(path, round % 3 ? RandomProfile(rng) : RandomBytes(rng, 600));
        const SystemSettings s = ReadSettingsFile(path);
        EXPECT_LE(s.strTestUser.Bytes().size(), 20);
        // Whatever was read, writing it over the file and reading again
        // gives the same numbers.
        ASSERT_TRUE(WriteSettingsFile(path, s));
        const SystemSettings back = ReadSettingsFile(path);
        EXPECT_EQ(back.params, s.params) << round;
        EXPECT_EQ(back.gRColor, s.gRColor) << round;
        EXPECT_EQ(back.giBaudRate, s.giBaudRate) << round;
    }
}

// Any bytes a file name may hold, cut UTF-8 sequences mixed in, come back
// whole; what is shown of them holds no control character and no kept byte.
TEST(Fuzz, FileNamesTakeAnyBytes) {
    static const QByteArray pieces[] = {"\xE6\xB5\x8B",
                                        "\xE6\xB5",
                                        "\xF0\x9F\x98\x80",
                                        "\xF0\x9F",
                                        "\xED\xB2",
                                        "\xB2\xE2",
                                        "/",
                                        "a",
                                        "\x1B"};
    std::mt19937 rng(11);
    std::uniform_int_distribution<size_t> pick(0, std::size(pieces));
    for (int round = 0; round < 20000; ++round) {
        QByteArray native;
        for (int n = round % 12; n > 0; --n) {
            const size_t i = pick(rng);
            native += i < std::size(pieces) ? pieces[i] : RandomBytes(rng, 3);
        }
        const QString name = FileNameFromNative(native);
        ASSERT_EQ(NativeFileName(name), native) << native.toHex().constData();
        const QString shown = VisibleText(name);
        for (qsizetype i = 0; i < shown.size(); ++i) {
            const char16_t u = shown[i].unicode();
            const bool control = u < 0x20 || (u >= 0x7F && u <= 0x9F);
            const bool kept = u >= 0xDC80 && u <= 0xDCFF &&
                              (i == 0 || !QChar::isHighSurrogate(shown[i - 1].unicode()));
            ASSERT_FALSE(control || kept) << native.toHex().constData();
        }
    }
}
