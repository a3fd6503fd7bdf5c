// Computer cars on the grand prix's pit lane, raced by the whole race step: queueing for
// neighbouring boxes, and getting out of the garage behind a box.
#include "race/pit_lane_driver.h"
#include "race/quick_race.h"
#include "race/race_frame.h"
#include "state/game_state.h"
#include "state/random_table.h"
#include "track/terrain_height.h"

#include "support/race_fixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

class PitLane : public RaceFolderTest {
protected:
    PitLane() : RaceFolderTest(BuiltTracks::GrandPrix) {}

    bool race(int cars, int laps)
    {
        std::srand(3);
        fillRandomTable();
        std::vector<RaceDriver> drivers;
        for (int i = 0; i < cars; ++i)
            drivers.push_back(computerDriverEntry("Computer " + std::to_string(i + 1), 100, game.models[0], i));
        if (prepareRace("\\gp", drivers, laps) != 0) return false;
        game.raceRunning = 1;
        game.racePhase = Racing;
        game.raceClock = 1000;
        return true;
    }

    // The car at `at`, facing along `forward`, rolling at `speed`, short of fuel.
    static void place(int car, Vec3 at, Vec3 forward, float speed)
    {
        CarState& c = game.cars[car];
        forward.y = 0;
        forward = normalised(forward);
        c.positionVector = {at.x, terrainHeight(at.x, at.z) + 0.6f, at.z};
        c.forwardAxis = forward;
        c.upAxis = {0, 1, 0};
        c.rightAxis = cross(c.upAxis, forward);
        c.velocity = forward * speed;
        c.angularVelocity = {};
        c.wheelSpeed = speed;
        c.fuel = 5000;
        c.upsideDownCounter = 0;
    }

    // On the lane at point k, bound for box b.
    static void boundForBox(int car, int k, int b, float speed)
    {
        place(car, game.pitLane[k], game.pitLane[k + 1] - game.pitLane[k], speed);
        game.cars[car].controls[2] = uint32_t(k + 1);
        game.cars[car].revvingCounter = uint8_t(FirstBoxMode + b);
    }

    static float pastStopPoint(int car, int b)
    {
        const PitBox& box = game.pitBoxes[b];
        return dot(game.cars[car].positionVector - box.stopPoint, box.axis);
    }
};

TEST_F(PitLane, TheSecondCarNeverPushesTheFirstPastItsBox)
{
    if (IsSkipped()) return;
    ASSERT_TRUE(race(2, 5));
    ASSERT_GE(game.pitBoxCount, 2);
    // Box 0 is the nearer; the car bound for box 1 comes in faster, right behind.
    boundForBox(0, 4, 0, 15);
    boundForBox(1, 2, 1, 20);
    bool served[2] = {};
    float furthest = -1e9f;
    for (int step = 0; step < 1500; ++step) {
        raceStep();
        for (int car : {0, 1})
            served[car] = served[car] || game.pitBoxes[car].owner == car;
        if (!served[0]) furthest = std::max(furthest, pastStopPoint(0, 0));
    }
    EXPECT_TRUE(served[0]);
    EXPECT_TRUE(served[1]);
    EXPECT_LT(furthest, 4.0f);
    EXPECT_LT(game.cars[0].damage, 2000);
}

TEST_F(PitLane, ACarInTheGarageBehindItsBoxGetsOutAndFinishes)
{
    if (IsSkipped()) return;
    ASSERT_TRUE(race(1, 2));
    ASSERT_GE(game.pitBoxCount, 5);
    const PitBox& box = game.pitBoxes[4];
    // The garage behind the box: the object nearest to the box on the far side from the lane.
    Vec3 side{box.axis.z, 0, -box.axis.x};
    if (dot(box.stopPoint - game.pitLane[game.pitLaneCount / 2], side) < 0) side = side * -1.0f;
    // Backed in: its tail against the garage, its nose toward the lane, beside its box.
    place(0, box.stopPoint + side * 5.5f, side * -1.0f, 0);
    CarState& c = game.cars[0];
    c.revvingCounter = uint8_t(FirstBoxMode + 4);
    c.laps = 1;
    c.fuel = 65535;
    for (int step = 0; step < 9000 && c.serviceState != 2; ++step) raceStep();
    EXPECT_EQ(c.serviceState, 2);
    EXPECT_EQ(c.laps, 2);
}

}  // namespace
