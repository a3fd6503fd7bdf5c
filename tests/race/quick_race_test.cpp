#include "race/quick_race.h"

#include "race/car_models.h"
#include "race/race_frame.h"
#include "files/config.h"
#include "files/options_file.h"
#include "state/game_state.h"
#include "state/random_table.h"
#include "support/harness.h"
#include "support/race_fixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

namespace fs = std::filesystem;

TEST(QuickRace, ComputerSkillsSpreadOverNinetyToOneHundredTen)
{
    EXPECT_EQ(spreadSkills(5), (std::vector<int>{90, 95, 100, 105, 110}));
    EXPECT_EQ(spreadSkills(1), (std::vector<int>{100}));
    EXPECT_EQ(spreadSkills(2), (std::vector<int>{90, 110}));
    EXPECT_EQ(spreadSkills(3), (std::vector<int>{90, 100, 110}));
    EXPECT_TRUE(spreadSkills(0).empty());
}

TEST(QuickRace, TrackNamesBecomeLoaderEntries)
{
    EXPECT_EQ(trackEntryFor("gp"), "\\gp");
    EXPECT_EQ(trackEntryFor("rally/Forest.trk"), "\\rally\\Forest");
    EXPECT_EQ(trackEntryFor("\\rally\\forest"), "\\rally\\forest");
    EXPECT_EQ(trackEntryFor("SNOW.TRK"), "\\SNOW");
}

namespace {

// The grand-prix track and the shipped cars in a private folder, so that nothing a race
// writes touches the built game.
class SampleRace : public RaceFolderTest {
protected:
    SampleRace() : RaceFolderTest(BuiltTracks::GrandPrix) {}
    void SetUp() override
    {
        RaceFolderTest::SetUp();
        if (IsSkipped()) return;
        game.seasonRace = 0;
        game.seasonRaceCount = 1;
        std::srand(5);
        fillRandomTable();
    }

    void startGrid(int computers)
    {
        std::vector<RaceDriver> drivers{humanDriver("Player", game.models[0])};
        for (int k = 0; k < computers; ++k) drivers.push_back(computerDriverEntry("Computer", 100, game.models[0], k));
        ASSERT_EQ(prepareRace("\\gp", drivers, 2), 0);
    }

    // The countdown from the first key to the green light, the throttle held or not per step.
    void countdown(bool (*throttle)(int step))
    {
        holdKey(SDLK_SPACE, true);
        raceStep();
        holdKey(SDLK_SPACE, false);
        ASSERT_EQ(game.racePhase, Countdown);
        for (int step = 0; game.racePhase == Countdown; ++step) {
            ASSERT_LT(step, 211);
            holdKey(SDLK_UP, throttle(step));
            raceStep();
        }
    }
};

float distance(const Vec3& a, const Vec3& b) { return std::sqrt(dot(a - b, a - b)); }

TEST_F(SampleRace, EveryDriverTakesAGridSlotWithItsControls)
{
    startGrid(2);
    EXPECT_EQ(game.carCount, 3);
    EXPECT_EQ(game.raceLaps, 2);
    EXPECT_EQ(game.racePhase, WaitForKey);
    EXPECT_EQ(game.cars[0].controls[0], uint32_t(SDLK_UP));
    EXPECT_EQ(game.cars[0].controls[3], uint32_t(SDLK_RIGHT));
    EXPECT_EQ(game.cars[2].controls[0], 0u);
    EXPECT_EQ(game.cars[2].controls[1], 100u);
    EXPECT_STREQ(game.driverNames[0], "Player");
    for (int i = 0; i < 3; ++i) {
        const Vec3& p = game.cars[i].positionVector;
        const Vec3& slot = game.trackObjects[game.cars[i].position].position;
        EXPECT_LT(std::hypot(p.x - slot.x, p.z - slot.z), 0.01f) << "car " << i;
    }
}

TEST_F(SampleRace, AThrottleHeldThroughTheCountdownCostsTheCountdownAgain)
{
    startGrid(1);
    countdown([](int) { return true; });
    EXPECT_EQ(game.racePhase, Racing);
    EXPECT_EQ(game.cars[0].revvingCounter, 211);
    Vec3 grid = game.cars[0].positionVector, rival = game.cars[1].positionVector;
    for (int step = 0; step < 200; ++step) raceStep();
    EXPECT_LT(distance(game.cars[0].positionVector, grid), 0.5f);  // in neutral, throttle or not
    EXPECT_GT(distance(game.cars[1].positionVector, rival), 2.0f);
    for (int step = 0; step < 300; ++step) raceStep();
    EXPECT_GT(distance(game.cars[0].positionVector, grid), 2.0f);

    // Let go for the very last step before green and the count starts again from nothing.
    startGrid(1);
    countdown([](int step) { return step != 210; });
    EXPECT_EQ(game.cars[0].revvingCounter, 0);
}

TEST_F(SampleRace, ASingleCarRecordsItsGhostEveryStep)
{
    startGrid(0);
    EXPECT_EQ(game.carCount, 1);
    game.racePhase = Racing;
    for (int step = 0; step < 50; ++step) raceStep();
    EXPECT_EQ(game.ghostSteps, 50);
}

}  // namespace
