#pragma once
// The sizes of the track objects, in metres in each object's own frame: x to its right, y up
// from the ground at the object, z along its direction. The race view builds its models from
// them and the collisions their solid shapes, so a car hits what is drawn and nothing else.
#include <cstdint>

constexpr int objectKindCount = 33;        // kinds 1..32; 0 and 31 are empty
constexpr int maxObjectBlocks = 16;
constexpr int maxObjectBoxes = 16;
constexpr int maxObjectBalls = 2;

// What a part is made of, for the way it meets a car.
enum ObjectMaterial : uint8_t {
    solidMaterial,    // walls stop a car; a top carries it like the ground
    floorMaterial,    // low enough to drive onto: only its top counts
    stepsMaterial,    // solid, its top holding like rough ground
    trunkMaterial,    // tree trunks
    foliageMaterial,  // crowns and bushes: soft, they only slow a car
    poleMaterial,     // lamp, flag and marker poles
    rockMaterial,
    stoneMaterial,
    barrelMaterial,
    rubberMaterial,   // stacked tyres
};

// An upright block: half extents hx, hz around (x, z), from y0 to y1, turned by `turn`
// radians about the up axis.
struct ObjectBlock {
    float x, z, hx, hz, y0, y1, turn;
    uint8_t material;
};

// A box by its centre and half extents: parts that sit on others or hang in the air.
struct ObjectBox {
    float x, y, z, hx, hy, hz;
    uint8_t material;
};

// A ball of the radius centred at height y above the object's position.
struct ObjectBall {
    float y, radius;
    uint8_t material;
};

// An upright post through the object's position, solid up to height top.
struct ObjectPost {
    float radius, top;
    uint8_t material;
};

struct ObjectSizes {
    float reach;  // no part lies farther than this from the position, across the ground
    uint8_t blockCount, boxCount, ballCount, postCount;
    ObjectBlock blocks[maxObjectBlocks];
    ObjectBox boxes[maxObjectBoxes];
    ObjectBall balls[maxObjectBalls];
    ObjectPost post;
};

// The parts of a kind; any other number gives an object without parts.
const ObjectSizes& objectSizes(int kind);
