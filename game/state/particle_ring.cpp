#include "state/particle_ring.h"

#include "state/game_state.h"

#include <algorithm>

void allocateParticleRing()
{
    if (!game.particles) game.particles = new Particle[particleRingSize]();
}

void freeParticleRing()
{
    delete[] game.particles;
    game.particles = nullptr;
    game.particleNext = 0;
}

void clearParticles()
{
    if (game.particles) std::fill(game.particles, game.particles + particleRingSize, Particle{});
    game.particleNext = 0;
}

int particleSlots()
{
    // options.set may carry any u16; the ring has room for 256.
    return std::min<int>(game.options.effects, particleRingSize);
}

void startParticle(uint8_t type, uint8_t life, const Vec3& position, const Vec3& velocity)
{
    int slots = particleSlots();
    if (!game.particles || slots <= 0) return;
    // A smaller effects count since the last start leaves the cursor outside the used slots.
    if (game.particleNext >= slots) game.particleNext = 0;
    game.particles[game.particleNext] = {type, life, position, velocity};
    game.particleNext = uint16_t((game.particleNext + 1) % slots);
}
