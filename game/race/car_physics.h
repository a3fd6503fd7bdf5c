#pragma once
// One 10 ms step of one car: inputs, engine, tyres, steering, integration, air and water,
// then the contacts and the checkpoint test.
//
// A car's axes keep right = up x forward, the model's own x, y and z. A step turns them about
// the angular velocity w by axis += axis x w / 100 (to first order), so that steering left
// (w along up) swings the nose away from the right axis and the roll-over recovery lifts the
// up axis straight back to the sky. A point of the body at lever r therefore moves with
// velocity + r x w, and an impulse J at r changes w by a positive multiple of J x r.
#include "state/game_state.h"

#include <cstdint>

void carStep(int car);

// True only when every float of the car a step keeps finite (position, velocities, axes, wheel
// speed, loads, slips, mass, the wheel points) is finite. False when one is not, and also when
// finite ones are so large that their sum overflows: then each must be looked at by itself.
bool carNumbersFinite(const CarState& c);

// The engine note of car's present wheel speed, louder while the engine pulls. The replay
// plays the cars' engines with it too.
void carEngineSound(int car, bool pulls);

// The column (of an x) or the row (of a z) of the surface map cell under a world point: the
// coordinate truncated by surfaceCell and clamped into the map (NaN reads 0). Inline: the wheels
// and the computer drivers' look at the ground ask for millions a race.
inline int surfaceMapIndex(float v)
{
    if (!(game.surfaceCell > 0)) return 0;
    float c = v / game.surfaceCell;
    if (!(c >= 0)) return 0;  // NaN as well
    return c >= surfaceMapSide - 1 ? surfaceMapSide - 1 : int(c);
}
// The cell itself: z x 512 + x.
inline int surfaceCellUnder(float x, float z) { return surfaceMapIndex(z) * surfaceMapSide + surfaceMapIndex(x); }
// The surface byte there; 0 without a map.
inline uint8_t surfaceUnder(float x, float z) { return game.surfaceMap ? game.surfaceMap[surfaceCellUnder(x, z)] : 0; }
