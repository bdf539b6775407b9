// Answers of any length and content: the decoders never read outside them,
// store only what a whole answer carries, and leave the record alone
// otherwise.
#include "Responses.h"

#include <gtest/gtest.h>
#include <random>

namespace {

QByteArray RandomAnswer(std::mt19937& rng) {
    // Lengths around the ones that matter, and anything up to a block.
    static const int kLengths[] = {0,  1,  2,  3,  10,   11,   13,   14,
                                   32, 33, 65, 66, 5377, 5378, 5379, 5380};
    std::uniform_int_distribution<int> pick(0, int(std::size(kLengths)));
    std::uniform_int_distribution<int> any(0, 5400);
    std::uniform_int_distribution<int> byte(0, 255);
    const int i = pick(rng);
    QByteArray bytes(i < int(std::size(kLengths)) ? kLengths[i] : any(rng), '\0');
    for (char& c : bytes)
        c = char(byte(rng));
    return bytes;
}

quint16 Big16(const QByteArray& bytes, qsizetype at) {
    return quint16(quint8(bytes[at]) << 8 | quint8(bytes[at + 1]));
}

TEST(AnswerFuzz, DecodersTakeAnyAnswer) {
    std::mt19937 rng(20261209);
    for (int round = 0; round < 400; ++round) {
        const QByteArray answer = RandomAnswer(rng);
        SCOPED_TRACE(answer.size());
        // Views of the answer only: a read past its end is the sanitizer's to see.
        const QByteArrayView view(answer.constData(), answer.size());
        for (const char c : NameText(view.first(std::min<qsizetype>(view.size(), kNameCodes))))
            EXPECT_TRUE(QChar(c).isLetterOrNumber() || c == ' ') << int(c);
        StampText(view.first(std::min<qsizetype>(view.size(), kStampSize)));
        StampFileText(view.first(std::min<qsizetype>(view.size(), kStampSize)));
        IsAck(view);
        EXPECT_EQ(ResponseByte1(view).has_value(), view.size() >= 2);
        DecodeChargeStatus(view);
        DecodeHistoryEntry(view);

        for (int block = 0; block <= 5; ++block) {
            TestRecord before;
            before.WaveA.fill(-1);
            before.WaveB.fill(-2);
            before.WaveC.fill(-3);
            before.iLoops = before.iAngle = -4;
            TestRecord history = before;
            const bool header = block == 0 && StoreHistoryHeader(view, history);
            const bool phase = block >= 1 && StoreHistoryPhase(block, view, history);
            if (!header && !phase) {
                EXPECT_EQ(history, before) << "history block " << block;
            }
            if (phase) {
                ASSERT_GE(answer.size(), 3 + 2 * kSampleCount);
                EXPECT_EQ(history.SampleAt(block, 1), Big16(answer, 3));
                EXPECT_EQ(history.SampleAt(block, kSampleCount), Big16(answer, 3 + 2 * 2687));
            }
            TestRecord upload = before;
            if (!StoreUploadBlock(block, view, upload)) {
                EXPECT_EQ(upload, before) << "upload block " << block;
            } else if (block <= 3) {
                ASSERT_GE(answer.size(), 2 + 2 * kSampleCount);
                EXPECT_EQ(upload.SampleAt(block, 1), Big16(answer, 2));
                EXPECT_EQ(upload.SampleAt(block, kSampleCount), Big16(answer, 2 + 2 * 2687));
            } else {
                ASSERT_EQ(block, 4);
                const int degrees = Big16(answer, 2);
                EXPECT_EQ(upload.iLoops, degrees / 360);
                EXPECT_EQ(upload.iAngle, degrees % 360);
            }
        }
    }
}

} // namespace
