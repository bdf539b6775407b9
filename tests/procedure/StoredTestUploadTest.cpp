#include "StoredTestUpload.h"
#include "SimLink.h"
#include "SimWaveform.h"

namespace {

TEST(StoredUpload, AtMostAHundredListed) {
    for (const auto& [held, listed] : {std::pair{0, 0}, {3, 3}, {100, 100}, {150, 100}}) {
        SimConfig config;
        config.storedTests = held;
        SimLink sim(config);
        const std::optional<StoredCount> count = ReadStoredCount(sim.tester);
        ASSERT_TRUE(count) << held;
        EXPECT_EQ(count->held, held);
        EXPECT_EQ(count->listed, listed);
    }
}

TEST(StoredUpload, BlockByBlockAndCancellable) {
    SimConfig config;
    config.storedTests = 3;
    config.seed = 1;
    SimLink sim(config);
    TestRecord record;
    record.WaveB.fill(7);
    record.iAngle = 99;
    StoredTestUpload upload(sim.tester, 2, record);
    for (int block = 0; block <= 1; ++block) {
        EXPECT_EQ(upload.Block(), block);
        ASSERT_TRUE(upload.Fetch());
        upload.Store();
    }
    upload.Cancel();
    EXPECT_TRUE(upload.Done());
    EXPECT_FALSE(upload.Complete());
    EXPECT_FALSE(upload.Fetch()) << "nothing is asked for after a cancel";
    EXPECT_EQ(sim.Commands(), u"F3 F3");
    EXPECT_EQ(record.SampleAt(kPhaseA, 1), SimWaveform(1, kPhaseA, 2)[0]);
    EXPECT_EQ(record.SampleAt(kPhaseB, 1), 7) << "phase B keeps what it had";
    EXPECT_EQ(record.strTestTime.Bytes().size(), 19);

    TestRecord whole;
    whole.iAngle = 99;
    QList<int> heard;
    EXPECT_TRUE(StoredTestUpload(sim.tester, 3, whole).Run([&](int block, QByteArrayView) {
        heard << block;
    }));
    EXPECT_EQ(heard, QList<int>({0, 1, 2, 3}));
    EXPECT_EQ(whole.SampleAt(kPhaseC, 2688), SimWaveform(1, kPhaseC, 3)[2687]);
    EXPECT_EQ(whole.iAngle, 99) << "the rotation is not part of a stored test";
}

TEST(StoredUpload, AFailedBlockEndsIt) {
    SimConfig config;
    config.storedTests = 3;
    SimLink sim(config, {"F3:noanswer"});
    TestRecord record;
    StoredTestUpload upload(sim.tester, 1, record);
    EXPECT_FALSE(upload.Run());
    EXPECT_TRUE(upload.Failed());
    EXPECT_EQ(upload.Block(), 0);
    EXPECT_EQ(sim.Commands(), u"F3 F3 F3 F3");
}

} // namespace
