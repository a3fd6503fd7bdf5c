#include "race/race_rules.h"
#include "race/car_models.h"
#include "state/game_state.h"
#include "state/particle_ring.h"
#include "state/random_table.h"
#include "track/terrain_height.h"
#include "track/track_records.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

// A square lap of four gates, the last one the finish line, on a flat 256-unit track.
class RaceRules : public ::testing::Test {
protected:
    Checkpoint gates[4];
    TrackObject grid[maxCars];
    uint8_t heights[heightMapCells] = {};

    void SetUp() override
    {
        std::srand(11);
        fillRandomTable();
        game.randomIndex = 0;
        allocateParticleRing();
        game.options = OptionsRecord{};
        game.options.effects = 256;
        game.options.fuelConsumption = 50;
        game.lapLength = 800;
        game.trackSize = 256;
        game.heightCell = 256.0f / 63;
        game.heightMap = heights;
        game.carCount = 2;
        game.raceLaps = 5;
        game.racePhase = Racing;
        game.raceClock = 0;
        game.leaderLaps = 0;
        game.fastestLapTime = emptyLapTime;
        game.fastestLapCar = -1;
        game.trackRecordCar = -1;
        game.seasonRace = 0;
        clearTrackRecords(game.trackRecords);
        const float at[4][2] = {{200, 100}, {100, 200}, {0, 100}, {100, 0}};
        for (int g = 0; g < 4; ++g) gates[g] = {at[g][0], at[g][1], 1, 0, 10};
        game.checkpoints = gates;
        game.checkpointCount = 4;
        for (int i = 0; i < maxCars; ++i) {
            grid[i].kind = 0;
            grid[i].position = {100.0f - 6 * i, 0, 10};
            grid[i].direction = {1, 0, 0};
            game.runningOrder[i] = i;
            game.cars[i] = CarState{};
            game.cars[i].position = uint8_t(i);
            game.cars[i].bestLap = emptyLapTime;
            game.cars[i].fuel = 65535;
            game.cars[i].controls[0] = 0;
            game.cars[i].controls[1] = 100;
            game.carModels[i] = generalCarModel();
            std::snprintf(game.driverNames[i], 13, "Driver %d", i);
        }
        game.trackObjects = grid;
        game.objectCount = maxCars;
    }

    void TearDown() override
    {
        game.checkpoints = nullptr;
        game.checkpointCount = 0;
        game.trackObjects = nullptr;
        game.objectCount = 0;
        game.heightMap = nullptr;
        game.pitBoxes = nullptr;
        game.pitBoxCount = 0;
    }

    // Puts the car inside gate g's band.
    void atGate(int car, int g) { game.cars[car].positionVector = {gates[g].x + 5, 0, gates[g].z + 0.5f}; }

    void lap(int car, int steps)
    {
        game.raceClock = game.cars[car].lastCrossing + steps;
        for (int g = 0; g < 4; ++g) {
            atGate(car, g);
            checkpointTest(car);
        }
    }
};

TEST_F(RaceRules, GatesCountOnlyInOrder)
{
    atGate(0, 0);
    checkpointTest(0);
    EXPECT_EQ(game.cars[0].nextCheckpoint, 1);
    // Gate 1 missed: the next gates and the finish line are not seen.
    atGate(0, 2);
    checkpointTest(0);
    atGate(0, 3);
    checkpointTest(0);
    EXPECT_EQ(game.cars[0].nextCheckpoint, 1);
    EXPECT_EQ(game.cars[0].laps, 0);
    // Outside the band, or beyond the gate's ends, nothing.
    game.cars[0].positionVector = {gates[1].x + 5, 0, gates[1].z + 1.0f};
    checkpointTest(0);
    game.cars[0].positionVector = {gates[1].x + 10.5f, 0, gates[1].z};
    checkpointTest(0);
    EXPECT_EQ(game.cars[0].nextCheckpoint, 1);
    for (int g = 1; g < 4; ++g) {
        atGate(0, g);
        checkpointTest(0);
    }
    EXPECT_EQ(game.cars[0].nextCheckpoint, 0);
    EXPECT_EQ(game.cars[0].laps, 1);
}

TEST_F(RaceRules, OddGateIndicesAndTracksWithoutGatesAreSafe)
{
    game.cars[0].nextCheckpoint = 300;
    atGate(0, 0);
    checkpointTest(0);
    EXPECT_EQ(game.cars[0].nextCheckpoint, 1);
    game.checkpointCount = 0;
    checkpointTest(0);
    game.checkpoints = nullptr;
    game.checkpointCount = 4;
    checkpointTest(0);
    EXPECT_EQ(game.cars[0].nextCheckpoint, 1);
}

TEST_F(RaceRules, LapTimesBestLapAndTheCap)
{
    lap(0, 2500);
    EXPECT_EQ(game.cars[0].lastLap, 2500);
    EXPECT_EQ(game.cars[0].bestLap, 2500);
    EXPECT_EQ(game.cars[0].lastCrossing, 2500);
    EXPECT_STREQ(game.carPanels[0].lapTime, "25.00");
    lap(0, 9000);
    EXPECT_EQ(game.cars[0].lastLap, 6000);
    EXPECT_EQ(game.cars[0].bestLap, 2500);
    EXPECT_EQ(game.cars[0].lastCrossing, 11500);
    EXPECT_STREQ(game.carPanels[0].lapCount, "  2");
    EXPECT_STREQ(game.carPanels[0].lapCounter, "3/5");
}

TEST_F(RaceRules, RunningOrderFollowsLapsAndStepOrder)
{
    game.carCount = 3;
    // Car 2 leads on the grid; cars 0 and 1 complete lap 1 in the same step, 0 first.
    int order[3] = {2, 1, 0};
    for (int p = 0; p < 3; ++p) game.runningOrder[p] = order[p], game.cars[order[p]].position = uint8_t(p);
    lap(0, 2000);
    lap(1, 2000);
    EXPECT_EQ(game.runningOrder[0], 0);
    EXPECT_EQ(game.runningOrder[1], 1);
    EXPECT_EQ(game.runningOrder[2], 2);
    EXPECT_EQ(game.cars[0].position, 0);
    EXPECT_EQ(game.cars[1].position, 1);
    EXPECT_EQ(game.cars[2].position, 2);
    EXPECT_EQ(game.leaderLaps, 1);
    EXPECT_STREQ(game.carPanels[2].place, "3 ");
    // A car a lap down passes nobody on the same lap as itself.
    lap(2, 2100);
    EXPECT_EQ(game.runningOrder[2], 2);
    lap(2, 2100);
    EXPECT_EQ(game.runningOrder[0], 2);
    EXPECT_EQ(game.leaderLaps, 2);
}

TEST_F(RaceRules, RecordsAndTheFastestLap)
{
    game.trackRecords.time[0] = 2000;
    // Equal to the record: the race's fastest lap, no record.
    lap(0, 2000);
    EXPECT_EQ(game.fastestLapTime, 2000);
    EXPECT_EQ(game.fastestLapCar, 0);
    EXPECT_EQ(game.trackRecordCar, -1);
    EXPECT_EQ(game.trackRecords.time[0], 2000);
    EXPECT_EQ(game.carPanels[0].lapTimeColour, LapTimeFastest);

    // Skill above 100: faster than the record, fastest lap only.
    game.cars[1].controls[1] = 120;
    lap(1, 1900);
    EXPECT_EQ(game.fastestLapCar, 1);
    EXPECT_EQ(game.fastestLapTime, 1900);
    EXPECT_EQ(game.trackRecords.time[0], 2000);
    EXPECT_EQ(game.trackRecordCar, -1);
    EXPECT_EQ(game.carPanels[0].lapTimeColour, LapTimeNormal);

    // An eligible car below the record but not below the fastest lap still sets the record.
    lap(0, 1950);
    EXPECT_EQ(game.trackRecords.time[0], 1950);
    EXPECT_STREQ(game.trackRecords.name[0], "Driver 0");
    EXPECT_EQ(game.trackRecordCar, 0);
    EXPECT_EQ(game.fastestLapCar, 1);
    EXPECT_EQ(game.carPanels[0].lapTimeColour, LapTimeRecord);

    // A human below both sets both.
    game.cars[1].controls[0] = 273;
    lap(1, 1800);
    EXPECT_EQ(game.trackRecords.time[0], 1800);
    EXPECT_EQ(game.fastestLapCar, 1);
    EXPECT_EQ(game.trackRecordCar, 1);
}

TEST_F(RaceRules, FuelFlagWithLapsToGoButNeverOnTheLastLap)
{
    int perLap = 20 * 800;
    game.options.fuelConsumption = 20;
    game.cars[0].fuel = uint16_t(perLap * 1.8 - 1);
    lap(0, 2000);  // 4 to go
    lap(0, 2000);  // 3 to go
    EXPECT_EQ(game.cars[0].serviceState, 1);
    EXPECT_STREQ(game.carPanels[0].place, "F");
    game.cars[0].fuel = uint16_t(perLap * 1.8);
    lap(0, 2000);  // 2 to go, enough fuel
    EXPECT_EQ(game.cars[0].serviceState, 0);
    EXPECT_STREQ(game.carPanels[0].place, "1 ");
    game.cars[0].fuel = 0;
    lap(0, 2000);  // 1 to go
    EXPECT_EQ(game.cars[0].serviceState, 0);
    // A lap longer than any tank reaches, even past an int's range, asks for fuel.
    game.cars[1].fuel = 65535;
    for (uint32_t length : {40000u, 4000000000u}) {
        game.lapLength = length;
        game.cars[1].serviceState = 0;
        EXPECT_TRUE(updateFuelFlag(1)) << length;
    }
}

TEST_F(RaceRules, FinishingAndTheAllFinishedShortcut)
{
    game.raceLaps = 2;
    lap(0, 2000);
    lap(0, 1900);
    EXPECT_EQ(game.cars[0].serviceState, 2);
    EXPECT_EQ(game.cars[0].lastLap, 1900);
    EXPECT_EQ(game.racePhase, Racing);
    // The winner's last lap is judged like every other: the race's fastest, shown as such.
    EXPECT_EQ(game.fastestLapTime, 1900);
    EXPECT_EQ(game.fastestLapCar, 0);
    EXPECT_STREQ(game.carPanels[0].lapTime, "19.00");
    // A finished car crossing again changes nothing.
    lap(0, 1000);
    EXPECT_EQ(game.cars[0].laps, 2);
    lap(1, 2500);
    lap(1, 2500);
    EXPECT_EQ(game.racePhase, Finishing);
    EXPECT_EQ(game.phaseCounter, 0);
}

TEST_F(RaceRules, RaceLengthInKilometresGetsALapMore)
{
    int order[maxCars];
    game.options.distanceUnit = 1;
    game.options.raceLength = 4;
    game.lapLength = 1000;
    startRace(order);
    EXPECT_EQ(game.raceLaps, 5);
    game.lapLength = 1500;
    startRace(order);
    EXPECT_EQ(game.raceLaps, 3);
    game.lapLength = 0;
    startRace(order);
    EXPECT_EQ(game.raceLaps, 1);
    game.options.distanceUnit = 0;
    game.options.raceLength = 0;
    startRace(order);
    EXPECT_EQ(game.raceLaps, 1);
}

TEST_F(RaceRules, GridOrders)
{
    int order[maxCars];
    game.carCount = 6;
    game.options.raceLength = 3;

    // Random: every car once, drawn from the table.
    game.options.startingOrder = 0;
    game.randomIndex = 0;
    std::vector<float> draws;
    for (int i = 0; i < 6; ++i) draws.push_back(game.randomTable[i + 1]);
    startRace(order);
    int expect[maxCars], free[maxCars] = {1, 1, 1, 1, 1, 1};
    for (int car = 0; car < 6; ++car) {
        int k = int(draws[car] * (6 - car));
        for (int p = 0; p < 6; ++p)
            if (free[p] && k-- == 0) {
                expect[p] = car, free[p] = 0;
                break;
            }
    }
    for (int p = 0; p < 6; ++p) {
        EXPECT_EQ(order[p], expect[p]);
        EXPECT_EQ(game.runningOrder[p], expect[p]);
        EXPECT_EQ(game.cars[expect[p]].position, p);
        // On the grid object of its position, facing along it, up along the flat ground.
        EXPECT_FLOAT_EQ(game.cars[expect[p]].positionVector.x, grid[p].position.x);
        EXPECT_FLOAT_EQ(game.cars[expect[p]].forwardAxis.x, 1.0f);
        EXPECT_FLOAT_EQ(game.cars[expect[p]].upAxis.y, 1.0f);
        EXPECT_NEAR(game.cars[expect[p]].rightAxis.z, -1.0f, 1e-6);
    }

    // First race of a season: entry order, or its reverse.
    game.options.startingOrder = 1;
    startRace(order);
    for (int p = 0; p < 6; ++p) EXPECT_EQ(order[p], p);
    game.options.startingOrder = 2;
    startRace(order);
    for (int p = 0; p < 6; ++p) EXPECT_EQ(order[p], 5 - p);

    // Later races: by points, ties in the random order of the draw.
    game.seasonRace = 2;
    const int points[maxCars] = {5, 9, 5, 0, 12, 5};
    std::memcpy(game.seasonPoints, points, sizeof points);
    game.options.startingOrder = 0;
    uint8_t cursor = game.randomIndex;
    startRace(order);
    int randomGrid[maxCars];
    std::memcpy(randomGrid, order, sizeof order);
    game.options.startingOrder = 1;
    game.randomIndex = cursor;
    startRace(order);
    EXPECT_EQ(order[0], 4);
    EXPECT_EQ(order[1], 1);
    EXPECT_EQ(order[5], 3);
    std::vector<int> tiesRandom, tiesPoints;
    for (int p = 0; p < 6; ++p) {
        if (points[randomGrid[p]] == 5) tiesRandom.push_back(randomGrid[p]);
        if (points[order[p]] == 5) tiesPoints.push_back(order[p]);
    }
    EXPECT_EQ(tiesRandom, tiesPoints);
    game.options.startingOrder = 2;
    startRace(order);
    EXPECT_EQ(order[0], 3);
    EXPECT_EQ(order[5], 4);
}

// One box on the flat ground at (50, 0, 50), facing east.
class PitService : public RaceRules {
protected:
    PitBox box;

    void SetUp() override
    {
        RaceRules::SetUp();
        box = PitBox{};
        box.owner = 6;
        box.stopPoint = {50, 0, 50};
        box.axis = {1, 0, 0};
        const float places[pitCrewSize][2] = {{2, 0}, {-3, 3}, {1.5f, 3}, {1.5f, -3}, {-1.5f, 3}, {-1.5f, -3}, {0, -3}, {0, 3}};
        for (int m = 0; m < pitCrewSize; ++m) {
            box.crew[m].forward = places[m][0];
            box.crew[m].side = places[m][1];
        }
        game.pitBoxes = &box;
        game.pitBoxCount = 1;
        resetPitBoxes();
        clearParticles();  // the sparks are looked for in the first slot
        for (int car = 0; car < 2; ++car) {
            CarState& c = game.cars[car];
            c.positionVector = {20.0f + 100 * car, 0.5f, 150};
            c.forwardAxis = {1, 0, 0};
            c.rightAxis = {0, 0, -1};
            c.upAxis = {0, 1, 0};
        }
    }

    void standInBox(int car) { game.cars[car].positionVector = {51, 0.5f, 50}; game.cars[car].wheelSpeed = 0; }
};

TEST_F(PitService, RefuelChangeTyresAndRepairInSteps)
{
    CarState& c = game.cars[0];
    c.fuel = 1000;
    c.tyres = 20000;
    c.damage = 20000;
    standInBox(0);
    servePitBoxes();
    EXPECT_EQ(box.owner, 0);
    EXPECT_EQ(c.fuel, 1128);
    for (int s = 1; s < 49; ++s) servePitBoxes();
    EXPECT_EQ(c.damage, 20000);
    servePitBoxes();
    EXPECT_EQ(c.damage, 19800);
    EXPECT_EQ(game.particles[0].type, 2);
    EXPECT_EQ(game.particles[0].life, 20);
    for (int s = 0; s < 50; ++s) servePitBoxes();
    EXPECT_EQ(c.damage, 13200);
    EXPECT_EQ(c.tyres, 20000);
    for (int s = 0; s < 150; ++s) servePitBoxes();  // 250 steps in: the tyres are done
    EXPECT_EQ(c.tyres, 65535);
    EXPECT_EQ(c.damage, 0);
    EXPECT_EQ(box.task[7], 255);
    for (int m = 0; m < 6; ++m) EXPECT_EQ(box.task[m], 255);
    for (int s = 0; s < 300; ++s) servePitBoxes();
    EXPECT_EQ(c.fuel, 65535);
    EXPECT_EQ(box.task[6], 255);
    // The crew stand clear of the car.
    for (const auto& m : box.crew) {
        float a = m.position.z - 50, b = m.position.x - 51;
        const Vec3& e = game.carModels[0].ellipsoid;
        EXPECT_GE(a * a / ((e.x + 0.5f) * (e.x + 0.5f)) + b * b / ((e.z + 0.5f) * (e.z + 0.5f)), 0.99f);
    }
}

TEST_F(PitService, NewTyresAreNotChangedAndRollingCarsPass)
{
    CarState& c = game.cars[0];
    c.tyres = 65100;
    c.positionVector = {51, 0.5f, 50};
    c.wheelSpeed = 3.0f;
    servePitBoxes();
    EXPECT_EQ(box.owner, 6);
    // Locked wheels on a car sliding through at 17 m/s: passing, not standing.
    c.wheelSpeed = 2.0f;
    c.velocity = {17, 0, 0};
    servePitBoxes();
    EXPECT_EQ(box.owner, 6);
    EXPECT_EQ(c.fuel, 65535);
    c.velocity = {2.9f, 0, 0};
    c.wheelSpeed = 2.9f;
    servePitBoxes();
    EXPECT_EQ(box.owner, 0);
    for (int m = 2; m <= 5; ++m) EXPECT_EQ(box.task[m], 255);
    // Another car stopping there meanwhile waits.
    standInBox(1);
    servePitBoxes();
    EXPECT_EQ(box.owner, 0);
    game.cars[1].positionVector = {20, 0.5f, 20};
    // Driving off frees the box, flagging a car still short of fuel.
    c.fuel = 1000;
    c.wheelSpeed = 10;
    servePitBoxes();
    EXPECT_EQ(box.owner, 100);
    EXPECT_EQ(c.serviceState, 1);
    EXPECT_STREQ(game.carPanels[0].place, "F");
}

// A crew standing still is left as it stands until something it reads changes: the ground
// under it (another track) or a car coming close.
TEST_F(PitService, ACrewAtRestFollowsNewGroundAndMakesWayForACar)
{
    for (int s = 0; s < 400; ++s) servePitBoxes();
    PitCrewMember settled[pitCrewSize];
    std::memcpy(settled, box.crew, sizeof settled);
    servePitBoxes();
    EXPECT_EQ(std::memcmp(settled, box.crew, sizeof settled), 0);

    // Another track's ground, raised by two units where the crew stands.
    std::fill(std::begin(heights), std::end(heights), uint8_t(40));
    ++game.trackGeneration;
    servePitBoxes();
    for (const auto& m : box.crew) EXPECT_FLOAT_EQ(m.position.y, terrainHeight(m.position.x, m.position.z) + 0.7f);

    for (int s = 0; s < 400; ++s) servePitBoxes();
    // A car rolling through the crew, too fast to be served, pushes the member it meets aside.
    CarState& c = game.cars[1];
    const PitCrewMember& met = box.crew[1];
    c.positionVector = {met.position.x, 2.5f, met.position.z};
    c.velocity = {4, 0, 0};
    c.wheelSpeed = 4;
    servePitBoxes();
    EXPECT_EQ(box.owner, 6);
    const Vec3& e = game.carModels[1].ellipsoid;
    float a = met.position.z - c.positionVector.z, b = met.position.x - c.positionVector.x;
    EXPECT_GE(a * a / ((e.x + 0.5f) * (e.x + 0.5f)) + b * b / ((e.z + 0.5f) * (e.z + 0.5f)), 0.99f);
}

// Whichever member a car rolls onto, from whichever side, ends outside it, and so does every
// other member: a crew only passes over the cars far from all of it.
TEST_F(PitService, ACarRollingOntoAnyMemberFromAnySideLeavesNobodyInsideIt)
{
    const Vec3& e = game.carModels[1].ellipsoid;
    const float A = e.x + 0.5f, B = e.z + 0.5f;
    const float offsets[4][2] = {{0.6f, 0}, {-0.6f, 0}, {0, 0.6f}, {0.3f, -0.5f}};  // in the car's frame, part of A and B
    for (int k = 0; k < pitCrewSize; ++k)
        for (const auto& o : offsets) {
            SCOPED_TRACE("member " + std::to_string(k) + " offset " + std::to_string(o[0]) + " " + std::to_string(o[1]));
            resetPitBoxes();
            for (int s = 0; s < 50; ++s) servePitBoxes();
            CarState& c = game.cars[1];
            const Vec3 met = box.crew[k].position;
            // Right axis (0, 0, -1), forward (1, 0, 0): the member sits at (a, b) in the car's frame.
            c.positionVector = {met.x - o[1] * B, 0.5f, met.z + o[0] * A};
            c.velocity = {4, 0, 0};
            c.wheelSpeed = 4;
            servePitBoxes();
            for (const auto& m : box.crew) {
                float a = c.positionVector.z - m.position.z, b = m.position.x - c.positionVector.x;
                EXPECT_GE(a * a / (A * A) + b * b / (B * B), 0.99f);
            }
            c.positionVector = {120, 0.5f, 150};
        }
}

// Two members put on one spot step apart, however long the crew stood spaced before, and a
// crew standing spaced stays put.
TEST_F(PitService, MembersOnOneSpotStepApart)
{
    auto flatDistance = [&](int i, int j) { return flatLength(box.crew[i].position - box.crew[j].position); };
    for (int s = 0; s < 400; ++s) servePitBoxes();
    for (int i = 0; i < pitCrewSize; ++i)
        for (int j = i + 1; j < pitCrewSize; ++j) ASSERT_GE(flatDistance(i, j), 0.79f);
    for (auto [moved, onto] : {std::pair{2, 4}, {0, 1}, {7, 2}}) {
        box.crew[moved].position.x = box.crew[onto].position.x + 0.1f;
        box.crew[moved].position.z = box.crew[onto].position.z;
        servePitBoxes();
        EXPECT_GE(flatDistance(moved, onto), 0.79f) << moved << " on " << onto;
        for (int s = 0; s < 600; ++s) servePitBoxes();
        PitCrewMember settled[pitCrewSize];
        std::memcpy(settled, box.crew, sizeof settled);
        servePitBoxes();
        EXPECT_EQ(std::memcmp(settled, box.crew, sizeof settled), 0);
    }
}

TEST_F(PitService, OwnBoxesOnly)
{
    game.ownPitBoxesOnly = 1;
    standInBox(1);
    servePitBoxes();
    EXPECT_EQ(box.owner, 6);
    game.cars[1].positionVector = {120, 0.5f, 150};
    standInBox(0);
    servePitBoxes();
    EXPECT_EQ(box.owner, 0);
    game.ownPitBoxesOnly = 0;
}

}  // namespace
