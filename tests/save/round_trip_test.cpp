// A game saved and loaded again goes on as the game that was never saved: the same screen,
// and with the same inputs the same race.
#include "save_fixture.h"

#include "race/race_pause.h"
#include "race/race_rules.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace {

// The human's keys as a function of the race clock: flat out with a weave, so the run is
// the same whenever it is replayed from the same moment.
void scriptedKeys()
{
    int phase = (game.raceClock / 120) % 5;
    holdKey(SDLK_UP, true);
    holdKey(SDLK_LEFT, phase == 1);
    holdKey(SDLK_RIGHT, phase == 3);
}

void driveSteps(int steps)
{
    for (int i = 0; i < steps && game.racePhase < RaceOver; ++i) {
        scriptedKeys();
        raceStep();
    }
}

// What a race leaves: every car's laps, times and place, and the points.
struct Outcome {
    std::vector<int64_t> values;
    bool operator==(const Outcome& o) const { return values == o.values; }
};

Outcome outcome()
{
    Outcome o;
    o.values.push_back(game.racePhase);
    o.values.push_back(game.raceClock);
    for (int i = 0; i < game.carCount; ++i) {
        const CarState& c = game.cars[i];
        for (int64_t v : {int64_t(c.laps), int64_t(c.lastCrossing), int64_t(c.bestLap), int64_t(c.position),
                          int64_t(game.runningOrder[i]), int64_t(game.seasonPoints[i]), int64_t(c.fuel), int64_t(c.tyres)})
            o.values.push_back(v);
        int32_t x;
        std::memcpy(&x, &c.positionVector.x, 4);
        o.values.push_back(x);
    }
    return o;
}

std::ostream& operator<<(std::ostream& os, const Outcome& o)
{
    for (int64_t v : o.values) os << v << ' ';
    return os;
}

// The file carries the race, not the random cursor nor the tyre marks the cars left (its
// layout has no room for them). The runs compared here draw from a flat random table, under
// which neither plays a part, so whatever differs comes from the file.
void flatRandom()
{
    for (int i = 0; i < 256; ++i) game.randomTable[i] = 0.5f;
}

class RoundTrip : public SaveTest {
protected:
    void start(int cars, std::vector<std::string> tracks)
    {
        drivers(cars);
        game.seasonTracks = tracks;
        ASSERT_EQ(startSeason(), 0);
        flatRandom();
    }
    // Loaded as the game would be at the same moment of its clock.
    void load(const std::string& name)
    {
        clock.set(1000);
        ASSERT_EQ(loadGame(name), 0);
        flatRandom();
    }
    static void press()
    {
        holdKey(SDLK_SPACE, true);
        raceStep();
        holdKey(SDLK_SPACE, false);
        raceStep();
    }
};

TEST_F(RoundTrip, ASixCarRaceSavedMidwayFinishesTheSameAfterLoading)
{
    start(6, {"gp", "hills"});
    game.racePhase = Racing;
    driveSteps(1700);
    ASSERT_EQ(game.racePhase, Racing);
    ASSERT_TRUE(saveGame("Midway"));
    driveSteps(200000);
    ASSERT_EQ(game.racePhase, RaceOver);
    Outcome never = outcome();

    load("Midway");
    EXPECT_EQ(game.racePhase, Racing);
    EXPECT_EQ(game.raceClock, 1700);
    EXPECT_EQ(game.raceRunning, 1);
    driveSteps(200000);
    EXPECT_EQ(outcome(), never);
}

TEST_F(RoundTrip, ASeasonSavedAtTheStandingsRacesItsNextRaceTheSame)
{
    start(3, {"gp", "hills"});
    game.racePhase = Racing;
    driveSteps(200000);
    releaseAllKeys();
    raceStep();
    ASSERT_EQ(game.racePhase, ResultsShown);
    press();
    raceStep();
    ASSERT_EQ(game.racePhase, StandingsShown);
    ASSERT_TRUE(saveGame("Standings"));
    Outcome afterFirst = outcome();
    press();
    ASSERT_EQ(game.seasonRace, 1);
    ASSERT_EQ(game.racePhase, WaitForKey);
    game.racePhase = Racing;
    driveSteps(200000);
    Outcome never = outcome();
    releaseAllKeys();

    load("Standings");
    EXPECT_EQ(game.racePhase, StandingsShown);
    EXPECT_EQ(game.seasonRace, 0);
    EXPECT_EQ(outcome(), afterFirst);
    press();
    ASSERT_EQ(game.seasonRace, 1);
    ASSERT_EQ(game.racePhase, WaitForKey);
    game.racePhase = Racing;
    driveSteps(200000);
    EXPECT_EQ(outcome(), never);
}

TEST_F(RoundTrip, ATimeTrialSavedInItsSecondLapKeepsItsGhostAndEndsTheSame)
{
    game.options.raceLength = 4;
    start(1, {"street"});
    game.cars[0].controls[0] = 0;  // a computer driver sets laps a human script would not
    game.cars[0].controls[1] = 100;
    // Under the flat random table an Arrow misses a corner of street and slides into a blind
    // alley whose way out its driver does not find; a Brute laps.
    auto isBrute = [](const CarModel& m) { return std::string(m.name, strnlen(m.name, sizeof m.name)) == "Brute"; };
    const CarModel* brute = std::find_if(game.models, game.models + game.modelCount, isBrute);
    ASSERT_NE(brute, game.models + game.modelCount);
    game.carModels[0] = *brute;
    game.racePhase = Racing;
    for (int i = 0; i < 200000 && game.ghostBestSteps == 0 && game.racePhase < RaceOver; ++i) raceStep();
    ASSERT_GT(game.ghostBestSteps, 0) << game.cars[0].laps << " laps";
    for (int i = 0; i < 300; ++i) raceStep();
    uint16_t savedGhost = game.ghostBestSteps;
    ASSERT_TRUE(saveGame("Trial"));
    driveSteps(200000);
    Outcome never = outcome();
    uint16_t ghost = game.ghostBestSteps;

    load("Trial");
    EXPECT_EQ(game.carCount, 1);
    EXPECT_EQ(game.ghostBestSteps, savedGhost);
    driveSteps(200000);
    EXPECT_EQ(outcome(), never);
    EXPECT_EQ(game.ghostBestSteps, ghost);
}

}  // namespace
