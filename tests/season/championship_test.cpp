#include "season/championship.h"

#include "race/car_models.h"
#include "race/race_frame.h"
#include "race/race_pause.h"
#include "race/race_rules.h"
#include "season/driver_file.h"
#include "season/race_slots.h"
#include "season/season_standings.h"
#include "files/config.h"
#include "files/options_file.h"
#include "state/game_state.h"
#include "track/track_loader.h"
#include "track/track_records.h"
#include "support/harness.h"
#include "support/race_fixture.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

// Three drivers on the shipped cars and tracks in a private folder: "Ann" on the keys, "Bob"
// and "Cy" computer drivers. The races are driven by putting cars across the line by hand.
class Season : public SeasonFolderTest {
protected:
    void SetUp() override
    {
        SeasonFolderTest::SetUp();
        if (IsSkipped()) return;
        resetTrackRecords("gp");
        game.options.raceLength = 2;
        game.options.distanceUnit = 0;
        game.options.startingOrder = 2;
    }

    void threeDrivers()
    {
        DriverProfile* ann = enterDriver("Ann", true);
        ann->races = 5;        // a career before this season
        ann->totalPoints = 30;
        enterDriver("Bob", false);
        enterDriver("Cy", false);
    }

    static void cross(int car, int32_t clock)
    {
        game.raceClock = clock;
        lineCrossing(car);
    }
    static void step() { raceStep(); }
    // A key pressed and let go, as the frame sees it over two steps.
    static void press()
    {
        holdKey(SDLK_SPACE, true);
        raceStep();
        holdKey(SDLK_SPACE, false);
        raceStep();
    }
    // The race is over: results, points and records, then a key on the results.
    static void finishRace()
    {
        game.racePhase = RaceOver;
        step();
        ASSERT_EQ(game.racePhase, ResultsShown);
        press();
    }
    // Ann wins with the only fastest lap, Bob second, Cy third: 10, 6 and 4 points.
    static void plainRace()
    {
        game.racePhase = Racing;
        cross(0, 1000), cross(1, 1050), cross(2, 1100);
        cross(0, 2000), cross(1, 2100), cross(2, 2300);
        finishRace();
    }
    static DriverProfile stored(const char* name)
    {
        DriverProfile p{};
        EXPECT_EQ(readDriver(name, &p), 0) << name;
        return p;
    }
};

TEST_F(Season, ThreeRacesScorePlacesDeadHeatsLapsDownAndFastestLapsIntoTheProfiles)
{
    threeDrivers();
    game.seasonTracks = {"gp", "gp", "gp"};
    ASSERT_EQ(startSeason(), 0);
    EXPECT_EQ(game.raceRunning, 1);
    EXPECT_EQ(game.seasonRaceCount, 3);
    EXPECT_EQ(game.racePhase, WaitForKey);
    EXPECT_EQ(game.raceLaps, 2);
    // "Points, reversed" starts the first race in reverse selection order.
    EXPECT_EQ(game.runningOrder[0], 2);
    EXPECT_EQ(game.runningOrder[2], 0);
    EXPECT_EQ(game.cars[1].controls[0], 0u);
    EXPECT_EQ(game.cars[1].controls[1], 100u);
    EXPECT_EQ(game.cars[1].controls[3], 100u);
    EXPECT_EQ(game.cars[0].controls[0], uint32_t(SDLK_UP));

    plainRace();
    EXPECT_EQ(game.racePhase, StandingsShown);
    EXPECT_EQ(game.seasonPoints[0], 10);
    EXPECT_EQ(game.seasonPoints[1], 6);
    EXPECT_EQ(game.seasonPoints[2], 4);
    // Scored races are in the drivers' files at once.
    EXPECT_EQ(stored("Ann").races, 6u);
    EXPECT_EQ(stored("Cy").totalPoints, 4u);
    press();
    EXPECT_EQ(game.seasonRace, 1);
    EXPECT_EQ(game.racePhase, WaitForKey);
    // From the second race the fewest points start first.
    EXPECT_EQ(game.runningOrder[0], 2);
    EXPECT_EQ(game.runningOrder[1], 1);
    EXPECT_EQ(game.runningOrder[2], 0);

    // Race 2: Bob wins with the fastest lap; Cy and Ann cross on the same step and both score
    // second place, though Ann's statistics say third.
    game.racePhase = Racing;
    cross(1, 1000), cross(2, 1040), cross(0, 1060);
    cross(1, 2000), cross(2, 2100), cross(0, 2100);
    finishRace();
    EXPECT_EQ(game.seasonPoints[0], 16);
    EXPECT_EQ(game.seasonPoints[1], 16);
    EXPECT_EQ(game.seasonPoints[2], 10);
    PointsTable table = standingsTable(true);
    EXPECT_EQ(table.race, 2);
    EXPECT_EQ(table.races, 3);
    ASSERT_EQ(table.lines.size(), 3u);
    EXPECT_EQ(table.lines[0].name, "Ann");
    EXPECT_FALSE(table.lines[0].sharesPlace);
    EXPECT_EQ(table.lines[1].name, "Bob");
    EXPECT_TRUE(table.lines[1].sharesPlace);
    EXPECT_EQ(table.lines[2].name, "Cy");
    press();
    EXPECT_EQ(game.runningOrder[0], 2);

    // Race 3: Cy wins with the fastest lap; Bob, a lap down, crossed before Ann finished and
    // still scores third.
    game.racePhase = Racing;
    cross(2, 900), cross(0, 1000), cross(1, 1100);
    cross(2, 1800), cross(0, 2000);
    finishRace();
    EXPECT_EQ(game.racePhase, FinalShown);
    EXPECT_EQ(game.seasonPoints[0], 22);
    EXPECT_EQ(game.seasonPoints[1], 20);
    EXPECT_EQ(game.seasonPoints[2], 20);
    EXPECT_EQ(game.raceRunning, 1);
    press();
    EXPECT_EQ(game.raceRunning, 0);

    DriverProfile ann = stored("Ann"), bob = stored("Bob"), cy = stored("Cy");
    const uint32_t onceEach[6] = {1, 1, 1, 0, 0, 0};
    for (const DriverProfile* p : {&ann, &bob, &cy})
        EXPECT_EQ(std::memcmp(p->raceFinishes, onceEach, sizeof onceEach), 0);
    EXPECT_EQ(ann.races, 8u);
    EXPECT_EQ(ann.totalPoints, 52u);
    EXPECT_EQ(bob.totalPoints, 20u);
    EXPECT_EQ(cy.totalPoints, 20u);
    EXPECT_EQ(ann.fastestLaps, 1u);
    EXPECT_EQ(bob.fastestLaps, 1u);
    EXPECT_EQ(cy.fastestLaps, 1u);
    // Bob and Cy tie for second place in the championship and both are counted second.
    EXPECT_EQ(ann.seasons, 1u);
    EXPECT_EQ(ann.championshipFinishes[0], 1u);
    EXPECT_EQ(bob.championshipFinishes[1], 1u);
    EXPECT_EQ(cy.championshipFinishes[1], 1u);
    EXPECT_EQ(cy.championshipFinishes[2], 0u);
}

TEST_F(Season, TheLastLapIsJudgedForTheFastestLapTheRecordAndThePoint)
{
    threeDrivers();
    game.seasonTracks = {"gp"};
    ASSERT_EQ(startSeason(), 0);
    clearTrackRecords(game.trackRecords);
    game.racePhase = Racing;
    // Bob's last lap, 9.00 s, is the fastest of the race and wins it.
    cross(0, 1000), cross(1, 1050), cross(2, 1100);
    cross(1, 1950), cross(0, 2100), cross(2, 2300);
    EXPECT_EQ(game.fastestLapTime, 900);
    EXPECT_EQ(game.fastestLapCar, 1);
    EXPECT_EQ(game.trackRecords.time[0], 900);
    EXPECT_STREQ(game.trackRecords.name[0], "Bob");
    EXPECT_EQ(game.carPanels[1].lapTimeColour, LapTimeRecord);
    EXPECT_STREQ(game.carPanels[1].lapTime, " 9.00");
    finishRace();
    EXPECT_EQ(stored("Bob").fastestLaps, 1u);
    EXPECT_EQ(stored("Ann").fastestLaps, 0u);
    EXPECT_EQ(stored("Cy").fastestLaps, 0u);
    // 9 for the win and the one fastest-lap point; 6 and 4 for the others.
    EXPECT_EQ(game.seasonPoints[1], 10);
    EXPECT_EQ(game.seasonPoints[0], 6);
    EXPECT_EQ(game.seasonPoints[2], 4);
}

TEST_F(Season, ARaceWithoutACompletedLapHasNoFastestLapPoint)
{
    threeDrivers();
    game.options.raceLength = 1;
    game.seasonTracks = {"gp"};
    ASSERT_EQ(startSeason(), 0);
    game.racePhase = Racing;
    finishRace();
    for (const char* name : {"Ann", "Bob", "Cy"}) EXPECT_EQ(stored(name).fastestLaps, 0u) << name;
}

TEST_F(Season, EachCarRacesItsDriversCarTypeAndATypeBeyondTheListRacesCarZero)
{
    if (game.modelCount < 2) GTEST_SKIP() << "one car type";
    enterDriver("Ann", true, 1);
    enterDriver("Bob", false, uint32_t(game.modelCount) + 3);
    game.seasonTracks = {"gp"};
    ASSERT_EQ(startSeason(), 0);
    EXPECT_STREQ(game.carModels[0].name, game.models[1].name);
    EXPECT_STREQ(game.carModels[1].name, game.models[0].name);
    EXPECT_EQ(game.cars[1].mass, game.models[0].mass + game.options.fuelMass * 65535.0f / 65536.0f);
}

TEST_F(Season, TracksThatDoNotLoadAreSkippedAndAMissingLastTrackEndsTheSeason)
{
    threeDrivers();
    game.seasonTracks = {"nowhere", "gp", "gone"};
    ASSERT_EQ(startSeason(), 0);
    EXPECT_EQ(game.seasonRace, 1);
    EXPECT_EQ(game.trackEntry, "\\gp");
    EXPECT_EQ(game.racePhase, WaitForKey);

    plainRace();
    press();
    // The last track does not load: the season is over and complete.
    EXPECT_EQ(game.seasonRace, 2);
    EXPECT_EQ(game.racePhase, FinalShown);
    EXPECT_EQ(stored("Ann").seasons, 1u);

    // Nothing loads at all: no race, no points, straight back to the menu.
    game.seasonTracks = {"nowhere"};
    ASSERT_EQ(startSeason(), 0);
    EXPECT_EQ(game.raceRunning, 0);
    EXPECT_EQ(stored("Ann").seasons, 1u);
}

TEST_F(Season, EndingARaceOrTheSeasonEarlyKeepsTheScoredRacesAndCountsNoSeason)
{
    threeDrivers();
    game.seasonTracks = {"gp", "gp", "gp"};
    ASSERT_EQ(startSeason(), 0);
    plainRace();
    press();

    // An undecided race ended from the pause menu scores nothing and goes to the standings.
    game.racePhase = Racing;
    cross(1, 1000);
    game.raceRunning = 0;
    endRaceFromMenu();
    EXPECT_EQ(game.raceRunning, 1);
    EXPECT_EQ(game.racePhase, StandingsHeld);
    EXPECT_EQ(game.seasonPoints[1], 6);
    EXPECT_EQ(stored("Bob").races, 1u);
    step();
    EXPECT_EQ(game.racePhase, StandingsShown);
    press();
    EXPECT_EQ(game.seasonRace, 2);

    // A decided race ended from the menu goes on to its results and points.
    game.racePhase = Racing;
    cross(2, 1000), cross(0, 1100);
    cross(2, 2000);
    game.raceRunning = 0;
    endRaceFromMenu();
    EXPECT_EQ(game.racePhase, RaceOver);
    step();
    EXPECT_EQ(game.seasonPoints[2], 4 + 9 + 1);

    // "End Season" on the last race's results: the final standings, and the season counts.
    game.raceRunning = 0;
    endSeasonFromMenu();
    EXPECT_EQ(game.racePhase, FinalHeld);
    EXPECT_EQ(stored("Cy").seasons, 1u);
}

// A player's key press lasts several steps: the one that leaves the standings is still down
// when the next race's pre-race screen comes up, and must not start that race as well.
TEST_F(Season, TheKeyThatLeavesTheStandingsDoesNotAlsoSkipTheNextPreRaceScreen)
{
    threeDrivers();
    game.seasonTracks = {"gp", "gp"};
    ASSERT_EQ(startSeason(), 0);
    plainRace();
    ASSERT_EQ(game.racePhase, StandingsShown);
    holdKey(SDLK_SPACE, true);
    for (int i = 0; i < 10; ++i) step();
    EXPECT_EQ(game.seasonRace, 1);
    EXPECT_EQ(game.racePhase, WaitForKey);
    holdKey(SDLK_SPACE, false);
    step();
    EXPECT_EQ(game.racePhase, WaitForKey);
    press();
    EXPECT_EQ(game.racePhase, Countdown);
}

TEST_F(Season, EndSeasonMidSeasonLeavesAtOnceWithoutASeasonInTheProfiles)
{
    threeDrivers();
    game.seasonTracks = {"gp", "gp", "gp"};
    ASSERT_EQ(startSeason(), 0);
    plainRace();
    press();
    game.racePhase = Racing;
    game.raceRunning = 0;
    endSeasonFromMenu();
    EXPECT_EQ(game.raceRunning, 0);
    DriverProfile ann = stored("Ann");
    EXPECT_EQ(ann.races, 6u);
    EXPECT_EQ(ann.raceFinishes[0], 1u);
    EXPECT_EQ(ann.seasons, 0u);
}

TEST_F(Season, ATimeTrialScoresNothingAndLeavesItsGhostLapInTheTrack)
{
    enterDriver("Ann", true);
    game.seasonTracks = {"gp", "gp"};
    ASSERT_EQ(startSeason(), 0);
    EXPECT_EQ(game.carCount, 1);
    game.racePhase = Racing;
    for (int i = 0; i < 1500; ++i) step();
    lineCrossing(0);
    EXPECT_EQ(game.ghostBestSteps, 1500);
    // One lap of a time trial counts: the results, then the next track without standings.
    game.raceRunning = 0;
    endRaceFromMenu();
    step();
    EXPECT_EQ(game.racePhase, ResultsShown);
    press();
    EXPECT_EQ(game.seasonRace, 1);
    EXPECT_EQ(game.racePhase, WaitForKey);
    // The second race loaded the ghost the first one wrote.
    EXPECT_EQ(game.ghostLimit, 1500);
    EXPECT_EQ(game.trackRecords.time[1], 1500);
    game.racePhase = Racing;
    for (int i = 0; i < 100; ++i) step();
    game.raceRunning = 0;
    endSeasonFromMenu();
    EXPECT_EQ(game.raceRunning, 0);
    EXPECT_FALSE(folder.exists("drivers/Ann.drv"));
}

}  // namespace
