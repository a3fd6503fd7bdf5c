#include "render/particle_view.h"

#include "state/game_state.h"
#include "state/particle_ring.h"
#include "state/random_table.h"
#include "render/raster.h"

#include <cmath>

namespace {

constexpr float stepGravity = -0.2f;  // 20 units/s^2 over one 10 ms step

// Per type: random velocity change per step in each horizontal axis (+-spread), in y
// (+-spread) and a steady pull in y (gravity, or the rise of smoke).
struct Jitter {
    float horizontal, vertical, pull;
};
constexpr Jitter jitters[particleKindCount] = {
    {1.5f, 0.5f, 0.8f},                                                   // smoke rises and drifts
    {0.3f, 0.1f, stepGravity},                                            // splash drops fall
    {0.6f, 0.3f, stepGravity},                                            // sparks
    {1.0f, 0.3f, 0.1f}, {1.0f, 0.3f, 0.1f}, {1.0f, 0.3f, 0.1f},           // dust hangs in the air
    {1.0f, 0.3f, 0.1f}, {1.0f, 0.3f, 0.1f},
    {0.3f, 0.1f, stepGravity},                                            // debris falls
    {0.5f, 0.2f, 0}, {0.5f, 0.2f, 0}, {0.5f, 0.2f, 0}, {0.5f, 0.2f, 0},   // shells wobble up
    {0.5f, 0.2f, 0},
    {0.3f, 0.2f, -0.05f}, {0.3f, 0.2f, -0.05f}, {0.3f, 0.2f, -0.05f},     // firework sparks drift down
    {0.3f, 0.2f, -0.05f}, {0.3f, 0.2f, -0.05f},
};

constexpr int burstSparks = 10;
constexpr uint8_t burstLife = 255;

inline float symmetric(float amount) { return amount * (2.0f * nextRandom() - 1.0f); }

void burst(const Particle& shell)
{
    for (int i = 0; i < burstSparks; ++i) {
        Vec3 v = shell.velocity;
        v.x += -15.0f + 30.0f * nextRandom();
        v.y += -15.0f + 30.0f * nextRandom();
        v.z += -15.0f + 30.0f * nextRandom();
        startParticle(uint8_t(shell.type + 5), burstLife, shell.position, v);
    }
}

// Shells spent in this pass, burst once every particle has moved so that no spark moves
// in the pass it was born in.
struct Spent {
    Particle shells[particleRingSize];
    int count;
} spent;

void advance(Particle& p, int steps)
{
    const Jitter& j = jitters[p.type];
    for (int s = 0; s < steps && p.life > 0; ++s) {
        p.velocity = p.velocity * 0.95f;
        p.velocity.x += symmetric(j.horizontal);
        p.velocity.y += symmetric(j.vertical) + j.pull;
        p.velocity.z += symmetric(j.horizontal);
        p.position = p.position + p.velocity * 0.01f;
        // Drops that reach the water lie on it.
        if (p.type == 1 && p.position.y < game.waterLevel) {
            p.position.y = game.waterLevel;
            p.velocity = Vec3{};
        }
        --p.life;
        if (p.life == 0 && p.type >= 9 && p.type <= 13) spent.shells[spent.count++] = p;
    }
}

// count discs of radius around the projected centre, each at a random angle and a random
// fraction of spread (world units) away; colour(r) picks each disc's slot.
template <class Colour>
void scatter(const ScreenPoint& c, int count, float spread, float radius, Colour colour)
{
    float pixelsPerUnit = game.screenScale / c.z;
    for (int i = 0; i < count; ++i) {
        float angle = 6.28f * nextRandom();
        float distance = spread * nextRandom() * pixelsPerUnit;
        uint8_t slot = colour(nextRandom());
        drawDisc(c.x + distance * std::cos(angle), c.y + distance * std::sin(angle), c.z, radius, slot, false);
    }
}

// Spark rings sit at the full spread.
void ring(const ScreenPoint& c, int count, float spread, float radius, uint8_t slot)
{
    float distance = spread * game.screenScale / c.z;
    for (int i = 0; i < count; ++i) {
        float angle = 6.28f * nextRandom();
        drawDisc(c.x + distance * std::cos(angle), c.y + distance * std::sin(angle), c.z, radius, slot, false);
    }
}

void draw(const Particle& p)
{
    ScreenPoint c;
    if (!projectPoint(game.cameraPosition, game.cameraMatrix, p.position, c)) return;
    auto band = [](int top, int width) { return [=](float r) { return uint8_t(top - int(width * r)); }; };
    switch (p.type) {
    case 0:
        if (p.position.y < game.waterLevel) {
            drawDisc(c.x, c.y, c.z, 0.4f, 252, false);  // bubbles under water
        } else {
            int age = p.life < 100 ? 100 - p.life : 0;
            scatter(c, int(std::sqrt(float(p.life))), 0.15f * std::sqrt(float(age)), 0.3f, band(29, 10));
        }
        break;
    case 1: scatter(c, 3, 0.5f, 0.2f, [](float r) { return uint8_t(250 + int(5 * r)); }); break;
    case 2: ring(c, 3, 0.3f, 0.15f, 174); break;
    case 3: scatter(c, 2, 0.6f, 0.3f, band(177, 2)); break;
    case 4: scatter(c, 2, 0.6f, 0.3f, band(59, 5)); break;
    case 5: scatter(c, 2, 0.6f, 0.3f, band(74, 5)); break;
    case 6: scatter(c, 2, 0.6f, 0.3f, band(89, 5)); break;
    case 7: scatter(c, 2, 0.6f, 0.3f, band(104, 5)); break;
    case 8: scatter(c, 2, 0.3f, 0.2f, [](float) { return uint8_t(149); }); break;
    default:
        // Shells 9..13 and their sparks 14..18 share slots 30..34.
        drawDisc(c.x, c.y, c.z, 0.3f, uint8_t(p.type <= 13 ? p.type + 21 : p.type + 16), false);
        break;
    }
}

}  // namespace

void drawParticles(int steps)
{
    if (!game.particles) return;
    int slots = particleSlots();
    spent.count = 0;
    for (int i = 0; i < slots; ++i) {
        Particle& p = game.particles[i];
        if (p.life > 0 && p.type < particleKindCount) advance(p, steps);
    }
    for (int i = 0; i < spent.count; ++i) burst(spent.shells[i]);
    for (int i = 0; i < slots; ++i) {
        const Particle& p = game.particles[i];
        if (p.life > 0 && p.type < particleKindCount) draw(p);
    }
}
