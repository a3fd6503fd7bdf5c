// A car on a shipped track, with the real ground, walls and objects under it, and the shipped
// cars against walls on flat ground.
#include "contact_world.h"
#include "race/car_models.h"
#include "race/car_physics.h"
#include "race/race_reset.h"
#include "shell/build_tree.h"
#include "state/game_state.h"
#include "state/particle_ring.h"
#include "state/random_table.h"
#include "support/harness.h"
#include "support/race_fixture.h"
#include "track/terrain_height.h"
#include "track/track_loader.h"

#include <gtest/gtest.h>

#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

class CarOnTrack : public ::testing::Test {
protected:
    std::filesystem::path build = buildTree();
    TempGameFolder dir;
    uint8_t keys[keySnapshotSize] = {};

    void SetUp() override
    {
        ASSERT_FALSE(build.empty()) << "no built game folder";
        std::filesystem::copy(build / "tarmacade" / "tracks", dir.path("tracks"),
                              std::filesystem::copy_options::recursive);
        ASSERT_EQ(loadTrack("\\gp"), 0);
        ASSERT_GT(game.objectCount, 0);
        std::srand(5);
        fillRandomTable();
        allocateParticleRing();
        game.keySnapshot = keys;
        game.carCount = 1;
        game.racePhase = Racing;
        game.options = OptionsRecord{};
        game.options.effects = 256;
        game.options.fuelMass = 100;
        game.options.damage = 50;
        game.carModels[0] = generalCarModel();
        game.cars[0] = CarState{};
        resetCarForRace(0, 0);
        // On the first grid slot, facing the way the grid faces.
        CarState& c = game.cars[0];
        const TrackObject& slot = game.trackObjects[0];
        c.forwardAxis = normalised({slot.direction.x, 0, slot.direction.z});
        c.upAxis = {0, 1, 0};
        c.rightAxis = cross(c.upAxis, c.forwardAxis);
        c.positionVector = {slot.position.x, terrainHeight(slot.position.x, slot.position.z) + 0.6f, slot.position.z};
        c.upsideDownCounter = 0;
        uint32_t codes[4] = {SDLK_UP, SDLK_DOWN, SDLK_LEFT, SDLK_RIGHT};
        for (int k = 0; k < 4; ++k) c.controls[k] = codes[k];
    }
    void TearDown() override
    {
        game.keySnapshot = nullptr;
        freeTrackData();
    }
    static float forwardSpeed() { return dot(game.cars[0].velocity, game.cars[0].forwardAxis); }
    static float wheelLoad()
    {
        const CarState& c = game.cars[0];
        return c.wheelLoads[0] + c.wheelLoads[1] + c.wheelLoads[2] + c.wheelLoads[3];
    }
};

// Off until the contacts turn the car in the sense the step integrates (car_physics.h: an
// impulse J at lever r turns by J x r, a body point moves with velocity + r x w) and book the
// load share with the lever they flattened; until then the car rears up onto its tail.
TEST_F(CarOnTrack, AcceleratesFromRestOnItsWheelsAndStopsUnderBraking)
{
    CarState& c = game.cars[0];
    for (int step = 0; step < 100; ++step) carStep(0);  // settling on the grid
    EXPECT_LT(c.velocity.x * c.velocity.x + c.velocity.z * c.velocity.z, 0.01f);
    EXPECT_GT(wheelLoad(), 0);

    keys[SDLK_UP] = 1;
    int grounded = 0;
    for (int step = 0; step < 200; ++step) {
        carStep(0);
        ASSERT_GT(c.upAxis.y, 0.95f) << step;
        grounded += wheelLoad() > 0;
    }
    EXPECT_GT(forwardSpeed(), 15);
    EXPECT_GT(grounded, 180);

    keys[SDLK_UP] = 0;
    keys[SDLK_DOWN] = 1;
    int steps = 0;
    while (forwardSpeed() > 0.5f && steps < 300) {
        carStep(0);
        ASSERT_GT(c.upAxis.y, 0.95f) << steps;
        ++steps;
    }
    EXPECT_LT(forwardSpeed(), 0.5f);
    EXPECT_GT(steps, 30);  // brakes, not a wall
}

// Every shipped car held with its throttle on against a long row of fences, barriers or
// concrete blocks on flat ground, from the front, at an angle, alongside and in reverse. The
// row crosses the whole square, so a car can only get past it by climbing over.
class CarAgainstWall : public ContactWorld {
protected:
    TempGameFolder folder;
    uint8_t keys[keySnapshotSize] = {};
    static constexpr float wallX = 100;

    void SetUp() override
    {
        if (!copyBuiltGame(folder, BuiltTracks::GrandPrix)) GTEST_SKIP() << "no built game folder";
        loadRaceSetup();
        ContactWorld::SetUp();
        wireRaceKeys(keys);
        std::srand(3);
        fillRandomTable();
        game.carCount = 1;
        game.racePhase = Racing;
        game.waterLevel = -100;
        game.checkpoints = nullptr;
        game.checkpointCount = 0;
    }
    void TearDown() override
    {
        unwireRaceKeys();
        ContactWorld::TearDown();
    }

    // Objects of the kind end to end along x = wallX, each facing north as the fences of a
    // straight do.
    void buildRow(int kind, float length)
    {
        std::vector<TrackObject> row;
        for (float z = length / 2; z < game.trackSize; z += length)
            row.push_back(TrackObject{uint8_t(kind), {wallX, 0, z}, {0, 0, 1}});
        placeObjects(row);
    }
};

struct Row {
    int kind;
    float length, halfWidth;
};

const Row rows[] = {{1, 3, 0.5f}, {2, 3, 0.5f}, {3, 3, 0.5f}, {21, 8, 0.18f}, {22, 8, 0.07f}};

struct Approach {
    const char* name;
    float heading;      // degrees from the wall's normal (east), towards north
    float gap;          // between the car's side or end and the wall
    bool reverse;       // backing into it
    int steer;          // the key held to turn into the wall, or 0
};

const Approach approaches[] = {
    {"head-on", 0, 2.0f, false, 0},
    {"head-on from 40 m", 0, 40.0f, false, 0},
    {"at 45 degrees", 45, 1.0f, false, 0},
    {"glancing from 20 m", 15, 20.0f, false, 0},
    {"alongside, steering in", 90, 0.1f, false, SDLK_RIGHT},
    {"backwards", 180, 2.0f, true, 0},
    {"backwards at 30 degrees", 210, 6.0f, true, 0},
};

TEST_F(CarAgainstWall, NoCarClimbsAFenceABarrierOrABlockHoweverLongItIsPushedAgainstIt)
{
    for (const Row& row : rows) {
        buildRow(row.kind, row.length);
        for (int type = 0; type < game.modelCount; ++type) {
            for (const Approach& a : approaches) {
                SCOPED_TRACE(std::string(game.models[type].name) + ", kind " + std::to_string(row.kind) + ", " + a.name);
                float turn = a.heading * 3.14159265f / 180;
                place(0, {}, {std::cos(turn), 0, std::sin(turn)});
                game.carModels[0] = game.models[type];
                const CarModel& m = game.carModels[0];
                CarState& c = game.cars[0];
                float across = a.steer ? m.ellipsoid.x : m.ellipsoid.z;
                c.positionVector = {wallX - row.halfWidth - across - a.gap, groundY() + m.ellipsoid.y, 100};
                c.fuel = c.tyres = 65535;
                uint32_t codes[4] = {SDLK_UP, SDLK_DOWN, SDLK_LEFT, SDLK_RIGHT};
                for (int k = 0; k < 4; ++k) c.controls[k] = codes[k];
                std::fill(std::begin(keys), std::end(keys), uint8_t(0));
                keys[a.reverse ? SDLK_DOWN : SDLK_UP] = 1;
                if (a.steer) keys[a.steer] = 1;

                float highest = 0, farthest = -1e9f, lowestUp = 1;
                for (int step = 0; step < 500; ++step) {
                    carStep(0);
                    highest = std::max(highest, c.positionVector.y - groundY());
                    farthest = std::max(farthest, c.positionVector.x);
                    lowestUp = std::min(lowestUp, c.upAxis.y);
                }
                EXPECT_LT(farthest, wallX) << "got beyond it";
                EXPECT_LT(highest, 2 * m.ellipsoid.z) << "climbed higher than its length";
                EXPECT_GT(lowestUp, 0.5f) << "stood up or turned over";
            }
        }
    }
}

}  // namespace
