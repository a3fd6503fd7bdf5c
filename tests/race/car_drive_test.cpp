// A car on a shipped track, with the real ground, walls and objects under it.
#include "race/car_models.h"
#include "race/car_physics.h"
#include "race/race_reset.h"
#include "shell/build_tree.h"
#include "state/game_state.h"
#include "state/particle_ring.h"
#include "state/random_table.h"
#include "support/harness.h"
#include "track/terrain_height.h"
#include "track/track_loader.h"

#include <gtest/gtest.h>

#include <SDL.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>

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

}  // namespace
