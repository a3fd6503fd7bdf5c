// The parts of every object kind. The race view draws them by their place in these lists, so
// a part is added at the end of its list or the model's indices move with it.
#include "state/object_sizes.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float pi = 3.14159265f;

struct Builder {
    ObjectSizes& s;

    void block(float x, float z, float hx, float hz, float y0, float y1, uint8_t material = solidMaterial, float turn = 0)
    {
        if (s.blockCount < maxObjectBlocks) s.blocks[s.blockCount++] = {x, z, hx, hz, y0, y1, turn, material};
    }
    void box(float x, float y, float z, float hx, float hy, float hz, uint8_t material = solidMaterial)
    {
        if (s.boxCount < maxObjectBoxes) s.boxes[s.boxCount++] = {x, y, z, hx, hy, hz, material};
    }
    void ball(float y, float radius, uint8_t material)
    {
        if (s.ballCount < maxObjectBalls) s.balls[s.ballCount++] = {y, radius, material};
    }
    void post(float radius, float top, uint8_t material)
    {
        s.post = {radius, top, material};
        s.postCount = 1;
    }
};

// A concrete block, 3 m long.
void block(Builder b) { b.block(0, 0, 0.5f, 1.5f, -0.4f, 1.0f); }

// Trees: a trunk post and their crowns.
void tree(Builder b)
{
    b.s.reach = 4;
    b.post(0.3f, 12, trunkMaterial);
    b.ball(12, 4, foliageMaterial);
}

void smallTree(Builder b)
{
    b.s.reach = 4;
    b.post(0.3f, 10, trunkMaterial);
    b.ball(10, 4, foliageMaterial);
}

void bush(Builder b)
{
    b.s.reach = 2.5f;
    b.ball(0.5f, 3, foliageMaterial);
}

// Lamp and flag: a pole 5 high.
void pole5(Builder b)
{
    b.s.reach = 0.15f;
    b.post(0.15f, 5, poleMaterial);
    b.ball(5, 0.15f, poleMaterial);
}

void rock(Builder b)
{
    b.s.reach = 1.5f;
    b.ball(0.8f, 1.5f, rockMaterial);
}

void stone(Builder b)
{
    b.s.reach = 0.7f;
    b.ball(0, 0.7f, stoneMaterial);
}

// A garage open to the side, 8 deep and 11 long, with a floor to drive in on.
void garage(Builder b)
{
    b.block(3.8f, 0, 0.2f, 5.5f, -0.5f, 4.0f);                 // back wall
    b.block(0, 5.3f, 4.0f, 0.2f, -0.5f, 4.0f);                 // end walls
    b.block(0, -5.3f, 4.0f, 0.2f, -0.5f, 4.0f);
    b.block(0, 0, 4.0f, 5.5f, -0.5f, 0.08f, floorMaterial);    // floor
    b.box(0, 4.1f, 0, 4.2f, 0.15f, 5.7f);                      // roof
    b.box(-3.8f, 3.6f, 0, 0.2f, 0.4f, 5.5f);                   // lintel over the opening
    b.box(-3.2f, 4.65f, 0, 0.08f, 0.4f, 3.0f);                 // name board
}

// Three storeys with windows on both long sides; the pitched roof stands on the walls.
void building(Builder b)
{
    const float hx = 5, hz = 6, h = 9;
    b.block(0, 0, hx, hz, -0.5f, h);
    b.block(2.5f, -3.5f, 0.5f, 0.5f, h, h + 4.0f);            // chimney
    for (int s = -1; s <= 1; s += 2)
        for (int k = 0; k < 4; ++k) b.box(s * (hx + 0.05f), 2.2f + 3.0f * (k / 2), -3.0f + 6.0f * (k & 1), 0.06f, 0.7f, 1.2f);
    b.box(-hx - 0.1f, 1.2f, 0, 0.15f, 1.2f, 1.0f);             // entrance
}

void shed(Builder b)
{
    b.block(0, 0, 2.5f, 3.0f, -0.5f, 3.0f);
    b.box(0, 3.1f, 0, 2.9f, 0.12f, 3.4f);                      // roof
    b.box(-2.55f, 1.0f, 0.8f, 0.06f, 1.0f, 0.7f);              // door
    b.box(-2.55f, 1.9f, -1.5f, 0.06f, 0.45f, 0.6f);            // window
}

// Six tiers under a roof on four posts, 20 long, with spectators on the tiers.
void stand(Builder b)
{
    for (int i = 0; i < 6; ++i) b.block(-3.0f + 1.2f * i, 0, 0.6f, 10.0f, -0.5f, 0.8f * (i + 1), stepsMaterial);
    b.block(4.0f, 0, 0.2f, 10.0f, -0.5f, 7.0f);                // back wall
    for (int k = 0; k < 4; ++k) b.block(-3.4f, -9.5f + k * 19.0f / 3, 0.12f, 0.12f, 0.0f, 7.0f);
    b.box(0.4f, 7.15f, 0, 4.0f, 0.15f, 10.3f);                 // roof
    for (int k = 0; k < 12; ++k) {
        int tier = 1 + k % 5;
        b.box(-3.0f + 1.2f * tier, 0.8f * (tier + 1) + 0.4f, -8.5f + 1.45f * k, 0.3f, 0.4f, 0.3f);
    }
}

// A round hut: two squares turned against each other on a low footing.
void hut(Builder b)
{
    b.block(0, 0, 2.5f, 2.5f, -0.5f, 2.5f);
    b.block(0, 0, 2.5f, 2.5f, -0.5f, 2.5f, solidMaterial, pi / 4);
    b.block(-2.6f, 0, 0.15f, 0.7f, 0, 1.9f);                   // door
    b.block(0, 0, 2.7f, 2.7f, -0.5f, 0.1f, floorMaterial, pi / 8);
}

// A sign board standing on the ground.
void sign(Builder b) { b.block(0, 0, 0.15f, 3.0f, -0.3f, 3.0f); }

// A house; its roof stands on the walls.
void house(Builder b)
{
    const float hx = 4, hz = 5, h = 4;
    b.block(0, 0, hx, hz, -0.5f, h);
    b.block(-1.8f, 2.5f, 0.4f, 0.4f, h, h + 3.2f);             // chimney
    b.box(-hx - 0.05f, 1.1f, 1.5f, 0.08f, 1.1f, 0.6f);         // door
    b.box(-hx - 0.05f, 2.2f, -2.0f, 0.08f, 0.6f, 0.8f);        // windows
    b.box(hx + 0.05f, 2.2f, 0, 0.08f, 0.6f, 0.8f);
}

// A timing tower: a cabin on four legs 8 high, wide enough apart to drive between.
void tower(Builder b)
{
    for (int k = 0; k < 4; ++k) b.block((k & 1) ? 1.8f : -1.8f, (k & 2) ? 1.8f : -1.8f, 0.15f, 0.15f, -0.5f, 8.0f);
    b.block(0, 0, 2.3f, 2.3f, 8.0f, 11.0f);                    // cabin
    b.block(1.2f, 1.2f, 0.05f, 0.05f, 11.3f, 14.0f);           // mast
    b.box(-2.35f, 9.7f, 0, 0.05f, 0.7f, 1.9f);                 // window
    b.box(0, 11.15f, 0, 2.7f, 0.15f, 2.7f);                    // roof
}

void pine(Builder b)
{
    b.s.reach = 5;
    b.post(0.3f, 17, trunkMaterial);
    b.ball(15, 4, foliageMaterial);
    b.ball(6, 5, foliageMaterial);
}

void bigTree(Builder b)
{
    b.s.reach = 5;
    b.post(0.3f, 15, trunkMaterial);
    b.ball(12, 5, foliageMaterial);
}

// A crash barrier: two rails on three posts, 8 long.
void barrier(Builder b)
{
    for (int k = -1; k <= 1; ++k) b.block(0.1f, k * 3.5f, 0.08f, 0.08f, -0.3f, 0.85f);
    b.box(0, 0.45f, 0, 0.05f, 0.13f, 4.0f);
    b.box(0, 0.75f, 0, 0.05f, 0.1f, 4.0f);
}

// A fence panel 8 long and 2 high.
void fence(Builder b)
{
    b.block(0, 0, 0.04f, 4.0f, -0.2f, 2.0f);
    b.box(0, 2.05f, 0, 0.07f, 0.07f, 4.05f);                   // top bar
}

// A gantry across the road, 15 wide and 6 high: only its legs stand in the way.
void gate(Builder b)
{
    b.block(-7.0f, 0, 0.4f, 0.4f, -0.5f, 6.0f);
    b.block(7.0f, 0, 0.4f, 0.4f, -0.5f, 6.0f);
    b.box(0, 6.3f, 0, 7.4f, 0.35f, 0.4f);                      // beam
    b.box(0, 5.4f, -0.1f, 5.0f, 0.55f, 0.06f);                 // banner
}

void barrel(Builder b)
{
    b.s.reach = 0.7f;
    b.post(0.7f, 1.7f, barrelMaterial);
    b.ball(1.7f, 0.7f, barrelMaterial);
}

void tyres(Builder b)
{
    b.s.reach = 2.8f;
    b.post(0.7f, 1.7f, rubberMaterial);
    b.ball(0.4f, 0.8f, rubberMaterial);
    b.ball(1.7f, 0.7f, rubberMaterial);
}

void markerPole(Builder b)
{
    b.s.reach = 0.2f;
    b.post(0.2f, 5, poleMaterial);
    b.ball(5, 0.2f, poleMaterial);
}

void kiosk(Builder b)
{
    b.block(0, 0, 1.5f, 2.0f, -0.5f, 2.5f);
    b.box(0, 2.6f, 0, 2.0f, 0.1f, 2.5f);                       // roof
    b.box(-1.7f, 1.0f, 0, 0.2f, 0.1f, 1.8f);                   // counter
    b.box(0, 3.1f, 0, 0.05f, 0.4f, 1.6f);                      // sign
}

void cabin(Builder b)
{
    b.block(0, 0, 2.5f, 3.5f, -0.5f, 3.0f);
    b.block(1.5f, 2.2f, 0.35f, 0.35f, 3.0f, 4.6f);             // chimney
    b.box(0, 3.15f, 0, 3.0f, 0.2f, 4.0f);                      // roof
}

// A pit wall 10 long with a fence on three posts.
void pitWall(Builder b)
{
    b.block(0, 0, 0.3f, 5.0f, -0.4f, 1.1f);
    for (int k = -1; k <= 1; ++k) b.block(0, k * 4.8f, 0.05f, 0.05f, 1.1f, 3.0f);
    b.block(0, 0, 0.02f, 5.0f, 1.1f, 3.0f);
}

// The main grandstand: eight tiers under a cantilever roof, 24 long.
void grandstand(Builder b)
{
    const float hz = 12;
    for (int i = 0; i < 8; ++i) b.block(-4.0f + 1.1f * i, 0, 0.55f, hz, -0.5f, 0.9f * (i + 1));
    b.block(5.0f, 0, 0.3f, hz, -0.5f, 10.0f);                  // back wall
    b.block(0.5f, hz + 0.2f, 4.8f, 0.2f, -0.5f, 2.0f);         // end plinths
    b.block(0.5f, -hz - 0.2f, 4.8f, 0.2f, -0.5f, 2.0f);
    for (int k = 0; k < 5; ++k) b.block(5.0f, -hz + k * hz / 2, 0.25f, 0.25f, 10.0f, 11.0f);  // roof posts
    b.box(0.2f, 10.2f, 0, 5.4f, 0.2f, hz + 0.4f);              // roof
    b.box(-4.9f, 0.5f, 0, 0.1f, 0.5f, hz);                     // front boards
    for (int k = 0; k < 13; ++k) {
        int tier = 1 + (k * 3) % 7;
        b.box(-4.0f + 1.1f * tier, 0.9f * (tier + 1) + 0.4f, -hz + 1.0f + 1.7f * k, 0.3f, 0.4f, 0.3f);
    }
}

void container(Builder b)
{
    b.block(0, 0, 1.25f, 3.05f, -0.3f, 2.6f);
    b.box(0, 2.62f, 0, 1.27f, 0.06f, 3.07f);                   // roof
    b.box(0, 1.15f, 3.08f, 1.2f, 1.2f, 0.05f);                 // doors
}

using SizeRoutine = void (*)(Builder);

const SizeRoutine routines[objectKindCount] = {
    nullptr, block,  block,    block, tree,  smallTree, bush,  pole5,      pole5,      rock,    stone,
    garage,  building, shed,   stand, hut,   sign,      house, tower,      pine,       bigTree, barrier,
    fence,   gate,   barrel,   tyres, markerPole, kiosk, cabin, pitWall,   grandstand, nullptr, container,
};

// Where no reach is given, the farthest corner of any part.
float partsReach(const ObjectSizes& s)
{
    float reach = s.postCount ? s.post.radius : 0;
    for (int i = 0; i < s.ballCount; ++i) reach = std::max(reach, s.balls[i].radius);
    auto corner = [](float x, float z, float hx, float hz) {
        return std::sqrt(x * x + z * z) + std::sqrt(hx * hx + hz * hz);
    };
    for (int i = 0; i < s.blockCount; ++i) {
        const ObjectBlock& p = s.blocks[i];
        reach = std::max(reach, corner(p.x, p.z, p.hx, p.hz));
    }
    for (int i = 0; i < s.boxCount; ++i) {
        const ObjectBox& p = s.boxes[i];
        reach = std::max(reach, corner(p.x, p.z, p.hx, p.hz));
    }
    return reach;
}

struct SizeTable {
    ObjectSizes kinds[objectKindCount] = {};
    SizeTable()
    {
        for (int k = 0; k < objectKindCount; ++k) {
            if (!routines[k]) continue;
            routines[k](Builder{kinds[k]});
            if (kinds[k].reach <= 0) kinds[k].reach = partsReach(kinds[k]);
        }
    }
};

}  // namespace

const ObjectSizes& objectSizes(int kind)
{
    static const SizeTable table;
    static const ObjectSizes none{};
    return kind >= 0 && kind < objectKindCount ? table.kinds[kind] : none;
}
