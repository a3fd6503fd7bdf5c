#include "state/particle_ring.h"
#include "state/random_table.h"
#include "render/particle_view.h"
#include "render_fixture.h"

#include <cstdlib>
#include <set>

namespace {

// A camera at (0, 0, -10) looking along +z: the origin is at depth 10, in the middle of the
// 100 x 80 screen, and a world unit there is 10 pixels.
class Particles : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(screen.ok);
        std::srand(11);
        fillRandomTable();
        const float identity[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
        std::copy(identity, identity + 9, game.cameraMatrix);
        game.cameraPosition = {0, 0, -10};
        game.waterLevel = -100;
        game.options.effects = 256;
        allocateParticleRing();
        clearParticles();
        fillRect(nullptr, 0);
        ASSERT_TRUE(allocateSceneImages(100, 80));
        ASSERT_TRUE(lockDraw());
    }
    void TearDown() override { freeParticleRing(); }
    static std::set<int> colours()
    {
        std::set<int> seen;
        for (int y = 0; y < 80; ++y)
            for (int x = 0; x < 100; ++x)
                if (Screen::at(x, y)) seen.insert(Screen::at(x, y));
        return seen;
    }
    Screen screen{100, 80};
};

}  // namespace

TEST_F(Particles, ASpentShellBurstsIntoTenSparksAtTheNextSlotThatDoNotMoveTheirFirstPass)
{
    startParticle(11, 1, {1, 2, 3}, {0, 30, 0});
    game.particleNext = 40;
    drawParticles(3);
    const Particle& shell = game.particles[0];
    EXPECT_EQ(shell.life, 0);
    std::set<float> speeds;
    for (int i = 40; i < 50; ++i) {
        const Particle& p = game.particles[i];
        EXPECT_EQ(p.type, 16) << i;
        EXPECT_EQ(p.life, 255) << i;
        EXPECT_FLOAT_EQ(p.position.y, shell.position.y) << i;
        EXPECT_FLOAT_EQ(p.position.x, shell.position.x) << i;
        for (float d : {p.velocity.x - shell.velocity.x, p.velocity.y - shell.velocity.y, p.velocity.z - shell.velocity.z}) {
            EXPECT_GE(d, -15.0f) << i;
            EXPECT_LT(d, 15.0f) << i;
        }
        speeds.insert(p.velocity.x);
    }
    EXPECT_GT(speeds.size(), 5u);  // each spark its own direction
    EXPECT_EQ(game.particles[50].life, 0);
    EXPECT_EQ(game.particleNext, 50);
    EXPECT_TRUE(colours().count(32));  // the sparks are drawn in the pass they were born in

    // The sparks live on for 255 steps of their own.
    drawParticles(254);
    EXPECT_EQ(game.particles[45].life, 1);
}

TEST_F(Particles, SplashDropsLieOnTheWaterWhileOtherKindsSinkAndLivesRunOut)
{
    game.waterLevel = 0.5f;
    startParticle(1, 100, {0, 0.6f, 0}, {3, -40, 2});
    startParticle(0, 100, {0, 0.6f, 0}, {3, -40, 2});
    startParticle(3, 4, {0, 0, 0}, {});
    for (int steps : {1, 10}) {
        drawParticles(steps);
        const Particle& drop = game.particles[0];
        EXPECT_FLOAT_EQ(drop.position.y, 0.5f) << steps;
        EXPECT_FLOAT_EQ(drop.velocity.x, 0) << steps;
        EXPECT_FLOAT_EQ(drop.velocity.y, 0) << steps;
        EXPECT_FLOAT_EQ(drop.velocity.z, 0) << steps;
    }
    EXPECT_LT(game.particles[1].position.y, 0.5f);
    EXPECT_EQ(game.particles[0].life, 89);
    EXPECT_EQ(game.particles[2].life, 0);  // 4 steps of life ended in the second pass

    // Slots beyond the effects count neither move nor show.
    game.options.effects = 1;
    Particle before = game.particles[1];
    fillRect(nullptr, 0);
    drawParticles(5);
    EXPECT_FLOAT_EQ(game.particles[1].position.y, before.position.y);
    EXPECT_EQ(game.particles[1].life, before.life);
}

TEST_F(Particles, SmokeUnderWaterIsOneBubbleAndNothingShowsBehindNearerTerrain)
{
    startParticle(0, 60, {0, 0, 0}, {});
    drawParticles(0);
    std::set<int> puff = colours();
    ASSERT_FALSE(puff.empty());
    EXPECT_GE(*puff.begin(), 20);  // greys 20..29 above the water
    EXPECT_LE(*puff.rbegin(), 29);

    game.waterLevel = 1;
    fillRect(nullptr, 0);
    drawParticles(0);
    EXPECT_EQ(colours(), std::set<int>{252});
    EXPECT_NEAR(Screen::count(252), 3.14159 * 16, 12);  // radius 0.4 at 10 px a unit

    // A hill nearer than depth 10 in front of everything.
    for (int i = 0; i < 100 * 80; ++i) game.depthImage[i] = uint16_t(depthValue(9.0f));
    fillRect(nullptr, 0);
    drawParticles(0);
    EXPECT_TRUE(colours().empty());
}
