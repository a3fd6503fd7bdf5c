#pragma once
// What the race tests set up alike: the key snapshot the race frame reads, a private copy of
// the built game's tracks and cars, and the options, config and car models a race starts from.
#include "state/game_state.h"
#include "support/harness.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

struct DriverProfile;

// Points the frame's key snapshot at keys and clears the hooks a previous test left.
void wireRaceKeys(uint8_t* keys);
// Leaves no snapshot, hooks or running race behind for the next test.
void unwireRaceKeys();

enum class BuiltTracks { GrandPrix, All };
// Copies the built tracks and the shipped cars into folder; false when the game folder has not
// been assembled, and the test should skip.
bool copyBuiltGame(const TempGameFolder& folder, BuiltTracks tracks);
// Default options, then the config and the car models.
void loadRaceSetup();
// No season tracks, no drivers, and the race slots matched to that.
void clearSeason();
// A driver made in memory on the given car type, seated in the next car.
DriverProfile* enterDriver(const std::string& name, bool human, uint32_t carType = 0);

// SDL, a driven clock and the key snapshot.
class RaceInputTest : public ::testing::Test {
protected:
    explicit RaceInputTest(uint32_t start = 1000) : clock(start) {}
    void SetUp() override { wireRaceKeys(keys); }
    void TearDown() override { unwireRaceKeys(); }

    SdlSession sdl;
    DrivenTicks clock;
    uint8_t keys[keySnapshotSize] = {};
};

// The same in a private game folder with the built tracks and cars and the race setup loaded,
// so that nothing a race writes touches the built game. Skips without a built game folder;
// a SetUp that adds to it returns when IsSkipped().
class RaceFolderTest : public RaceInputTest {
protected:
    explicit RaceFolderTest(BuiltTracks tracks = BuiltTracks::All) : tracks_(tracks) {}
    void SetUp() override
    {
        if (!copyBuiltGame(folder, tracks_)) GTEST_SKIP() << "no built game folder";
        RaceInputTest::SetUp();
        loadRaceSetup();
    }

    TempGameFolder folder;

private:
    BuiltTracks tracks_;
};

// The same with nobody seated when the test starts, and the season gone after it.
class SeasonFolderTest : public RaceFolderTest {
protected:
    void SetUp() override
    {
        RaceFolderTest::SetUp();
        if (IsSkipped()) return;
        game.raceRunning = 0;
        game.driverList.clear();
        game.carCount = 0;
    }
    void TearDown() override
    {
        RaceFolderTest::TearDown();
        clearSeason();
    }
};
