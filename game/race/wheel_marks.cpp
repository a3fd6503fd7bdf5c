#include "race/wheel_marks.h"

#include "render/cell_repaint.h"
#include "state/game_state.h"
#include "state/particle_ring.h"
#include "state/random_table.h"
#include "track/surface_map.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float onGround = 0.001f;
constexpr int dirtLimit = 150;

// A marked cell counts as the ground it was made from.
int baseGround(int value)
{
    static const uint8_t base[8] = {0, 1, 12, 16, 20, 28, 32, 36};
    return value >= 40 && value < 48 ? base[value - 40] : value;
}

// The particle a wheel throws up from a ground class; 0 for firm ground that throws nothing.
int looseParticle(int ground)
{
    if (ground < 8) return 0;    // tarmac
    if (ground < 16) return 4;   // grass
    if (ground < 20) return 5;
    if (ground < 24) return 6;
    if (ground < 28) return 7;   // snow and ice
    return 3;                    // sand and gravel
}

// How readily a skidding tyre marks a ground class: rubber on tarmac, furrows in sand and
// gravel. A marked cell grips a little less than tarmac, so grass and earth, which grip far
// less, are left unmarked rather than made faster by a car sliding over them.
float markRate(int ground)
{
    if (ground < 8) return 0.5f;
    if (ground < 28) return 0.0f;
    return 0.15f;
}

// How far past a screech a wheel must be before it leaves rubber: the drivers' steering saws
// from lock to lock, and that alone must not paint the racing line.
constexpr float markingSkid = 0.15f;

void looseSurface(CarState& c, int w, const Vec3& point, int ground, float speed, float slip)
{
    bool wet = point.y < game.waterLevel;
    int kind = wet ? 8 : looseParticle(ground);
    // The counter builds up while the wheel churns loose ground and dies away on firm ground.
    float dirt = c.wheelDirt[w] * (kind ? 0.98f : 0.95f);
    if (kind) dirt += 0.4f * speed + 20 * std::min(std::max(slip, 0.0f), 5.0f);
    if (dirt > dirtLimit) {
        Vec3 kick{c.velocity.x * 0.5f + 4 * (nextRandom() - 0.5f), 2 + 4 * nextRandom(),
                  c.velocity.z * 0.5f + 4 * (nextRandom() - 0.5f)};
        startParticle(uint8_t(kind), 100, point, kick);
        dirt -= dirtLimit;
    }
    c.wheelDirt[w] = dirt >= 0 ? uint8_t(std::min(dirt, 255.0f)) : 0;
}

// A cell next to the wheel's (never its own, which would change the grip under it) takes the
// marked form of its class, and the race picture is repainted there. skid: how far the wheel
// is past a screech.
void tyreMark(int cell, int ground, float skid)
{
    float rate = markRate(ground);
    if (!(skid > markingSkid) || rate == 0) return;
    if (!(nextRandom() < std::min(2 * (skid - markingSkid), 1.0f) * rate)) return;
    int x = cell % surfaceMapSide + int(3 * nextRandom()) - 1;
    int z = cell / surfaceMapSide + int(3 * nextRandom()) - 1;
    x = std::clamp(x, 0, surfaceMapSide - 1);
    z = std::clamp(z, 0, surfaceMapSide - 1);
    int target = z * surfaceMapSide + x;
    if (target == cell) return;
    uint8_t& value = game.surfaceMap[target];
    uint8_t marked = tyreMarked(value);
    if (marked == value) return;
    value = marked;
    ++game.surfaceMarks;
    repaintCell(x, z);
}

}  // namespace

void wheelGroundEffects(int car, float speed, float markSlip, float soundSlip, const int wheelCells[4])
{
    CarState& c = game.cars[car];
    float wheel = 40 + std::fabs(c.wheelSpeed);
    for (int w = 0; w < 4; ++w) {
        float load = c.wheelLoads[w];
        if (!(load > 0)) {
            c.wheelDirt[w] = uint8_t(c.wheelDirt[w] * 0.95f);
            continue;
        }
        const Vec3& point = c.wheelPoints[w];
        int cell = wheelCells[w];
        int ground = baseGround(game.surfaceMap ? game.surfaceMap[cell] : 0);
        looseSurface(c, w, point, ground, speed, markSlip);
        float e = 0.4f * soundSlip * load / ((speed + 10) * wheel * 0.0001f) - 1;
        if (!(e > 0)) continue;
        game.skidLevel += 1e7f * e;
        if (load > onGround && game.surfaceMap) tyreMark(cell, ground, e);
    }
}
