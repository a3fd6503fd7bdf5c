// How far the ground a car can drive reaches, for the gates: what stops a gate and what does not.
#include "gate_reach.h"

#include "state/object_sizes.h"

#include <gtest/gtest.h>

namespace {

// A 100 unit square, flat at height 2 except a pond east of x = 70 sinking to 0 at x = 80.
DrivableGround flatGround(float water)
{
    DrivableGround g;
    g.size = 100;
    g.water = water;
    g.height = [](float x, float) { return x < 70 ? 2.0f : std::max(0.0f, 2.0f - (x - 70) * 0.2f); };
    return g;
}

TrackObject object(int kind, float x, float z, float dirX = 1, float dirZ = 0)
{
    return {uint8_t(kind), {x, 0, z}, {dirX, 0, dirZ}};
}

}  // namespace

TEST(GateReach, StopsAtTheEdgeDeepWaterAndSolidPartsOnly)
{
    struct Case {
        const char* what;
        float water;
        TrackObject thing;
        float x, z, dx, dz;
        float reach;  // from the start, within 0.15
    };
    const Case cases[] = {
        {"the square's edge ahead", 0, object(0, 0, 0), 10, 50, -1, 0, 10},
        {"the far edge on a slant", 0, object(0, 0, 0), 50, 50, 0.6f, 0.8f, 62.5f},
        {"water covering a car: 1.2 deep at x = 76", 2.0f, object(0, 0, 0), 50, 50, 1, 0, 26},
        {"a shallow ford does not stop it", 0.5f, object(0, 0, 0), 50, 50, 1, 0, 50},
        // A fence 8 cm thick across the way, 4 either side of (30, 50), running north-south.
        {"a thin fence", 0, object(22, 30, 50, 0, 1), 10, 50, 1, 0, 19.96f},
        {"a fence run along", 0, object(22, 30, 50, 0, 1), 31, 40, 0, 1, 60},
        {"a tree's trunk", 0, object(4, 30, 50), 10, 50, 1, 0, 19.7f},
        {"a bush is soft", 0, object(6, 30, 50), 10, 50, 1, 0, 90},
        {"a crown high above a trunk missed", 0, object(4, 30, 51), 10, 50, 1, 0, 90},
    };
    for (const Case& c : cases) {
        DrivableGround g = flatGround(c.water);
        if (c.thing.kind) g.objects.push_back(c.thing);
        EXPECT_NEAR(drivableReach(g, c.x, c.z, c.dx, c.dz, 200), c.reach, 0.15f) << c.what;
    }
    DrivableGround g = flatGround(0);
    EXPECT_EQ(drivableReach(g, -1, 50, 1, 0, 200), 0) << "starting off the square";
    EXPECT_NEAR(drivableReach(g, 10, 50, 1, 0, 5), 5, 1e-4f) << "the limit";
}

TEST(GateReach, WallsAreWhatACarCannotDriveRound)
{
    EXPECT_TRUE(objectWalls(22));   // fence
    EXPECT_TRUE(objectWalls(11));   // garage
    EXPECT_FALSE(objectWalls(4));   // tree: a trunk
    EXPECT_FALSE(objectWalls(9));   // rock
    EXPECT_FALSE(objectWalls(0));   // grid slot
    EXPECT_FALSE(objectWalls(255));
}
