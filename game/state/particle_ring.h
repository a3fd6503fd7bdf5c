#pragma once
// The ring of effect particles (smoke, splashes, sparks, dust, fireworks) that the car step,
// the contacts, the pit crews and the fireworks start and the race view moves and draws.
#include "state/vec3.h"

#include <cstdint>

constexpr int particleRingSize = 256;
constexpr int particleKindCount = 19;  // 0..18

struct Particle {
    uint8_t type;   // 0 smoke, 1 splash, 2 sparks, 3..7 dust, 8 debris, 9..13 shells, 14..18 firework sparks
    uint8_t life;   // steps left; 0 = free
    Vec3 position;
    Vec3 velocity;  // units per second
};

// Allocates the ring once; every slot free.
void allocateParticleRing();
void freeParticleRing();
// Every slot free and the next start at slot 0.
void clearParticles();

// Slots in use: the effects option, never more than the ring holds.
int particleSlots();

// Starts a particle in the slot at particleNext, then moves particleNext on, wrapping at the
// effects count. Nothing when the effects are off or the ring is missing.
void startParticle(uint8_t type, uint8_t life, const Vec3& position, const Vec3& velocity);
