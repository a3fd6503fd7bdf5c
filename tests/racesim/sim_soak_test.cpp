#include "sim_soak.h"

#include "state/game_state.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace {

// Ground at 2 m everywhere (a height byte of 40), the square 63 m wide; the cars upright, their
// bodies 0.5 m high above and below the centre.
class SoakGround : public ::testing::Test {
protected:
    std::vector<uint8_t> heights = std::vector<uint8_t>(heightMapCells, 40);
    CarModel models[maxCars];
    void SetUp() override
    {
        game.heightMap = heights.data();
        game.trackSize = 63;
        game.heightCell = 1;
        game.carCount = maxCars;
        for (int i = 0; i < maxCars; ++i) {
            models[i] = game.carModels[i];
            game.carModels[i].ellipsoid = {1, 0.5f, 2};
            CarState& c = game.cars[i];
            c.positionVector = {10.0f + i, 2.5f, 10};
            c.rightAxis = {1, 0, 0};
            c.upAxis = {0, 1, 0};
            c.forwardAxis = {0, 0, 1};
        }
    }
    void TearDown() override
    {
        game.heightMap = nullptr;
        for (int i = 0; i < maxCars; ++i) game.carModels[i] = models[i];
    }
};

TEST_F(SoakGround, CountsTheCarsNotFiniteOrThroughTheGroundAndTheCentresSunk)
{
    const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
    struct Row {
        Vec3 at;
        int through;
        long long sunk;
        float deepest;  // metres the centre lies below the ground, of a finite position
    } rows[] = {
        {{20, 2.5f, 20}, 0, 0, 0},     {{20, 2.0f, 20}, 0, 0, 0},   {{20, 1.6f, 20}, 0, 1, 0.4f},
        {{20, 1.5f, 20}, 0, 1, 0.5f},  {{20, 1.4f, 20}, 1, 1, 0.6f}, {{20, -50, 20}, 1, 1, 52},
        {{nan, 3, 20}, 1, 0, 0},       {{20, nan, 20}, 1, 0, 0},    {{20, 3, inf}, 1, 0, 0},
        {{20, -inf, 20}, 1, 0, 0},
    };
    EXPECT_EQ(carsOffTheGround(), 0);
    for (const Row& r : rows) {
        game.cars[3].positionVector = r.at;
        long long sunk = 0;
        float deepest = 0;
        EXPECT_EQ(carsOffTheGround(&sunk, &deepest), r.through) << r.at.x << " " << r.at.y << " " << r.at.z;
        EXPECT_EQ(sunk, r.sunk) << r.at.y;
        EXPECT_NEAR(deepest, r.deepest, 1e-5f) << r.at.x << " " << r.at.y << " " << r.at.z;
    }
    // Every car counts, and only the cars of the race.
    for (int i = 0; i < maxCars; ++i) game.cars[i].positionVector.y = 1;
    EXPECT_EQ(carsOffTheGround(), maxCars);
    game.carCount = 2;
    EXPECT_EQ(carsOffTheGround(), 2);
}

TEST(Soak, HoldsOnlyOnTheGroundFinishedAndWithinOnePercentOfMemory)
{
    SoakResult good;
    good.firstHourKiB = 10000;
    good.lastHourKiB = 10100;
    EXPECT_TRUE(soakHeld(good));
    struct Row {
        long last;
        long long off;
        int unfinished;
    } rows[] = {{10101, 0, 0}, {9899, 0, 0}, {10000, 1, 0}, {10000, 0, 1}};
    for (const Row& r : rows) {
        SoakResult s = good;
        s.lastHourKiB = r.last;
        s.offGround = r.off;
        s.racesUnfinished = r.unfinished;
        EXPECT_FALSE(soakHeld(s)) << r.last << " " << r.off << " " << r.unfinished;
    }
    // Memory that could not be read is no proof of anything.
    SoakResult unread;
    EXPECT_FALSE(soakHeld(unread));
}

}  // namespace
