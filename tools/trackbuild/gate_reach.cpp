#include "gate_reach.h"

#include "state/object_sizes.h"

#include <algorithm>
#include <cmath>

namespace {

// The height above the ground where a car's body meets what stands there.
constexpr float bodyLow = 0.1f, bodyHigh = 1.2f;

bool atBodyHeight(float bottom, float top) { return bottom < bodyHigh && top > bodyLow; }

bool stopsCars(uint8_t material) { return material != foliageMaterial && material != floorMaterial; }

constexpr float never = 1e30f;

// Where a ray from p along the unit d first meets a rectangle of half sides (hx, hz) around c
// whose sides run along a and a turned a quarter; 0 from inside, never when it misses.
float rectEntry(float px, float pz, float dx, float dz, float cx, float cz, float ax, float az, float hx, float hz)
{
    float rx = px - cx, rz = pz - cz;
    float pos[2] = {rx * ax + rz * az, -rx * az + rz * ax}, dir[2] = {dx * ax + dz * az, -dx * az + dz * ax};
    float half[2] = {hx, hz}, lo = 0, hi = never;
    for (int i = 0; i < 2; ++i) {
        if (std::abs(dir[i]) < 1e-9f) {
            if (std::abs(pos[i]) > half[i]) return never;
            continue;
        }
        float t0 = (-half[i] - pos[i]) / dir[i], t1 = (half[i] - pos[i]) / dir[i];
        lo = std::max(lo, std::min(t0, t1));
        hi = std::min(hi, std::max(t0, t1));
    }
    return lo <= hi ? lo : never;
}

float circleEntry(float px, float pz, float dx, float dz, float cx, float cz, float r)
{
    float rx = px - cx, rz = pz - cz;
    float b = rx * dx + rz * dz, c = rx * rx + rz * rz - r * r;
    if (c <= 0) return 0;
    float disc = b * b - c;
    if (b > 0 || disc < 0) return never;
    return -b - std::sqrt(disc);
}

// Where the ray first meets a solid part of the object at a car's height. Exact, so that a
// fence a few centimetres thick is never stepped over.
float objectEntry(const TrackObject& o, float x, float z, float dx, float dz)
{
    const ObjectSizes& s = objectSizes(o.kind);
    float ox = o.position.x, oz = o.position.z;
    if (circleEntry(x, z, dx, dz, ox, oz, s.reach) >= never) return never;
    float fl = std::hypot(o.direction.x, o.direction.z);
    float fx = fl > 0 ? o.direction.x / fl : 1, fz = fl > 0 ? o.direction.z / fl : 0;
    float sx = fz, sz = -fx;  // the object's right, as the collisions frame it
    float t = never;
    if (s.postCount && stopsCars(s.post.material) && atBodyHeight(0, s.post.top))
        t = std::min(t, circleEntry(x, z, dx, dz, ox, oz, s.post.radius));
    for (int i = 0; i < s.ballCount; ++i) {
        const ObjectBall& b = s.balls[i];
        if (!stopsCars(b.material) || !atBodyHeight(b.y - b.radius, b.y + b.radius)) continue;
        float dy = std::max(0.0f, std::max(bodyLow - b.y, b.y - bodyHigh));
        t = std::min(t, circleEntry(x, z, dx, dz, ox, oz, std::sqrt(b.radius * b.radius - dy * dy)));
    }
    for (int i = 0; i < s.blockCount; ++i) {
        const ObjectBlock& b = s.blocks[i];
        if (!stopsCars(b.material) || !atBodyHeight(b.y0, b.y1)) continue;
        float cs = std::cos(b.turn), sn = std::sin(b.turn);
        float ax = sx * cs + fx * sn, az = sz * cs + fz * sn;  // the block's right
        float cx = ox + sx * b.x + fx * b.z, cz = oz + sz * b.x + fz * b.z;
        t = std::min(t, rectEntry(x, z, dx, dz, cx, cz, ax, az, b.hx, b.hz));
    }
    for (int i = 0; i < s.boxCount; ++i) {
        const ObjectBox& b = s.boxes[i];
        if (!stopsCars(b.material) || !atBodyHeight(b.y - b.hy, b.y + b.hy)) continue;
        float cx = ox + sx * b.x + fx * b.z, cz = oz + sz * b.x + fz * b.z;
        t = std::min(t, rectEntry(x, z, dx, dz, cx, cz, sx, sz, b.hx, b.hz));
    }
    return t;
}

}  // namespace

float drivableReach(const DrivableGround& g, float x, float z, float dx, float dz, float limit)
{
    float t = limit;
    for (const TrackObject& o : g.objects) t = std::min(t, objectEntry(o, x, z, dx, dz));
    // The square's edge.
    const float at[2] = {x, z}, along[2] = {dx, dz};
    for (int i = 0; i < 2; ++i) {
        float p = at[i], d = along[i];
        if (p < 0 || p > g.size) return 0;
        if (d < 0) t = std::min(t, -p / d);
        if (d > 0) t = std::min(t, (g.size - p) / d);
    }
    // Water does not come in slivers: steps a tenth of a unit apart find it.
    if (g.height)
        for (float s = 0; s < t; s += 0.1f)
            if (g.height(x + dx * s, z + dz * s) <= g.water - gateWaterDepth) return s;
    return std::max(0.0f, t);
}

bool objectWalls(int kind)
{
    const ObjectSizes& s = objectSizes(kind);
    for (int i = 0; i < s.blockCount; ++i)
        if (stopsCars(s.blocks[i].material) && atBodyHeight(s.blocks[i].y0, s.blocks[i].y1) &&
            2 * std::max(s.blocks[i].hx, s.blocks[i].hz) >= 3.0f)
            return true;
    return false;
}
