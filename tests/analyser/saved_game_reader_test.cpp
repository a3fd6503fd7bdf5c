#include "composed_files.h"
#include "saved_game_reader.h"

#include <gtest/gtest.h>

static bool read(const std::vector<uint8_t>& bytes, SavedGameInfo& out, std::string& why)
{
    // An exactly sized copy on the heap, so a read past the end is caught by the sanitizer.
    std::vector<uint8_t> exact(bytes);
    exact.shrink_to_fit();
    return readSavedGame(exact.data(), exact.size(), out, why);
}

static ComposedGame sixCars()
{
    ComposedGame g;
    g.cars.clear();
    const char* names[6] = {"Anna", "Bert", "Cleo", "Dirk", "Emil", "Fay"};
    for (int i = 0; i < 6; ++i) {
        ComposedCar c;
        c.name = names[i];
        c.carName = i % 2 ? "Brute" : "Arrow";
        c.human = i == 0;
        c.skill = 60 + 5 * i;
        c.position = 5 - i;
        c.laps = 3 + i;
        c.lastCrossing = 1000 * i;
        c.lastLap = 2000 + i;
        c.upsideDown = -i;
        c.bestLap = 1900 + i;
        c.tyres = 65535 - i;
        c.fuel = 40000 + i;
        c.damage = 300 * i;
        g.cars.push_back(c);
    }
    g.runningOrder = {5, 4, 3, 2, 1, 0};
    g.tracks = {"\\first", "\\rally\\forest", "\\third"};
    g.seasonRace = 1;
    return g;
}

TEST(SavedGameReader, SixCarsGiveEveryCarsValuesAndTheRaceValues)
{
    SavedGameInfo info;
    std::string why;
    ASSERT_TRUE(read(composeSavedGame(sixCars()), info, why)) << why;
    EXPECT_EQ(info.version, 0x0110);
    EXPECT_EQ(info.raceLength, 3);
    EXPECT_EQ(info.tyreWear, 100);
    EXPECT_EQ(info.fuelConsumption, 90);
    EXPECT_EQ(info.damage, 80);
    EXPECT_EQ(info.fuelMass, 120);
    EXPECT_EQ(info.stepRate, 150);
    EXPECT_EQ(info.seasonRaceCount, 3u);
    EXPECT_EQ(info.trackName, "\\rally\\forest");
    ASSERT_EQ(info.cars.size(), 6u);
    for (int i = 0; i < 6; ++i) {
        const AnalysedCar& c = info.cars[size_t(i)];
        SCOPED_TRACE(i);
        EXPECT_EQ(c.human, i == 0);
        EXPECT_EQ(c.skill, i == 0 ? 0x12 : 60 + 5 * i);  // a human's second slot is a key code
        EXPECT_EQ(c.position, 6 - i);
        EXPECT_EQ(c.laps, 3 + i);
        EXPECT_EQ(c.lastCrossing, 1000 * i);
        EXPECT_EQ(c.lastLap, 2000 + i);
        EXPECT_EQ(c.upsideDown, -i);
        EXPECT_EQ(c.bestLap, 1900 + i);
        EXPECT_EQ(c.tyres, 65535 - i);
        EXPECT_EQ(c.fuel, 40000 + i);
        EXPECT_EQ(c.damage, 300 * i);
        EXPECT_EQ(c.carName, i % 2 ? "Brute" : "Arrow");
    }
    EXPECT_EQ(info.cars[2].name, "Cleo");
    EXPECT_EQ(info.runningOrder, (std::vector<int64_t>{6, 5, 4, 3, 2, 1}));
    EXPECT_EQ(info.raceLaps, 3);
    EXPECT_EQ(info.leaderLaps, 2);
    EXPECT_EQ(info.raceClock, 4567);
    EXPECT_EQ(info.fastestLapTime, 2345);
    EXPECT_TRUE(info.hasReplay);
    EXPECT_TRUE(info.path.empty());
}

TEST(SavedGameReader, OneCarGameFindsItsReplayBehindAGhostThatMimicsTheTag)
{
    ComposedGame g;
    g.ghostSamples = 7;  // four stored samples, each holding the replay tag's bytes
    g.frames = {{1500, 450, 3000}, {1600, 60000, 3100}};
    SavedGameInfo info;
    std::string why;
    ASSERT_TRUE(read(composeSavedGame(g), info, why)) << why;
    ASSERT_TRUE(info.hasReplay);
    ASSERT_EQ(info.path.size(), 2u);
    // The map position is x and z; the height in between is not.
    EXPECT_EQ(info.path[1].x, 1600);
    EXPECT_EQ(info.path[1].z, 3100);
}

TEST(SavedGameReader, OldVersionsKeepLongerTrackNamesAndNewerOnesAreRefused)
{
    ComposedGame g;
    g.version = 0x0102;
    g.tracks = {std::string(50, 'n')};
    SavedGameInfo info;
    std::string why;
    ASSERT_TRUE(read(composeSavedGame(g), info, why)) << why;
    EXPECT_EQ(info.trackName, std::string(50, 'n'));

    g.version = 0x0111;
    EXPECT_FALSE(read(composeSavedGame(g), info, why));
    EXPECT_NE(why.find("0x0111"), std::string::npos);
}

TEST(SavedGameReader, NamesFillingTheirFieldsStopAtTheFieldsEnd)
{
    ComposedGame g;
    g.cars[0].name = "ThirteenChars";
    g.cars[0].carName = std::string(30, 'c');  // the name field of a car record is 12 bytes
    g.tracks = {std::string(40, 't'), "\\next"};
    SavedGameInfo info;
    std::string why;
    ASSERT_TRUE(read(composeSavedGame(g), info, why)) << why;
    EXPECT_EQ(info.cars[0].name, "ThirteenChars");
    EXPECT_EQ(info.cars[0].carName, std::string(12, 'c'));
    EXPECT_EQ(info.trackName, std::string(40, 't'));
}

TEST(SavedGameReader, BadCarCountsSeasonsAndCutFilesAreRefusedOrShownWithoutTrack)
{
    std::vector<uint8_t> bytes = composeSavedGame(sixCars());
    SavedGameInfo info;
    std::string why;
    for (uint32_t n : {0u, 7u, 0xFFFFFFFFu}) {
        std::vector<uint8_t> b = bytes;
        b[78] = uint8_t(n), b[79] = uint8_t(n >> 8), b[80] = uint8_t(n >> 16), b[81] = uint8_t(n >> 24);
        EXPECT_FALSE(read(b, info, why)) << n;
    }
    // A season count that puts the car states past the end.
    std::vector<uint8_t> b = bytes;
    size_t seasonAt = 82 + 1449 * 6;
    b[seasonAt + 3] = 0x40;
    EXPECT_FALSE(read(b, info, why));
    EXPECT_NE(why.find("cut short"), std::string::npos);
    // A current race outside the season has no track.
    b = bytes;
    b[seasonAt + 4] = 3;
    ASSERT_TRUE(read(b, info, why));
    EXPECT_EQ(info.trackName, "");
}

TEST(SavedGameReader, ReplayTagsOfOtherVersionsCutTagsAndLyingFrameCounts)
{
    ComposedTrack t;
    ComposedGame g;
    g.frames = squareLaps(t, 1, 100, 10);
    SavedGameInfo info;
    std::string why;

    g.replayVersion = 0x0103;
    ASSERT_TRUE(read(composeSavedGame(g), info, why));
    EXPECT_FALSE(info.hasReplay);
    g.replayVersion = 0x0105;
    ASSERT_TRUE(read(composeSavedGame(g), info, why));
    EXPECT_TRUE(info.hasReplay);
    EXPECT_EQ(info.path.size(), g.frames.size());

    g.replayVersion = 0x0110;
    g.claimedFrames = 0xFFFFFFFE;
    ASSERT_TRUE(read(composeSavedGame(g), info, why));
    EXPECT_EQ(info.storedFrames, 0xFFFFFFFEu);
    EXPECT_EQ(info.path.size(), g.frames.size());  // only what the file holds

    // Cut inside a frame, inside the block's head, and right after the tag's first bytes.
    g.claimedFrames = UINT32_MAX;
    std::vector<uint8_t> whole = composeSavedGame(g);
    size_t tagAt = whole.size() - 4 - 18 * g.frames.size() - 12;
    for (size_t cut : {whole.size() - 7, tagAt + 15, tagAt + 10, tagAt + 3}) {
        std::vector<uint8_t> b(whole.begin(), whole.begin() + long(cut));
        ASSERT_TRUE(read(b, info, why)) << cut;
        size_t expected = cut >= tagAt + 16 ? (cut - tagAt - 16) / 18 : 0;
        EXPECT_EQ(info.path.size(), expected) << cut;
        EXPECT_EQ(info.hasReplay, cut >= tagAt + 16) << cut;
    }

    g.replay = false;
    ASSERT_TRUE(read(composeSavedGame(g), info, why));
    EXPECT_FALSE(info.hasReplay);
}

TEST(SavedGameReader, EveryCutOfAFileIsReadOrRefusedWithinItsBytes)
{
    ComposedGame g = sixCars();
    g.frames = squareLaps(ComposedTrack(), 1, 40, 0);
    std::vector<uint8_t> whole = composeSavedGame(g);
    SavedGameInfo info;
    std::string why;
    size_t accepted = 0;
    for (size_t cut = 0; cut <= whole.size(); cut += cut < 200 ? 1 : 7) {
        std::vector<uint8_t> b(whole.begin(), whole.begin() + long(cut));
        if (read(b, info, why)) ++accepted;
        else EXPECT_FALSE(why.empty());
    }
    EXPECT_GT(accepted, 0u);
}
