// Loading tracks of every layout, the ground codes and their scatters, the camera framing and
// files that lie about their sizes.
#include "state/game_state.h"
#include "files/config.h"
#include "support/harness.h"
#include "track/ghost_lap.h"
#include "track/surface_map.h"
#include "track/terrain_height.h"
#include "track/track_checksum.h"
#include "track/track_loader.h"
#include "track_bytes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

class TrackLoad : public ::testing::Test {
protected:
    TempGameFolder folder;
    void SetUp() override
    {
        loadConfig();
        game.carCount = 1;
        game.screenWidth = 640;
        game.screenHeight = 480;
    }
    void TearDown() override
    {
        freeTrackData();
        freeGhost();
    }
    void put(const std::string& name, const std::vector<uint8_t>& b) { folder.write("tracks/" + name + ".trk", b); }
    static TestTrack basic()
    {
        TestTrack t;
        t.objects = {{0, 100, 200, 0}, {4, 512, 512, 15708}};
        t.gates = {{100, 100, 100, 300}};
        t.line = {{100, 100}, {300, 100}, {300, 300}, {100, 300}};
        t.pit = {{120, 90}, {200, 90}, {280, 90}};
        return t;
    }
};

TEST_F(TrackLoad, WithoutMagicTheFileIsVersion100FromOffsetZero)
{
    TestTrack t = basic();
    t.version = 0x100;
    t.magic = false;
    t.runs = {runWord(4095, 0)};
    put("old", t.bytes());
    ASSERT_EQ(loadTrackPreview("\\old"), 0);
    EXPECT_EQ(game.trackSize, 128.0f);
    EXPECT_EQ(game.objectCount, 2);
    EXPECT_EQ(game.drivingLineCount, 4);
    EXPECT_EQ(game.lapLength, 777u);
    EXPECT_STREQ(game.trackAuthor, "Author");
    EXPECT_STREQ(game.trackInfo, "Info");
    EXPECT_FLOAT_EQ(game.trackViewZoom, 1.05f);  // no zoom byte before 0x105
    // Object 1: half cells x 0.125 m, heading pi/2 points north (-z).
    EXPECT_FLOAT_EQ(game.trackObjects[1].position.x, 64.0f);
    EXPECT_NEAR(game.trackObjects[1].direction.z, -1.0f, 1e-4f);
}

TEST_F(TrackLoad, Version101HasNarrowCountsAShortLapLengthAndTheInfoBlockLater)
{
    TestTrack t = basic();
    t.version = 0x101;
    t.lapLength = 1234;
    t.author = "Old Hand";
    put("v101", t.bytes());
    ASSERT_EQ(loadTrack("\\v101"), 0);
    EXPECT_EQ(game.objectCount, 2);
    EXPECT_EQ(game.drivingLineCount, 4);
    EXPECT_EQ(game.lapLength, 1234u);
    EXPECT_EQ(game.paintStartLine, 1);
    ASSERT_EQ(loadTrackPreview("\\v101"), 0);
    EXPECT_STREQ(game.trackAuthor, "Old Hand");
}

TEST_F(TrackLoad, Version110LoadsAndANewerOneIsRefusedLeavingTheTrack)
{
    TestTrack t = basic();
    put("now", t.bytes());
    ASSERT_EQ(loadTrack("\\now"), 0);
    EXPECT_FLOAT_EQ(game.trackViewZoom, 0.9f);
    uint8_t* map = game.surfaceMap;
    t.version = 0x111;
    t.size = 200;
    put("next", t.bytes());
    EXPECT_EQ(loadTrack("\\next"), -1);
    EXPECT_EQ(loadTrack("\\missing"), -1);
    EXPECT_EQ(game.surfaceMap, map);
    EXPECT_EQ(game.trackSize, 128.0f);
    EXPECT_EQ(game.trackEntry, "\\now");
}

TEST_F(TrackLoad, RunZeroAdvancesNothingAndCodes13To15KeepTheirCells)
{
    TestTrack t = basic();
    t.runs = {runWord(0, 9), runWord(3, 13), runWord(1, 14), runWord(1, 15), runWord(2, 9), runWord(1, 12)};
    put("codes", t.bytes());
    ASSERT_EQ(loadTrack("\\codes"), 0);
    const uint8_t* m = game.surfaceMap;
    for (int i = 0; i < 5; ++i) EXPECT_EQ(m[i], surfaceUnset) << i;
    EXPECT_EQ(m[5], 28);
    EXPECT_EQ(m[6], 28);
    EXPECT_EQ(m[7], 0);
    EXPECT_EQ(m[8], surfaceUnset);
}

TEST_F(TrackLoad, GravelAndTyreMarkScattersSpareSnowAndIce)
{
    TestTrack t = basic();
    // Snow everywhere, one row of gravel at row 100 and one of marks at row 200.
    auto rows = [&](int n, int code) {
        for (int i = 0; i < n * 512 / 512; ++i) t.runs.push_back(runWord(512, code));
    };
    rows(100, 7);
    rows(1, 6);
    rows(99, 7);
    rows(1, 5);
    rows(311, 7);
    put("snow", t.bytes());
    for (int round = 0; round < 3; ++round) {  // fresh random scatters on every load
        ASSERT_EQ(loadTrack("\\snow"), 0);
        const uint8_t* m = game.surfaceMap;
        for (int z = 94; z < 210; ++z)
            for (int x = 0; x < 512; ++x) {
                uint8_t v = m[z * 512 + x];
                if (z == 100) ASSERT_TRUE(v >= 20 && v <= 22) << x;
                else if (z == 200) ASSERT_TRUE(v == surfaceUnset || v == 43) << x;  // marks only on the unset cell
                else ASSERT_TRUE(v >= 24 && v <= 27) << z << "," << x;
            }
    }
}

TEST_F(TrackLoad, SevenPitBoxesUseTheFirstSixWithTheirCrews)
{
    TestTrack t = basic();
    for (int i = 0; i < 7; ++i) t.boxes.push_back({uint16_t(200 + 40 * i), 400, 0});
    put("boxes", t.bytes());
    ASSERT_EQ(loadTrack("\\boxes"), 0);
    ASSERT_EQ(game.pitBoxCount, 6);
    const PitBox& b = game.pitBoxes[0];
    EXPECT_EQ(b.owner, 6);
    EXPECT_FLOAT_EQ(b.stopPoint.x, 25.0f);
    EXPECT_FLOAT_EQ(b.stopPoint.y, 1.0f);  // height bytes of 20
    // Heading 0 faces east: member 0 stands 2 ahead, member 7 three to the side.
    EXPECT_FLOAT_EQ(b.crew[0].position.x, 27.0f);
    EXPECT_FLOAT_EQ(b.crew[0].position.y, 1.7f);
    // R = (F.z, 0, -F.x) points north when facing east.
    EXPECT_FLOAT_EQ(b.crew[7].position.z, 47.0f);
    EXPECT_FLOAT_EQ(b.crew[6].position.z, 53.0f);
    EXPECT_EQ(b.task[3], 0);
}

TEST_F(TrackLoad, PitEndsAreTheLinePointsNearestTheLaneExtendedOneStep)
{
    TestTrack t = basic();
    put("pit", t.bytes());
    ASSERT_EQ(loadTrack("\\pit"), 0);
    // The lane's ends extended: (40, 90) and (360, 90) in half cells, nearest line points 0 and 1.
    EXPECT_EQ(game.pitEntryIndex, 0);
    EXPECT_EQ(game.pitExitIndex, 1);
    EXPECT_FLOAT_EQ(game.drivingLine[2].y, 1.0f);
}

TEST_F(TrackLoad, ViewportSettingsOverrideOnlyWhenTheyAreNotAtTheirDefaults)
{
    TestTrack t = basic();
    put("cam", t.bytes());
    ASSERT_EQ(loadTrack("\\cam"), 0);
    EXPECT_NEAR(game.cameraMatrix[4], -std::cos(60 * 0.01745329252), 1e-6);
    EXPECT_FLOAT_EQ(game.trackViewZoom, 0.9f);
    game.viewAngle = 30;
    game.viewZoom = 150;
    ASSERT_EQ(loadTrack("\\cam"), 0);
    EXPECT_NEAR(game.cameraMatrix[4], -std::cos(30 * 0.01745329252), 1e-6);
    EXPECT_FLOAT_EQ(game.trackViewZoom, 1.5f);
}

TEST_F(TrackLoad, RatioAdjustLeavesFourByThreeAndFullZoomAlone)
{
    TestTrack t = basic();
    put("ratio", t.bytes());
    game.screenHeight = 512;  // u = 0.8
    ASSERT_EQ(loadTrack("\\ratio"), 0);
    float s1 = std::sin(60 * 0.01745329252f);
    EXPECT_NEAR(game.trackViewZoom, 0.9f + (4 * 0.8f / 3 - 1) * 0.1f * s1, 1e-5);
    game.ratioAdjust = 0;
    ASSERT_EQ(loadTrack("\\ratio"), 0);
    EXPECT_FLOAT_EQ(game.trackViewZoom, 0.9f);
    game.ratioAdjust = 1;
    game.screenHeight = 480;
    ASSERT_EQ(loadTrack("\\ratio"), 0);
    EXPECT_FLOAT_EQ(game.trackViewZoom, 0.9f);
    t.zoom = 100;
    put("ratio", t.bytes());
    game.screenHeight = 512;
    ASSERT_EQ(loadTrack("\\ratio"), 0);
    EXPECT_FLOAT_EQ(game.trackViewZoom, 1.0f);
    // Zoomed in beyond 1 the track's zoom stands at any ratio; below 1 a wide screen brings the
    // camera nearer by the cosine term.
    t.zoom = 120;
    put("ratio", t.bytes());
    for (int height : {512, 400}) {
        game.screenHeight = height;
        ASSERT_EQ(loadTrack("\\ratio"), 0);
        EXPECT_FLOAT_EQ(game.trackViewZoom, 1.2f) << height;
    }
    t.zoom = 90;
    put("ratio", t.bytes());
    ASSERT_EQ(loadTrack("\\ratio"), 0);
    float c1 = std::cos(60 * 0.01745329252f);
    EXPECT_NEAR(game.trackViewZoom, 0.9f + (1 - 4 * 0.625f / 3) * 0.1f * c1 / (1 - c1), 1e-5);
    game.screenHeight = 512;
    t.zoom = 100;
    put("ratio", t.bytes());
    ASSERT_EQ(loadTrack("\\ratio"), 0);
    // The camera stands back along its view so that the whole square is in front of it.
    const float* m = game.cameraMatrix;
    Vec3 d = Vec3{64, 1, 64} - game.cameraPosition;
    EXPECT_GT(m[6] * d.x + m[7] * d.y + m[8] * d.z, 10.0f);
}

TEST_F(TrackLoad, ChecksumIgnoresTheLapLengthWhileTheRecordsSeedDoesNot)
{
    TestTrack t = basic();
    put("a", t.bytes());
    t.lapLength = 778;
    put("b", t.bytes());
    uint32_t a[4], b[4];
    ASSERT_GT(trackChecksum("\\a", a), 0u);
    ASSERT_GT(trackChecksum("\\b", b), 0u);
    EXPECT_EQ(std::memcmp(a, b, sizeof a), 0);
    ASSERT_EQ(loadTrack("\\a"), 0);
    uint32_t seedA[4];
    std::memcpy(seedA, game.recordsSeed, sizeof seedA);
    ASSERT_EQ(loadTrack("\\b"), 0);
    EXPECT_NE(std::memcmp(seedA, game.recordsSeed, sizeof seedA), 0);
    EXPECT_EQ(trackChecksum("\\none", b), 0u);
    EXPECT_EQ(b[0] | b[1] | b[2] | b[3], 0u);
}

TEST_F(TrackLoad, TracksAreFoundByChecksumInTheirFolders)
{
    TestTrack t = basic();
    put("rally/forest", t.bytes());
    t.size = 100;
    put("forest", t.bytes());
    put("zz/forest", basic().bytes());
    uint32_t sums[4];
    ASSERT_GT(trackChecksum("\\rally\\forest", sums), 0u);
    std::string found;
    ASSERT_TRUE(findTrackByChecksum("\\old\\place\\forest", sums, found));
    EXPECT_EQ(found, "\\rally\\forest");  // the first folder in listing order
    sums[0] ^= 1;
    EXPECT_FALSE(findTrackByChecksum("\\forest", sums, found));
}

TEST_F(TrackLoad, LyingSizesStayInsideTheArrays)
{
    TestTrack t = basic();
    // Run words for more than the map, then a height grid that claims 5000 bytes.
    for (int i = 0; i < 70; ++i) t.runs.push_back(runWord(4095, 0));
    t.heights.assign(5000, 40);
    t.heightCount = 5000;
    put("over", t.bytes());
    ASSERT_EQ(loadTrack("\\over"), 0);
    EXPECT_EQ(game.surfaceMap[surfaceMapCells - 1], 2);
    EXPECT_EQ(game.heightMap[heightMapCells - 1], 40);
    EXPECT_EQ(game.objectCount, 2);  // what follows is read from its own place
    EXPECT_EQ(game.lapLength, 777u);

    // Cut in the middle of the objects: counts say more than the file holds.
    std::vector<uint8_t> b = basic().bytes();
    b.resize(4 + 4 + 8 + 4 + 2 + 4096 + 2 + 5);
    put("cut", b);
    ASSERT_EQ(loadTrack("\\cut"), 0);
    EXPECT_EQ(game.objectCount, 2);
    EXPECT_FLOAT_EQ(game.trackObjects[0].position.x, 12.5f);  // the bytes that are there
    EXPECT_FLOAT_EQ(game.trackObjects[1].position.x, 0.0f);
    EXPECT_EQ(game.checkpointCount, 0);
    EXPECT_EQ(game.lapLength, 0u);
    EXPECT_EQ(game.trackRecords.time[0], emptyLapTime);  // never the previous track's records
    for (uint32_t s : game.recordsSeed) EXPECT_EQ(s, 1u);
}

TEST_F(TrackLoad, StartLineIsPaintedOnAsphaltOnly)
{
    TestTrack t = basic();
    t.paint = 1;
    for (int i = 0; i < 64; ++i) t.runs.push_back(runWord(4096 - 1, i < 32 ? 0 : 2));
    // Gate from (12.5, 12.5) to (12.5, 37.5) world: cells x = 50 .. 51, z = 50 .. 150.
    put("line", t.bytes());
    ASSERT_EQ(loadTrack("\\line"), 0);
    EXPECT_EQ(game.surfaceMap[100 * 512 + 50], 28);
    EXPECT_EQ(game.surfaceMap[100 * 512 + 60], 2);
    t.paint = 0;
    put("line", t.bytes());
    ASSERT_EQ(loadTrack("\\line"), 0);
    EXPECT_EQ(game.surfaceMap[100 * 512 + 50], 2);
    // Files older than the flag always have the line.
    t.version = 0x104;
    put("line", t.bytes());
    ASSERT_EQ(loadTrack("\\line"), 0);
    EXPECT_EQ(game.surfaceMap[100 * 512 + 50], 28);
    EXPECT_EQ(game.surfaceMap[50 * 512 + 48], 28);
    EXPECT_EQ(game.surfaceMap[100 * 512 + 60], 2);
}

TEST(TerrainHeight, BilinearAndClampedToTheSquare)
{
    uint8_t grid[heightMapCells] = {};
    grid[0] = 0;
    grid[1] = 20;
    grid[64] = 40;
    grid[65] = 60;
    uint8_t* saved = game.heightMap;
    game.heightMap = grid;
    game.trackSize = 63;
    game.heightCell = 1;
    EXPECT_FLOAT_EQ(terrainHeight(0.5f, 0.5f), 1.5f);
    EXPECT_FLOAT_EQ(terrainHeight(-5, -5), 0.0f);
    EXPECT_FLOAT_EQ(terrainHeight(NAN, 0.5f), 1.0f);
    EXPECT_FLOAT_EQ(terrainHeight(1000, 1000), 0.0f);
    game.heightMap = saved;
}
