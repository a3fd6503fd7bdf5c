#include "composed_files.h"
#include "track_reader.h"

#include <gtest/gtest.h>

static bool read(const std::vector<uint8_t>& bytes, TrackInfo& out, std::string& why)
{
    std::vector<uint8_t> exact(bytes);
    exact.shrink_to_fit();
    return readTrack(exact.data(), exact.size(), out, why);
}

TEST(TrackReader, ReadsTheMapTheFinishLineTheLapLengthAndTheRecords)
{
    ComposedTrack t;
    t.lapLength = 1234;
    t.recordTime = 2345;
    t.recordHolder = "Anna";
    TrackInfo info;
    std::string why;
    ASSERT_TRUE(read(composeTrack(t), info, why)) << why;
    EXPECT_EQ(info.sizeByte, 200);
    EXPECT_EQ(info.lapLength, 1234u);
    ASSERT_EQ(info.surface.size(), 512u * 512u);
    EXPECT_EQ(info.surface[0], 2);             // grass outside the ring
    EXPECT_EQ(info.surface[45 * 512 + 45], 0);  // the ring's corner
    EXPECT_EQ(info.surface[256 * 512 + 60], 0);
    EXPECT_EQ(info.surface[256 * 512 + 256], 2);
    EXPECT_EQ(info.surface[511 * 512 + 511], 2);
    ASSERT_TRUE(info.hasFinish);  // the last of two checkpoints, in cells
    EXPECT_FLOAT_EQ(info.finish[0], 50);
    EXPECT_FLOAT_EQ(info.finish[1], 250);
    EXPECT_FLOAT_EQ(info.finish[2], 90);
    EXPECT_FLOAT_EQ(info.finish[3], 250);
    EXPECT_EQ(bestTimeText(info), "23.45 / Anna");
}

TEST(TrackReader, BestTimeTextFallsBackFromTheRecordToTheBestTimes)
{
    ComposedTrack t;
    TrackInfo info;
    std::string why;
    ASSERT_TRUE(read(composeTrack(t), info, why));
    EXPECT_EQ(bestTimeText(info), "no Best Time");
    t.bestTime = 987;
    t.bestHolder = "Bert";
    ASSERT_TRUE(read(composeTrack(t), info, why));
    EXPECT_EQ(bestTimeText(info), " 9.87 / Bert");
    t.recordTime = 6000;
    t.bestTime = 6000;
    ASSERT_TRUE(read(composeTrack(t), info, why));
    EXPECT_EQ(bestTimeText(info), "no Best Time");
}

TEST(TrackReader, OnlyVersions105And110WithTheMagicAreUsed)
{
    ComposedTrack t;
    TrackInfo info;
    std::string why;
    for (int version : {0x105, 0x110}) {
        t.version = version;
        EXPECT_TRUE(read(composeTrack(t), info, why)) << version;
    }
    for (int version : {0x104, 0x106, 0x111}) {
        t.version = version;
        EXPECT_FALSE(read(composeTrack(t), info, why)) << version;
    }
    t.version = 0x110;
    std::vector<uint8_t> noMagic = composeTrack(t);
    noMagic[2] = 'X';
    EXPECT_FALSE(read(noMagic, info, why));
}

TEST(TrackReader, RunsThatOverfillTheMapStopAtItsEnd)
{
    Bytes b;
    b.u16(0x110), b.u16(0x4D54), b.u32(0), b.u8(100), b.zeros(7);
    b.u32(200);
    for (int i = 0; i < 200; ++i) b.u16(4095 << 4 | 5);  // 819000 cells of code 5
    TrackInfo info;
    std::string why;
    ASSERT_TRUE(read(b.data, info, why));
    EXPECT_EQ(info.surface[512 * 512 - 1], 5);
    EXPECT_FALSE(info.hasFinish);
    EXPECT_EQ(bestTimeText(info), "no Best Time");
}

TEST(TrackReader, EveryCutOfAFileIsReadWithinItsBytes)
{
    std::vector<uint8_t> whole = composeTrack(ComposedTrack());
    TrackInfo info;
    std::string why;
    for (size_t cut = 0; cut <= whole.size(); cut += cut < 100 ? 1 : 61) {
        std::vector<uint8_t> b(whole.begin(), whole.begin() + long(cut));
        read(b, info, why);
    }
    // A count that claims more checkpoints than the file holds finds no finish line.
    std::vector<uint8_t> b = whole;
    size_t countAt = 20 + 2 * size_t(b[16] | b[17] << 8) + 2 + 4096 + 2 + 1;
    ASSERT_EQ(b[countAt], 2);
    b.resize(countAt + 1 + 8 * 2);
    b[countAt] = 200;
    ASSERT_TRUE(read(b, info, why));
    EXPECT_FALSE(info.hasFinish);
}
