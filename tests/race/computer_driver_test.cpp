#include "race/car_physics.h"
#include "race/computer_driver.h"
#include "race/car_models.h"
#include "state/game_state.h"
#include "state/random_table.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <utility>
#include <vector>

namespace {

// A straight line east along z = 100, one point every 4 units, with a pit lane beside it from
// point 20 to point 30 and one box on the lane.
class ComputerDriver : public ::testing::Test {
protected:
    std::vector<Vec3> line, lane;
    PitBox box{};

    void SetUp() override
    {
        std::srand(5);
        fillRandomTable();
        game.randomIndex = 0;
        for (int i = 0; i < 60; ++i) line.push_back({4.0f * i, 0, 100});
        for (int i = 0; i < 11; ++i) lane.push_back({76.0f + 4 * i, 0, 92});
        game.drivingLine = line.data();
        game.drivingLineCount = uint16_t(line.size());
        game.pitLane = lane.data();
        game.pitLaneCount = uint8_t(lane.size());
        game.pitEntryIndex = 18;
        game.pitExitIndex = 31;
        box.owner = 6;
        box.stopPoint = {100, 0, 91};
        box.axis = {1, 0, 0};
        game.pitBoxes = &box;
        game.pitBoxCount = 1;
        game.ownPitBoxesOnly = 0;
        game.carCount = 1;
        game.raceClock = 1000;
        game.raceLaps = 5;
        game.leaderLaps = 0;
        game.lapLength = 240;
        game.options.fuelConsumption = 30;
        for (int i = 0; i < maxCars; ++i) {
            game.carModels[i] = generalCarModel();
            placeCar(i, 10.0f + 8 * i, 100);
        }
    }

    void TearDown() override
    {
        game.drivingLine = game.pitLane = nullptr;
        game.drivingLineCount = 0;
        game.pitLaneCount = 0;
        game.pitBoxes = nullptr;
        game.pitBoxCount = 0;
        game.ownPitBoxesOnly = 0;
    }

    void placeCar(int car, float x, float z)
    {
        CarState& c = game.cars[car];
        c = CarState{};
        c.positionVector = {x, 0.5f, z};
        c.forwardAxis = {1, 0, 0};
        c.upAxis = {0, 1, 0};
        c.rightAxis = cross(c.upAxis, c.forwardAxis);
        c.controls[1] = 100;
        c.controls[2] = uint32_t(x / 4) + 1;
        c.controls[3] = 100;
        c.fuel = 65535;
        c.tyres = 65535;
        c.engineLoad = 4;
    }

    // East to x = 60, then a right angle north; no pit entry on it.
    void layRightAngleBend()
    {
        line.clear();
        for (int i = 0; i <= 15; ++i) line.push_back({4.0f * i, 0, 100});
        for (int k = 1; k <= 40; ++k) line.push_back({60, 0, 100 + 4.0f * k});
        game.drivingLine = line.data();
        game.drivingLineCount = uint16_t(line.size());
        game.pitEntryIndex = 200;
    }

    int drive(int car, float& steering)
    {
        int throttle = 9;
        computerDriver(car, 1.0f, throttle, steering);
        return throttle;
    }
};

TEST_F(ComputerDriver, WaitsExactlyItsStartDelay)
{
    game.cars[0].upsideDownCounter = 7;
    int waited = 0;
    for (game.raceClock = 0; game.raceClock < 20; ++game.raceClock) {
        float steering = 5;
        int throttle = drive(0, steering);
        if (throttle == 0 && steering == 0) ++waited;
        else break;
    }
    EXPECT_EQ(waited, 7);
    EXPECT_EQ(game.raceClock, 7);
}

TEST_F(ComputerDriver, StuckCarReversesThenDrivesOut)
{
    std::vector<int> throttles;
    std::vector<float> steerings;
    for (int s = 0; s < 545; ++s, ++game.raceClock) {
        float steering = 0;
        throttles.push_back(drive(0, steering));
        steerings.push_back(steering);
        game.cars[0].velocity = Vec3{};  // held against a wall
    }
    for (int s = 0; s < 140; ++s) EXPECT_EQ(throttles[s], 2) << s;
    for (int s = 140; s < 200; ++s) {
        EXPECT_EQ(throttles[s], -1) << s;
        EXPECT_EQ(std::fabs(steerings[s]), 1.0f);
    }
    for (int s = 200; s < 400; ++s) {
        EXPECT_EQ(throttles[s], 2) << s;
        EXPECT_EQ(steerings[s], 0.0f);
    }
    // Still stuck: the count goes on into a second reverse.
    for (int s = 400; s < 540; ++s) EXPECT_EQ(throttles[s], 2) << s;
    EXPECT_EQ(throttles[540], -1);

    // Free before the 200 forward steps are over: driving normally again.
    game.cars[0].upsideDownCounter = 250;
    game.cars[0].velocity = {21, 0, 0};
    float steering = 0;
    EXPECT_EQ(drive(0, steering), 2);
    EXPECT_EQ(game.cars[0].upsideDownCounter, 0);
    steering = 0;
    drive(0, steering);
    EXPECT_EQ(game.cars[0].upsideDownCounter, 0);
    EXPECT_NE(steering, 0.0f);
}

TEST_F(ComputerDriver, FollowsTheLineAndCruisesOnceFinished)
{
    float steering = 0;
    // Left of the line (north of it): steer right, toward it.
    placeCar(0, 40, 104);
    drive(0, steering);
    EXPECT_EQ(steering, -1.0f);
    placeCar(0, 40, 96);
    drive(0, steering);
    EXPECT_EQ(steering, 1.0f);

    placeCar(0, 40, 100);
    game.cars[0].serviceState = 2;
    game.cars[0].velocity = {9.5f, 0, 0};
    EXPECT_EQ(drive(0, steering), 2);
    game.cars[0].velocity = {10.5f, 0, 0};
    EXPECT_EQ(drive(0, steering), 1);
    game.cars[0].serviceState = 0;
    EXPECT_EQ(drive(0, steering), 2);
    // Going backwards: accelerate.
    game.cars[0].velocity = {-4, 0, 0};
    EXPECT_EQ(drive(0, steering), 2);
}

TEST_F(ComputerDriver, BrakesForABendWithinBrakingDistance)
{
    layRightAngleBend();
    float steering;
    placeCar(0, 20, 100);
    game.cars[0].velocity = {40, 0, 0};
    EXPECT_EQ(drive(0, steering), 0);
    placeCar(0, 20, 100);
    game.cars[0].velocity = {15, 0, 0};
    EXPECT_EQ(drive(0, steering), 2);
}

// The bends of a path are worked out once per track: a track loaded in the place of another,
// with as many points and the same ends, must have its own bends looked at.
TEST_F(ComputerDriver, ANewTrackInTheOldOnesPlaceHasItsOwnBends)
{
    float steering;
    game.cars[0].velocity = {40, 0, 0};
    EXPECT_EQ(drive(0, steering), 2);
    for (int k = 1; k <= 43; ++k) line[size_t(15 + k)] = {60, 0, 100 + 4.0f * k};
    ++game.trackGeneration;
    placeCar(0, 20, 100);
    game.cars[0].velocity = {40, 0, 0};
    EXPECT_EQ(drive(0, steering), 0);
}

// The surface bytes car 0 grips best and worst on.
void gripExtremes(int& grippy, int& slippery)
{
    grippy = slippery = 0;
    for (int v = 0; v < 256; ++v) {
        float g = gripAt(game.carModels[0], v, game.carCount);
        if (g > gripAt(game.carModels[0], grippy, game.carCount)) grippy = v;
        if (g < gripAt(game.carModels[0], slippery, game.carCount)) slippery = v;
    }
}

// The look-ahead keeps the grip it read at path points; ground marked since must be read anew.
TEST_F(ComputerDriver, GroundTurnedSlipperyAheadIsBrakedFor)
{
    layRightAngleBend();
    int grippy, slippery;
    gripExtremes(grippy, slippery);
    std::vector<uint8_t> surface(surfaceMapCells, uint8_t(grippy));
    game.surfaceMap = surface.data();
    game.surfaceCell = 0.5f;
    float steering;
    auto accelerates = [&](float speed) {
        placeCar(0, 20, 100);
        game.cars[0].velocity = {speed, 0, 0};
        return drive(0, steering) == 2;
    };
    float fastest = 0;
    for (float speed = 1; speed < 60 && accelerates(speed); speed += 0.5f) fastest = speed;
    ASSERT_GT(fastest, 1.0f);
    EXPECT_TRUE(accelerates(fastest));
    // The bend and the way to it, from x = 40 on, not the ground under the car.
    for (int z = 0; z < surfaceMapSide; ++z)
        for (int x = 80; x < surfaceMapSide; ++x) surface[size_t(z) * surfaceMapSide + x] = uint8_t(slippery);
    ++game.surfaceMarks;
    EXPECT_FALSE(accelerates(fastest));
    game.surfaceMap = nullptr;
}

// A mark anywhere leaves the grip read at a path point standing only while the point's own five
// cells are as they were: a driver asked after a mark drives as one that reads the whole ground
// anew, whichever of the five cells (or none) was marked.
TEST_F(ComputerDriver, AfterAMarkTheLookAheadDrivesAsOnGroundReadAnew)
{
    layRightAngleBend();
    int grippy, slippery;
    gripExtremes(grippy, slippery);
    std::vector<uint8_t> surface(surfaceMapCells, uint8_t(grippy));
    game.surfaceMap = surface.data();
    game.surfaceCell = 0.5f;
    auto decisions = [&] {
        std::vector<float> out;
        for (float speed = 1; speed < 60; speed += 0.25f) {
            placeCar(0, 20, 100);
            game.cars[0].velocity = {speed, 0, 0};
            float steering;
            out.push_back(float(drive(0, steering)));
            out.push_back(steering);
        }
        return out;
    };
    decisions();
    const float offsets[6][2] = {{0, 0}, {1, 0}, {-1, 0}, {0, 1}, {0, -1}, {3, 3}};  // the last one none of the five
    for (const auto& o : offsets) {
        SCOPED_TRACE(std::to_string(o[0]) + " " + std::to_string(o[1]));
        for (const Vec3& p : line) surface[size_t(surfaceCellUnder(p.x + o[0], p.z + o[1]))] = uint8_t(slippery);
        ++game.surfaceMarks;
        std::vector<float> cached = decisions();
        ++game.trackGeneration;  // every grip read afresh
        EXPECT_EQ(cached, decisions());
        std::fill(surface.begin(), surface.end(), uint8_t(grippy));
        ++game.surfaceMarks;
        decisions();
    }
    // The line moved three units north onto slippery ground, the ground untouched: the grips
    // are kept per path point, and the points are new.
    for (Vec3& p : line) {
        p.z += 3;
        for (const auto& o : offsets) surface[size_t(surfaceCellUnder(p.x + o[0], p.z + o[1]))] = uint8_t(slippery);
    }
    ++game.surfaceMarks;
    for (Vec3& p : line) p.z -= 3;
    decisions();
    for (Vec3& p : line) p.z += 3;
    std::vector<float> moved = decisions();
    ++game.trackGeneration;
    EXPECT_EQ(moved, decisions());
    game.surfaceMap = nullptr;
}

TEST_F(ComputerDriver, MovesAroundACarAboutToBeReached)
{
    game.carCount = 2;
    placeCar(0, 40, 100);
    game.cars[0].controls[2] = 10;
    uint8_t cursor = game.randomIndex;
    float steering;
    drive(0, steering);
    int alone = int(game.cars[0].controls[3]);

    placeCar(0, 40, 100);
    game.cars[0].controls[2] = 10;
    placeCar(1, 43, 99.5f);  // just ahead, a little to the right
    game.randomIndex = cursor;
    drive(0, steering);
    int passing = int(game.cars[0].controls[3]);
    const Vec3& e = game.carModels[0].ellipsoid;
    float S = e.x + 0.5f + e.x, b = 0.5f;
    EXPECT_NEAR(passing - alone, (b - S) / 0.05f, 1.5f);
    EXPECT_LT(passing, alone);
}

TEST_F(ComputerDriver, PitEntryByFuelDamageAndTheFlag)
{
    float steering;
    // Just past point 17: the index moves on to the entry point 18.
    auto atEntry = [&]() {
        placeCar(0, 68.5f, 100);
        game.cars[0].controls[2] = 17;
    };
    atEntry();
    drive(0, steering);
    EXPECT_EQ(game.cars[0].revvingCounter, 0);
    EXPECT_EQ(game.cars[0].controls[2], 18u);

    // In, and bound for the free box ahead at once.
    atEntry();
    game.cars[0].serviceState = 1;
    drive(0, steering);
    EXPECT_EQ(game.cars[0].revvingCounter, 3);
    EXPECT_EQ(game.cars[0].controls[2], 1u);

    atEntry();
    game.cars[0].damage = 20000;  // 20000 x 5 laps x 240 m is above 20000000
    drive(0, steering);
    EXPECT_EQ(game.cars[0].revvingCounter, 3);

    // Short of fuel for the race (a lap needs 7200): below the reserve of 1.1 laps it is in at
    // once; with a lap and a half it comes round again, whatever the draw.
    for (auto [fuel, in] : {std::pair{7800, true}, {10800, false}}) {
        for (int draw = 0; draw < 30; ++draw) {
            atEntry();
            game.cars[0].fuel = uint16_t(fuel);
            drive(0, steering);
            EXPECT_EQ(game.cars[0].revvingCounter, in ? 3 : 0) << fuel << " draw " << draw;
        }
    }

    // The race is decided: only the flag would bring it in.
    atEntry();
    game.cars[0].damage = 20000;
    game.leaderLaps = 5;
    drive(0, steering);
    EXPECT_EQ(game.cars[0].revvingCounter, 0);

    // Own boxes only: car 1 has no box of its own, so the lane is no use to it.
    game.leaderLaps = 0;
    game.ownPitBoxesOnly = 1;
    game.carCount = 2;
    atEntry();
    game.cars[0].serviceState = 1;
    drive(0, steering);
    EXPECT_EQ(game.cars[0].revvingCounter, 3);
    placeCar(1, 68.5f, 100);
    game.cars[1].controls[2] = 17;
    game.cars[1].serviceState = 1;
    drive(1, steering);
    EXPECT_EQ(game.cars[1].revvingCounter, 0);
}

TEST_F(ComputerDriver, IntoTheBoxAndOutWhenServed)
{
    float steering;
    placeCar(0, 86, 92);
    CarState& c = game.cars[0];
    c.revvingCounter = 1;
    c.controls[2] = 3;
    c.velocity = {8, 0, 0};
    drive(0, steering);
    EXPECT_EQ(c.revvingCounter, 3);  // the box 14 units on can still be stopped at
    // Far out: braked down to what brings it to rest on the stop point; near: on in; there: no
    // more throttle.
    c.positionVector = {80, 0.5f, 91};
    c.velocity = {25, 0, 0};
    EXPECT_EQ(drive(0, steering), 0);
    c.velocity = {8, 0, 0};
    EXPECT_EQ(drive(0, steering), 2);
    c.positionVector = {97, 0.5f, 91};
    c.velocity = {12, 0, 0};
    EXPECT_EQ(drive(0, steering), 0);
    c.positionVector = {99.6f, 0.5f, 91};
    c.velocity = {0.5f, 0, 0};
    EXPECT_LT(drive(0, steering), 2);
    // Owned: rolls on without the engine, whose first push would free the box, brakes when it
    // rolls too fast; served: out along the lane from the lane's next point.
    box.owner = 0;
    c.velocity = {2, 0, 0};
    EXPECT_EQ(drive(0, steering), 0);
    c.velocity = {};
    EXPECT_EQ(drive(0, steering), 0);  // on its stop point: held there
    EXPECT_EQ(c.revvingCounter, 3);
    for (auto& t : box.task) t = 255;
    drive(0, steering);
    EXPECT_EQ(c.revvingCounter, 2);
    EXPECT_EQ(c.controls[2], 6u);
    // Past its box the car never backs up into the cars behind: on down the lane, and no other
    // box on this visit.
    box.owner = 6;
    c.revvingCounter = 3;
    c.positionVector = {105, 0.5f, 91};
    EXPECT_NE(drive(0, steering), -1);
    EXPECT_EQ(c.revvingCounter, 1);
    c.positionVector = {90, 0.5f, 92};
    drive(0, steering);
    EXPECT_EQ(c.revvingCounter, 1);
    // Another car took the box: on down the lane.
    game.boxApproachSteps[0] = 0;
    c.revvingCounter = 3;
    box.owner = 4;
    c.positionVector = {95, 0.5f, 91};
    drive(0, steering);
    EXPECT_EQ(c.revvingCounter, 1);
    // Held up standing on the way for five seconds: given up.
    box.owner = 6;
    game.boxApproachSteps[0] = 0;
    c.revvingCounter = 3;
    c.positionVector = {90, 0.5f, 92};
    c.velocity = {};
    for (int s = 0; s < 500; ++s) drive(0, steering), c.velocity = {};
    EXPECT_EQ(c.revvingCounter, 3);
    drive(0, steering);
    EXPECT_EQ(c.revvingCounter, 1);
    // The lane's end joins the line at the exit.
    placeCar(0, 117, 92);
    c.revvingCounter = 2;
    c.controls[2] = 10;
    drive(0, steering);
    EXPECT_EQ(c.revvingCounter, 0);
    EXPECT_EQ(c.controls[2], 31u);
}

TEST_F(ComputerDriver, OnTheLaneACarKeepsItsDistanceAndItsSpeed)
{
    float steering;
    game.carCount = 2;
    placeCar(0, 84, 92);
    placeCar(1, 88, 92);
    for (int car : {0, 1}) {
        game.cars[car].revvingCounter = 2;
        game.cars[car].controls[2] = car == 0 ? 3 : 4;
    }
    CarState& c = game.cars[0];
    // A car standing in the way ahead: brake, then wait behind it.
    c.velocity = {10, 0, 0};
    EXPECT_EQ(drive(0, steering), 0);
    c.velocity = {};
    EXPECT_LT(drive(0, steering), 2);
    // Beside the car's path it is passed; the lane's limit still holds.
    game.cars[1].positionVector.z = 88;
    EXPECT_EQ(drive(0, steering), 2);
    c.velocity = {24, 0, 0};
    EXPECT_EQ(drive(0, steering), 0);
    // Of two cars side by side only the one behind waits.
    game.cars[1].positionVector = {83.5f, 0.5f, 95};
    c.velocity = {};
    game.cars[1].velocity = {};
    EXPECT_EQ(drive(0, steering), 2);
    EXPECT_LT(drive(1, steering), 2);
}

TEST_F(ComputerDriver, OnTheLineACarKeepsOffACarSlowingForThePits)
{
    float steering;
    game.carCount = 2;
    placeCar(0, 40, 100);
    placeCar(1, 50, 100);
    game.cars[0].velocity = {30, 0, 0};
    game.cars[1].velocity = {10, 0, 0};
    // Racing ahead of it, the slower car is overtaken; slowing for the pit lane, it is followed.
    EXPECT_EQ(drive(0, steering), 2);
    game.cars[1].revvingCounter = 3;
    EXPECT_EQ(drive(0, steering), 0);
    // Held standing by it, the car counts as stuck: two such cars can hold each other for good.
    placeCar(0, 46, 100);
    game.cars[1].velocity = {};
    drive(0, steering);
    EXPECT_EQ(game.cars[0].upsideDownCounter, 1);
}

TEST_F(ComputerDriver, DegenerateLinesAndIndicesGiveFiniteInputs)
{
    auto check = [&](const char* what) {
        for (int mode : {0, 1, 2, 3, 9}) {
            placeCar(0, 40, 100);
            game.cars[0].revvingCounter = uint8_t(mode);
            game.cars[0].controls[2] = 70000;
            game.cars[0].controls[3] = 5000;
            game.cars[0].velocity = {5, 0, 0};
            for (int s = 0; s < 3; ++s) {
                int throttle = 9;
                float steering = 9;
                computerDriver(0, 1.0f, throttle, steering);
                EXPECT_TRUE(throttle >= -1 && throttle <= 2) << what;
                EXPECT_TRUE(steering >= -1 && steering <= 1) << what;
                EXPECT_LT(game.cars[0].controls[3], 201u) << what;
            }
        }
    };
    check("normal");
    std::vector<Vec3> same(3, Vec3{40, 0, 100});
    game.drivingLine = same.data();
    game.drivingLineCount = 3;
    game.pitLane = same.data();
    game.pitLaneCount = 3;
    check("zero-length segments");
    game.drivingLineCount = 1;
    game.pitLaneCount = 1;
    check("one point");
    game.pitLaneCount = 0;
    game.pitLane = nullptr;
    check("no lane");
    game.drivingLineCount = 0;
    game.drivingLine = nullptr;
    check("no line");
    game.cars[0].engineLoad = 0;
    check("no load");
}

}  // namespace
