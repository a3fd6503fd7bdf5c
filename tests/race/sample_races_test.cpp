// Six computer drivers race on every shipped track, stepped the way the race frame steps them.
#include "race/car_models.h"
#include "race/car_physics.h"
#include "race/collisions.h"
#include "race/race_rules.h"
#include "files/options_file.h"
#include "state/game_state.h"
#include "state/particle_ring.h"
#include "state/random_table.h"
#include "track/track_loader.h"

#include "../shell/build_tree.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

struct CarOutcome {
    int laps = 0;
    int bestLap = 6000;
    int stuckSteps = 0;  // slower than 1 unit/s while racing, off the grid and outside a box
    int pitStops = 0;
    bool ranDry = false;
};

struct RaceOutcome {
    bool loaded = false;
    bool moved = false;   // some car left its grid slot
    bool reared = false;  // a car stood on its tail in the first seconds on the flat grid
    int raceClock = 0;
    CarOutcome cars[maxCars];
};

bool inBox(int car)
{
    for (int b = 0; b < game.pitBoxCount; ++b)
        if (game.pitBoxes[b].owner == car) return true;
    return false;
}

// From the green light until every car has finished or the race is given up.
RaceOutcome runRace(const std::string& entry, int laps, unsigned seed)
{
    const int cars = 6;
    RaceOutcome out;
    std::filesystem::path tree = buildTree();
    if (tree.empty()) return out;
    game.exeFolder = (tree / "tarmacade").string();
    setDefaultOptions(game.options);
    game.options.raceLength = uint16_t(laps);
    game.options.startingOrder = 0;
    std::srand(seed);
    fillRandomTable();
    game.randomIndex = 0;
    allocateParticleRing();
    loadCarModels();
    game.carCount = cars;
    if (loadTrack(entry) != 0 || game.modelCount < 1) return out;
    out.loaded = true;
    game.seasonRace = 0;
    for (int i = 0; i < cars; ++i) {
        game.carModels[i] = game.models[i % game.modelCount];
        game.cars[i].controls[0] = 0;
        game.cars[i].controls[1] = uint32_t(90 + 4 * i);
        std::snprintf(game.driverNames[i], 13, "Computer %d", i + 1);
    }
    int order[maxCars];
    startRace(order);
    game.racePhase = Racing;

    Vec3 grid[maxCars];
    for (int i = 0; i < cars; ++i) grid[i] = game.cars[i].positionVector;
    uint8_t owners[maxPitBoxes];
    for (int b = 0; b < game.pitBoxCount; ++b) owners[b] = game.pitBoxes[b].owner;
    // As the race frame runs it: over when all have finished, or a minute after the winner.
    for (int step = 0; step < laps * 12000 && game.racePhase == Racing; ++step) {
        int leader = game.runningOrder[0];
        if (game.leaderLaps >= game.raceLaps && game.raceClock - game.cars[leader].lastCrossing >= 6000) break;
        ++game.raceClock;
        for (int i = 0; i < cars; ++i) carStep(i);
        for (int i = 0; i < cars; ++i)
            for (int j = i + 1; j < cars; ++j) carCarContact(i, j);
        servePitBoxes();
        for (int b = 0; b < game.pitBoxCount; ++b) {
            uint8_t owner = game.pitBoxes[b].owner;
            if (owner != owners[b] && owner < cars) ++out.cars[owner].pitStops;
            owners[b] = owner;
        }
        for (int i = 0; i < cars; ++i) {
            const CarState& c = game.cars[i];
            CarOutcome& o = out.cars[i];
            if (game.raceClock < 300 && c.forwardAxis.y > 0.8f) out.reared = true;
            if (c.serviceState == 2) continue;
            if (game.raceClock > 100 && !inBox(i) && dot(c.velocity, c.velocity) < 1) ++o.stuckSteps;
            if (c.fuel == 0 && game.leaderLaps < game.raceLaps) o.ranDry = true;
        }
    }
    out.raceClock = game.raceClock;
    for (int i = 0; i < cars; ++i) {
        Vec3 d = game.cars[i].positionVector - grid[i];
        out.moved = out.moved || dot(d, d) > 1;
    }
    for (int i = 0; i < cars; ++i) {
        out.cars[i].laps = game.cars[i].laps;
        out.cars[i].bestLap = game.cars[i].bestLap;
    }
    return out;
}

class SampleRaces : public ::testing::TestWithParam<const char*> {};

TEST_P(SampleRaces, SixComputerCarsFinishInTheTracksLapRange)
{
    if (buildTree().empty()) GTEST_SKIP() << "no built game folder";
    RaceOutcome r = runRace(GetParam(), 3, 1);
    ASSERT_TRUE(r.loaded);
    ASSERT_TRUE(r.moved);
    EXPECT_FALSE(r.reared) << "a car stood on its tail under throttle";
    for (int i = 0; i < 6; ++i) {
        SCOPED_TRACE("car " + std::to_string(i));
        const CarOutcome& c = r.cars[i];
        EXPECT_EQ(c.laps, 3);
        EXPECT_LT(c.stuckSteps, 1000);
        // The tracks were laid out for laps of 15 to 45 seconds.
        EXPECT_GE(c.bestLap, 1500);
        EXPECT_LE(c.bestLap, 4500);
        EXPECT_FALSE(c.ranDry);
    }
}

INSTANTIATE_TEST_SUITE_P(Tracks, SampleRaces,
                         ::testing::Values("\\gp", "\\hills", "\\lake", "\\snow", "\\street",
                                           "\\rally\\forest"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                             std::string name = info.param;
                             return name.substr(name.rfind('\\') + 1);
                         });

// Fuel for under two and a half laps at the default consumption: over twenty laps every car
// stops, and the fuel flag brings each in before its tank runs dry while the race is open.
TEST(SampleRaces, TwentyGrandPrixLapsUseThePits)
{
    if (buildTree().empty()) GTEST_SKIP() << "no built game folder";
    RaceOutcome r = runRace("\\gp", 20, 2);
    ASSERT_TRUE(r.loaded);
    ASSERT_TRUE(r.moved);
    EXPECT_FALSE(r.reared) << "a car stood on its tail under throttle";
    for (int i = 0; i < 6; ++i) {
        SCOPED_TRACE("car " + std::to_string(i));
        EXPECT_GE(r.cars[i].pitStops, 1);
        EXPECT_FALSE(r.cars[i].ranDry);
    }
}

}  // namespace
