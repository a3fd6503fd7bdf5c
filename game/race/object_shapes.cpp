#include "race/object_shapes.h"

#include "race/collisions.h"
#include "state/game_state.h"
#include "state/object_sizes.h"
#include "track/terrain_height.h"

#include <algorithm>
#include <cmath>

// Walls stop a car dead rather than giving like the ground: at the ground's stiffness a fast
// car would sink through a fence or a thin wall before it was pushed back.
constexpr float wallBounce = 1.0f, wallStiffness = 1.0f;

// Arguments of the round parts, by what they are made of.
static ContactParams roundParams(uint8_t material)
{
    switch (material) {
    case trunkMaterial: return {1.5f, 1, 1};
    case foliageMaterial: return {1, 0.2f, 0};
    case poleMaterial: return {1.5f, 1.2f, 1};
    case rockMaterial: return {1, 0.3f, 0.03f};
    case stoneMaterial: return {1, 0.03f, 0.03f};
    case barrelMaterial: return {1.5f, 1.5f, 1};
    case rubberMaterial: return {1, 0.1f, 0.01f};
    default: return {1, 0.3f, 0.03f};
    }
}

// The object's frame on the ground: right, up and forward, as the race view places its model.
struct Frame {
    Vec3 origin, side, forward;
};

static void boxPart(int car, const Frame& f, float x, float y, float z, float hx, float hy, float hz, float turn,
                    uint8_t material)
{
    Vec3 centre = f.origin + f.side * x + Vec3{0, y, 0} + f.forward * z;
    const float half[3] = {hx, hy, hz};
    // The box's own first test, made before its axes are turned: most parts of most objects
    // lie beyond the car's reach.
    if (!boxWithinReach(car, centre, half)) return;
    const float* contact = game.carModels[car].contactTable;
    // Most parts are not turned: cos 0 is 1 and sin keeps the zero's sign, as the calls give.
    float cs = 1, sn = turn;
    if (turn != 0) cs = std::cos(turn), sn = std::sin(turn);
    Vec3 axes[3] = {f.side * cs + f.forward * sn, {0, 1, 0}, f.forward * cs - f.side * sn};
    ContactParams sides{contact[1], wallBounce, wallStiffness};
    ContactParams top{material == stepsMaterial ? contact[9] : contact[1], 0.3f, 0.03f};
    int flag = material == stepsMaterial ? 3 : 2;
    boxContactWithinReach(car, centre, axes, half, sides, top, flag, material == floorMaterial);
}

float objectReach(int kind) { return objectSizes(kind).reach; }

// Below these sizes the rounding of either test, and a side and forward axis off unit length by
// up to 1e-5, move a distance by less than a hundredth: the margin covers that ten times over.
constexpr float plainCoordinate = 1e4f, plainCarRadius = 100.0f;

float partTestRadius(int car, const Vec3& origin, const Vec3& side, const Vec3& forward)
{
    const Vec3& e = game.carModels[car].ellipsoid;
    bool plain = std::fabs(origin.x) < plainCoordinate && std::fabs(origin.y) < plainCoordinate &&
                 std::fabs(origin.z) < plainCoordinate && std::fabs(e.x) < plainCarRadius &&
                 std::fabs(e.y) < plainCarRadius && std::fabs(e.z) < plainCarRadius && side.y == 0 &&
                 forward.y == 0 && std::fabs(dot(side, side) - 1) < 1e-5f &&
                 std::fabs(dot(forward, forward) - 1) < 1e-5f && std::fabs(dot(side, forward)) < 1e-5f;
    return plain ? std::max(0.0f, std::max(e.x, std::max(e.y, e.z))) : NAN;
}

Vec3 carInObjectFrame(int car, const Vec3& origin, const Vec3& side, const Vec3& forward)
{
    const Vec3& p = game.cars[car].positionVector;
    if (!(std::fabs(p.x) < plainCoordinate && std::fabs(p.y) < plainCoordinate && std::fabs(p.z) < plainCoordinate))
        return Vec3{NAN, NAN, NAN};
    float dx = p.x - origin.x, dz = p.z - origin.z;
    return {dx * side.x + dz * side.z, p.y - origin.y, dx * forward.x + dz * forward.z};
}

// Each part's centre in its object's frame and its half diagonal, blocks first, then boxes: the
// first test of every part of every object near a car reads them, every step.
struct PartBound {
    float x, y, z, halfDiagonal;
};

static const PartBound* partBounds(int kind)
{
    static PartBound bounds[objectKindCount][maxObjectBlocks + maxObjectBoxes];
    static bool filled = false;
    if (!filled) {
        for (int k = 0; k < objectKindCount; ++k) {
            const ObjectSizes& s = objectSizes(k);
            for (int i = 0; i < s.blockCount; ++i) {
                const ObjectBlock& b = s.blocks[i];
                bounds[k][i] = {b.x, 0.5f * (b.y0 + b.y1), b.z, partHalfDiagonal(b.hx, 0.5f * (b.y1 - b.y0), b.hz)};
            }
            for (int i = 0; i < s.boxCount; ++i) {
                const ObjectBox& b = s.boxes[i];
                bounds[k][s.blockCount + i] = {b.x, b.y, b.z, partHalfDiagonal(b.hx, b.hy, b.hz)};
            }
        }
        filled = true;
    }
    return bounds[kind >= 0 && kind < objectKindCount ? kind : 0];
}

void objectShapeContacts(int car, const TrackObject& o)
{
    const ObjectSizes& s = objectSizes(o.kind);
    Vec3 forward = normalised(Vec3{o.direction.x, 0, o.direction.z});
    // A track without a heading faces east, as its model does.
    if (dot(forward, forward) == 0) forward = {1, 0, 0};
    Frame f{{o.position.x, terrainHeight(o.position.x, o.position.z), o.position.z}, {forward.z, 0, -forward.x}, forward};

    if (s.postCount && game.cars[car].positionVector.y - f.origin.y < s.post.top)
        cylinderContact(car, f.origin, {0, 1, 0}, s.post.radius, roundParams(s.post.material));
    for (int i = 0; i < s.ballCount; ++i)
        sphereContact(car, f.origin + Vec3{0, s.balls[i].y, 0}, s.balls[i].radius, roundParams(s.balls[i].material));
    // Most parts of a stand or a building lie beyond the car: a cheap test in the object's frame
    // passes over them. A part that met the car may have moved it: its place is taken again.
    float radius = partTestRadius(car, f.origin, f.side, f.forward);
    Vec3 local = carInObjectFrame(car, f.origin, f.side, f.forward);
    const PartBound* bound = partBounds(o.kind);
    for (int i = 0; i < s.blockCount; ++i) {
        const PartBound& p = bound[i];
        if (partBeyondReach(local, radius, p.x, p.y, p.z, p.halfDiagonal)) continue;
        const ObjectBlock& b = s.blocks[i];
        boxPart(car, f, b.x, 0.5f * (b.y0 + b.y1), b.z, b.hx, 0.5f * (b.y1 - b.y0), b.hz, b.turn, b.material);
        local = carInObjectFrame(car, f.origin, f.side, f.forward);
    }
    for (int i = 0; i < s.boxCount; ++i) {
        const PartBound& p = bound[s.blockCount + i];
        if (partBeyondReach(local, radius, p.x, p.y, p.z, p.halfDiagonal)) continue;
        const ObjectBox& b = s.boxes[i];
        boxPart(car, f, b.x, b.y, b.z, b.hx, b.hy, b.hz, 0, b.material);
        local = carInObjectFrame(car, f.origin, f.side, f.forward);
    }
}
