// The records area: best times, the lap record, the ghost lap and the sealed trailer, written
// back into the track without ever touching its body.
#include "state/game_state.h"
#include "files/config.h"
#include "support/harness.h"
#include "track/ghost_lap.h"
#include "track/surface_map.h"
#include "track/track_checksum.h"
#include "track/track_loader.h"
#include "track/track_records.h"
#include "track_bytes.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <random>
#include <sys/wait.h>
#include <unistd.h>

class Records : public ::testing::Test {
protected:
    TempGameFolder folder;
    uint32_t bodyEnd = 0;
    std::vector<uint8_t> body;

    void SetUp() override
    {
        loadConfig();
        game.carCount = 1;
        game.cars[0].controls[0] = 1;  // a human
        std::strcpy(game.driverNames[0], "Ada");
        std::strcpy(game.carModels[0].name, "Racer");
        TestTrack t;
        t.gates = {{100, 100, 100, 300}};
        std::vector<uint8_t> b = t.bytes(&bodyEnd);
        body.assign(b.begin(), b.begin() + bodyEnd);
        folder.write("tracks/r.trk", b);
        ASSERT_EQ(loadTrack("\\r"), 0);
        clearGhost();
    }
    void TearDown() override
    {
        freeTrackData();
        freeGhost();
    }
    std::string file() { return folder.read("tracks/r.trk"); }
    uint32_t u32At(const std::string& f, size_t at)
    {
        uint32_t v;
        std::memcpy(&v, f.data() + at, 4);
        return v;
    }
    uint16_t u16At(const std::string& f, size_t at)
    {
        uint16_t v;
        std::memcpy(&v, f.data() + at, 2);
        return v;
    }
    // One lap of n samples along x, then its end.
    void driveLap(int n, float z = 20)
    {
        for (int i = 0; i < n; ++i) recordGhostSample({1.0f + i * 0.01f, 1.0f, z}, {0, 0, -1}, {0, 1, 0}, {1, 0, 0});
        finishGhostLap();
    }
    long ghostAt() const { return long(bodyEnd) + recordsAreaSize; }
};

TEST_F(Records, EqualTimesArePlacedAfterAndSlowTimesNotAtAll)
{
    for (int i = 1; i <= 6; ++i) game.trackRecords.time[i] = uint16_t(1000 * i);
    EXPECT_EQ(insertBestTime(2000), 3);
    EXPECT_EQ(game.trackRecords.time[2], 2000);
    EXPECT_EQ(game.trackRecords.time[3], 2000);
    EXPECT_STREQ(game.trackRecords.name[3], "Ada");
    EXPECT_STREQ(game.trackRecords.car[3].name, "Racer");
    EXPECT_GE(game.trackRecords.date[3].year, 2020);
    EXPECT_EQ(game.trackRecords.time[6], 5000);
    EXPECT_EQ(insertBestTime(5000), 0);
    EXPECT_EQ(insertBestTime(500), 1);
}

TEST_F(Records, ALapRecordNeedsAStrictlyFasterEligibleCar)
{
    game.trackRecords.time[0] = 3000;
    game.cars[2].controls[0] = 0;
    game.cars[2].controls[1] = 120;  // a computer driver above 100
    EXPECT_FALSE(updateLapRecord(2, 1000));
    EXPECT_FALSE(updateLapRecord(0, 3000));
    std::strcpy(game.driverNames[1], "Bo");
    game.cars[1].controls[0] = 0;
    game.cars[1].controls[1] = 100;
    EXPECT_TRUE(updateLapRecord(1, 2999));
    EXPECT_STREQ(game.trackRecords.name[0], "Bo");
}

TEST_F(Records, ALapOf6000StepsCanBeTheGhostButIsNeverWrittenNorTimed)
{
    driveLap(6100);  // recording stops at 6000 samples
    EXPECT_EQ(game.ghostBestSteps, 6000);
    EXPECT_EQ(game.trackRecords.time[1], emptyLapTime);
    GhostSample s;
    EXPECT_TRUE(ghostSample(5999, s));
    EXPECT_FALSE(ghostSample(6000, s));
    saveTrackRecords();
    std::string f = file();
    EXPECT_EQ(f.size(), size_t(ghostAt()) + 20);  // records, marker and checksum only
    EXPECT_EQ(u32At(f, f.size() - 20), recordsMarker);
}

TEST_F(Records, GhostRoundTripsAtHalfRateAndASlowerBestLeavesIt)
{
    driveLap(301);
    saveTrackRecords();
    std::string first = file();
    ASSERT_EQ(u16At(first, ghostAt()), 301);
    ASSERT_EQ(first.size(), size_t(ghostAt()) + 2 + 151 * 12 + 20);
    EXPECT_EQ(first.substr(0, bodyEnd), std::string(body.begin(), body.end()));

    ASSERT_EQ(loadTrack("\\r"), 0);
    EXPECT_EQ(game.ghostLimit, 301);
    GhostSample a, b, mid;
    ASSERT_TRUE(ghostSample(0, a) && ghostSample(2, b) && ghostSample(1, mid));
    EXPECT_NEAR(b.position.x, 1.02f, 1.0f / 150);
    EXPECT_NEAR(mid.position.x, 0.5f * (a.position.x + b.position.x), 1e-6);
    EXPECT_NEAR(a.up.y, 1.0f, 1e-6);  // forward x right
    EXPECT_TRUE(ghostSample(300, a));
    EXPECT_NEAR(a.position.x, 4.0f, 1.0f / 150);

    // A session whose own best is slower than the file's ghost.
    game.ghostBestSteps = 0;
    game.ghostBest = -1;
    driveLap(400);
    EXPECT_EQ(game.ghostBestSteps, 400);
    saveTrackRecords();
    std::string second = file();
    EXPECT_EQ(second.substr(ghostAt(), 2 + 151 * 12), first.substr(ghostAt(), 2 + 151 * 12));
}

TEST_F(Records, AShorterGhostOverwritesTheStartOfTheOldOneAndTheRestIsSealedWithIt)
{
    driveLap(301);
    saveTrackRecords();
    std::string first = file();
    ASSERT_EQ(loadTrack("\\r"), 0);
    driveLap(101, 30);
    saveTrackRecords();
    std::string second = file();
    ASSERT_EQ(second.size(), first.size());
    EXPECT_EQ(u16At(second, ghostAt()), 101);
    size_t newEnd = ghostAt() + 2 + 51 * 12;
    EXPECT_EQ(second.substr(newEnd, first.size() - 16 - newEnd), first.substr(newEnd, first.size() - 16 - newEnd));

    // The checksum continues the body's over everything between the body and itself.
    uint32_t s[4] = {1, 1, 1, 1};
    for (size_t i = 0; i < second.size() - 16; ++i) s[i % 4] += uint32_t(i + 1) * (uint8_t(second[i]) + 1);
    for (int k = 0; k < 4; ++k) EXPECT_EQ(u32At(second, second.size() - 16 + 4 * k), s[k]);
    ASSERT_EQ(loadTrack("\\r"), 0);
    EXPECT_EQ(game.ghostLimit, 101);
}

TEST_F(Records, ResetEndsTheFileAfterTheDatesAndTheNextSaveSealsItAgain)
{
    driveLap(301);
    saveTrackRecords();
    resetTrackRecords("r");
    EXPECT_EQ(file().size(), size_t(ghostAt()));
    EXPECT_EQ(game.trackRecords.time[1], emptyLapTime);
    EXPECT_EQ(game.ghostLimit, ghostNone);
    game.carCount = 2;
    saveTrackRecords();
    std::string f = file();
    EXPECT_EQ(f.size(), size_t(ghostAt()) + 20);
    EXPECT_EQ(u32At(f, ghostAt()), recordsMarker);
}

TEST_F(Records, WithTwoCarsOnlyTheLapRecordChangesAndTheGhostBytesStay)
{
    driveLap(301);
    saveTrackRecords();
    std::string before = file();
    ASSERT_EQ(loadTrack("\\r"), 0);
    game.carCount = 2;
    driveLap(100);  // a lap in a two-car race is no ghost and no best time
    EXPECT_EQ(game.trackRecords.time[1], 301);
    EXPECT_TRUE(updateLapRecord(0, 250));
    saveTrackRecords();
    std::string after = file();
    ASSERT_EQ(after.size(), before.size());
    EXPECT_EQ(u16At(after, bodyEnd), 250);
    // Entry 0's holder, car and date changed; the best times and the ghost did not.
    EXPECT_EQ(after.substr(bodyEnd + 2, 12), before.substr(bodyEnd + 2, 12));
    EXPECT_EQ(after.substr(ghostAt(), 2 + 151 * 12), before.substr(ghostAt(), 2 + 151 * 12));
}

TEST_F(Records, AMarkerValueInsideTheNewGhostIsNotTakenForTheTrailer)
{
    // The file ends right after the dates; a longer ghost whose bytes 20 before the new end spell
    // the marker must still get a trailer of its own after it.
    game.carCount = 1;
    resetTrackRecords("r");
    // Last stored sample: z = 0x544C / 150 and the right axis starting 0, 0.
    int n = 3;
    for (int i = 0; i < n; ++i) recordGhostSample({1, 1, 0x544C / 150.0f}, {0, 0, 1}, {0, 1, 0}, {1, 0, 0});
    finishGhostLap();
    saveTrackRecords();
    std::string f = file();
    ASSERT_EQ(f.size(), size_t(ghostAt()) + 2 + 24 + 20);
    EXPECT_EQ(u32At(f, f.size() - 20), recordsMarker);
    ASSERT_EQ(loadTrack("\\r"), 0);
    EXPECT_EQ(game.ghostLimit, 3);
}

TEST_F(Records, KilledWhileSavingTheTrackStillLoadsWithItsBodyIntact)
{
    std::mt19937 rng(7);
    for (int round = 0; round < 12; ++round) {
        pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (int lap = 0;; ++lap) {
                ASSERT_EQ(loadTrack("\\r"), 0);
                clearGhost();
                driveLap(200 + (lap * 37) % 900);
                saveTrackRecords();
                if (lap % 5 == 4) resetTrackRecords("r");
            }
        }
        usleep(2000 + rng() % 40000);
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        std::string f = file();
        ASSERT_GE(f.size(), size_t(bodyEnd)) << round;
        ASSERT_EQ(f.substr(0, bodyEnd), std::string(body.begin(), body.end())) << round;
        ASSERT_EQ(loadTrack("\\r"), 0);
        uint32_t s[4];
        EXPECT_EQ(trackChecksum("\\r", s), bodyEnd - 4u);
    }
}

// A header whose bodyEnd lies inside the body (damaged, or written by another tool) names the
// track's own fields as its records area; nothing may ever be written or cut there.
TEST_F(Records, ABodyEndInsideTheFieldsNeverGetsRecordsWrittenOverTheTrack)
{
    for (uint16_t version : {0x100, 0x101, 0x104, 0x110}) {
        TestTrack t;
        t.version = version;
        t.magic = version > 0x100;
        t.runs = {runWord(4095, 0), runWord(7, 9)};
        t.objects = {{0, 100, 200, 0}};
        t.boxes = {{200, 400, 0}};
        t.gates = {{100, 100, 100, 300}};
        t.line = {{100, 100}, {300, 100}, {300, 300}};
        t.pit = {{120, 90}, {200, 90}};
        uint32_t trueEnd = 0;
        std::vector<uint8_t> b = t.bytes(&trueEnd);
        uint32_t fieldsEnd = trueEnd - 30 - 500 - 2 - (version >= 0x102 ? 4 : 2);
        size_t at = t.magic ? 4 : 0;
        for (uint32_t lie : {40u, fieldsEnd - 1, fieldsEnd}) {
            std::vector<uint8_t> lying = b;
            for (int k = 0; k < 4; ++k) lying[at + k] = uint8_t(lie >> (8 * k));
            folder.write("tracks/d.trk", lying);
            std::string before = folder.read("tracks/d.trk");
            ASSERT_EQ(loadTrack("\\d"), 0) << version << " " << lie;
            clearGhost();
            driveLap(301);
            EXPECT_TRUE(updateLapRecord(0, 250));
            saveTrackRecords();
            resetTrackRecords("d");
            std::string after = folder.read("tracks/d.trk");
            ASSERT_GE(after.size(), size_t(fieldsEnd)) << version << " " << lie;
            // Compared whole: a failure should not print ten kilobytes.
            EXPECT_TRUE(after.compare(0, fieldsEnd, before, 0, fieldsEnd) == 0) << version << " " << lie;
            if (lie < fieldsEnd) {
                EXPECT_TRUE(after == before) << version << " " << lie;
                // The body's bytes are no records to show either.
                ASSERT_EQ(loadTrackPreview("\\d"), 0);
                EXPECT_EQ(game.trackRecords.time[0], emptyLapTime) << version << " " << lie;
            } else {
                // Right at the fields' end the records may go, over the info block.
                EXPECT_EQ(after.size(), size_t(fieldsEnd) + recordsAreaSize) << version;
            }
        }
    }
}

TEST_F(Records, StoredCarsKeepTwelveCharacterNamesAndTheirPaddingThroughASave)
{
    std::string f = file();
    size_t cars = bodyEnd + 105;
    for (int i = 0; i < recordCount; ++i) {
        for (int k = 12; k < 16; ++k) f[cars + i * 1344 + k] = char(0xA0 + 4 * i + k - 12);
        f[cars + i * 1344 + 383] = char(0x50 + i);
    }
    std::memcpy(&f[cars + 3 * 1344], "ABCDEFGHIJKL", 12);  // no NUL within its twelve bytes
    f[bodyEnd + 6] = char(3000 & 255), f[bodyEnd + 7] = char(3000 >> 8);
    folder.write("tracks/r.trk", f);
    ASSERT_EQ(loadTrack("\\r"), 0);
    EXPECT_STREQ(game.trackRecords.car[3].name, "ABCDEFGHIJKL");

    // Entry 0 gets a new car; its padding is the file's all the same.
    game.carCount = 2;
    ASSERT_TRUE(updateLapRecord(0, 250));
    saveTrackRecords();
    std::string after = file();
    EXPECT_TRUE(after.compare(cars + 3 * 1344, 1344, f, cars + 3 * 1344, 1344) == 0);
    for (int i = 0; i < recordCount; ++i) {
        EXPECT_EQ(after.substr(cars + i * 1344 + 12, 4), f.substr(cars + i * 1344 + 12, 4)) << i;
        EXPECT_EQ(after[cars + i * 1344 + 383], f[cars + i * 1344 + 383]) << i;
    }
    EXPECT_EQ(after.substr(cars, 12), std::string("Racer") + std::string(7, '\0'));

    // Reset writes the empty cars the same way.
    resetTrackRecords("r");
    after = file();
    EXPECT_EQ(after.substr(cars + 3 * 1344, 12), std::string(12, '\0'));
    EXPECT_EQ(after.substr(cars + 3 * 1344 + 12, 4), f.substr(cars + 3 * 1344 + 12, 4));
}

TEST_F(Records, OnlyAOneCarRaceReadsTheGhostAndOnlyAWholeOneOfAtMost6000Steps)
{
    driveLap(301);
    saveTrackRecords();
    std::string sealed = file();
    game.carCount = 2;
    clearGhost();
    ASSERT_EQ(loadTrack("\\r"), 0);
    GhostSample s;
    EXPECT_EQ(game.ghostLimit, ghostNone);
    EXPECT_FALSE(ghostSample(0, s));

    // Counts the game never writes, and ghosts cut short; the records before them still load.
    game.carCount = 1;
    std::string samples(3001 * 12, char(1));
    auto withGhost = [&](uint16_t n, size_t stored) {
        std::string f = sealed.substr(0, ghostAt());
        f += char(n & 255), f += char(n >> 8);
        f += samples.substr(0, stored * 12);
        folder.write("tracks/r.trk", f);
        clearGhost();
        EXPECT_EQ(loadTrack("\\r"), 0);
        EXPECT_EQ(game.trackRecords.time[1], 301);
    };
    withGhost(6001, 3001);
    EXPECT_EQ(game.ghostLimit, ghostNone);
    EXPECT_FALSE(ghostSample(0, s));
    withGhost(301, 150);  // one stored sample short
    EXPECT_EQ(game.ghostLimit, ghostNone);
    EXPECT_FALSE(ghostSample(0, s));
    withGhost(6000, 3000);  // the longest the file may hold
    EXPECT_EQ(game.ghostLimit, 6000);
    EXPECT_TRUE(ghostSample(5999, s));
}
