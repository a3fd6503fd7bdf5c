#include "state/game_state.h"
#include "state/particle_ring.h"
#include "race/race_reset.h"

#include <gtest/gtest.h>

namespace {

class ParticleRing : public ::testing::Test {
protected:
    void SetUp() override
    {
        allocateParticleRing();
        clearParticles();
    }
    void TearDown() override
    {
        freeParticleRing();
        game.options.effects = 256;
    }
};

}  // namespace

TEST_F(ParticleRing, StartsWrapAtTheEffectsCountAndNeverLeaveTheRing)
{
    game.options.effects = 5;
    for (int i = 0; i < 7; ++i) startParticle(uint8_t(i), uint8_t(10 + i), {float(i), 0, 0}, {0, 1, 0});
    // Slots 0 and 1 were reused; nothing was written past the fifth.
    EXPECT_EQ(game.particleNext, 2);
    EXPECT_EQ(game.particles[0].type, 5);
    EXPECT_EQ(game.particles[1].life, 16);
    EXPECT_EQ(game.particles[4].type, 4);
    EXPECT_FLOAT_EQ(game.particles[4].velocity.y, 1.0f);
    EXPECT_EQ(game.particles[5].life, 0);

    // An options file may hold any count: the ring still holds 256.
    game.options.effects = 60000;
    clearParticles();
    for (int i = 0; i < 257; ++i) startParticle(3, 1, {}, {});
    EXPECT_EQ(particleSlots(), particleRingSize);
    EXPECT_EQ(game.particleNext, 1);

    // A smaller count than the cursor: the next start goes to slot 0.
    game.options.effects = 10;
    game.particleNext = 200;
    startParticle(7, 9, {}, {});
    EXPECT_EQ(game.particles[0].type, 7);
    EXPECT_EQ(game.particleNext, 1);
}

TEST_F(ParticleRing, NoEffectsOrNoRingStartNothingAndARaceStartClearsTheRing)
{
    game.options.effects = 0;
    startParticle(1, 50, {}, {});
    EXPECT_EQ(game.particles[0].life, 0);
    EXPECT_EQ(game.particleNext, 0);

    game.options.effects = 256;
    startParticle(1, 50, {}, {});
    startParticle(2, 50, {}, {});
    const int order[maxCars] = {0, 1, 2, 3, 4, 5};
    resetRaceControl(order, 2);
    EXPECT_EQ(game.particleNext, 0);
    EXPECT_EQ(game.particles[0].life, 0);
    EXPECT_EQ(game.particles[1].life, 0);

    freeParticleRing();
    startParticle(1, 50, {}, {});  // the ring is gone: nothing to write into
    EXPECT_EQ(game.particles, nullptr);
}
