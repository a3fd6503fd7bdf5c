#include "state/game_state.h"
#include "race/race_reset.h"
#include "state/random_table.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdlib>

TEST(RaceReset, EveryCarStartsFreshWithAFullTankInItsMass)
{
    std::srand(7);
    fillRandomTable();
    game.options.fuelMass = 50;
    for (int car = 0; car < maxCars; ++car) {
        game.carModels[car].mass = 500.0f + 100.0f * car;
        CarState& c = game.cars[car];
        c.laps = 9;
        c.damage = 1234;
        c.velocity = Vec3{1, 2, 3};
        c.wheelDirt[2] = 200;
        resetCarForRace(car, maxCars - 1 - car);
    }
    for (int car = 0; car < maxCars; ++car) {
        const CarState& c = game.cars[car];
        EXPECT_EQ(c.position, maxCars - 1 - car);
        EXPECT_EQ(c.laps, 0);
        EXPECT_EQ(c.damage, 0);
        EXPECT_EQ(c.bestLap, 6000);
        EXPECT_EQ(c.tyres, 65535);
        EXPECT_EQ(c.fuel, 65535);
        EXPECT_EQ(c.engineCountdown, 10);
        EXPECT_EQ(c.wheelDirt[2], 0);
        EXPECT_FLOAT_EQ(c.velocity.y, 0.0f);
        EXPECT_FLOAT_EQ(c.wheelSpeed, 0.2f);
        EXPECT_GE(c.upsideDownCounter, 0);
        EXPECT_LT(c.upsideDownCounter, 20);
        float mass = 500.0f + 100.0f * car + 50 * 65535.0f / 65536.0f;
        EXPECT_FLOAT_EQ(c.mass, mass);
        EXPECT_FLOAT_EQ(c.massFactor, 1200.0f / (mass + 200.0f));
    }
}

TEST(RaceReset, RaceControlFollowsTheStartingOrder)
{
    int order[3] = {2, 0, 1};
    game.raceClock = 500;
    game.fastestLapCar = 3;
    game.startLight = 2;
    resetRaceControl(order, 3);
    EXPECT_EQ(game.raceClock, 0);
    EXPECT_EQ(game.leaderLaps, 0);
    EXPECT_EQ(game.fastestLapTime, 6000);
    EXPECT_EQ(game.fastestLapCar, -1);
    EXPECT_EQ(game.startLight, -1);
    EXPECT_EQ(game.runningOrder[0], 2);
    EXPECT_EQ(game.runningOrder[2], 1);
}

TEST(RandomTable, CursorMovesBeforeUseAndWraps)
{
    std::srand(1);
    fillRandomTable();
    for (int i = 0; i < 256; ++i) {
        EXPECT_GE(game.randomTable[i], 0.0f);
        EXPECT_LT(game.randomTable[i], 1.0f);
    }
    game.randomIndex = 254;
    EXPECT_EQ(nextRandom(), game.randomTable[255]);
    EXPECT_EQ(nextRandom(), game.randomTable[0]);
    EXPECT_EQ(game.randomIndex, 0);
}
