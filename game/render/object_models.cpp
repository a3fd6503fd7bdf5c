#include "render/object_models.h"

#include "state/game_state.h"
#include "render/ground_colours.h"
#include "render/raster.h"
#include "render/scene_raster.h"
#include "track/terrain_height.h"

#include <cmath>

namespace {

// Palette slots: the object groups (three shades and a water tint each) and band colours.
enum : uint8_t {
    orange = 144, metal = 148, brick = 152, foliage = 156, wood = 160, roofBlue = 164, rubber = 168,
    yellow = 172, tan = 176, concrete = 180, purple = 184, teal = 188,
    darkGrey = 5, stoneGrey = 15, rockGrey = 19, lightGrey = 25, bushGreen = 38, white = 108, red = 118,
};

const Vec3 up{0, 1, 0};

// A model being placed: local x to the object's side, y up, z along its direction.
struct Model {
    Vec3 origin, side, forward;
    ModelCounts* counts;  // set: count the primitives and draw nothing
};

struct Local {
    float x, y, z;
};

Vec3 at(const Model& m, Local p)
{
    return m.origin + m.side * p.x + up * p.y + m.forward * p.z;
}

// A box of half extents hx, hy, hz around a local centre, turned by `turn` radians about up.
void box(const Model& m, Local c, float hx, float hy, float hz, uint8_t colour, float turn = 0)
{
    if (m.counts) return void(++m.counts->boxes);
    float cs = std::cos(turn), sn = std::sin(turn);
    Vec3 ax = m.side * cs + m.forward * sn, az = m.forward * cs - m.side * sn;
    drawBox(at(m, c), ax * hx, up * hy, az * hz, colour);
}

// An upright box from y0 to y1.
void column(const Model& m, float x, float z, float hx, float hz, float y0, float y1, uint8_t colour, float turn = 0)
{
    box(m, {x, 0.5f * (y0 + y1), z}, hx, 0.5f * (y1 - y0), hz, colour, turn);
}

// A box whose local axes are given: for tilted roofs and braces.
void slab(const Model& m, Local c, Local ax, Local ay, Local az, uint8_t colour)
{
    if (m.counts) return void(++m.counts->boxes);
    auto dir = [&](Local v) { return m.side * v.x + up * v.y + m.forward * v.z; };
    drawBox(at(m, c), dir(ax), dir(ay), dir(az), colour);
}

// A flat triangle, shaded for its side that faces the camera.
void tri(const Model& m, Local a, Local b, Local c, uint8_t colour)
{
    if (m.counts) return void(++m.counts->triangles);
    Vec3 pa = at(m, a), pb = at(m, b), pc = at(m, c);
    Vec3 normal = cross(pb - pa, pc - pa);
    if (dot(normal, pa - game.cameraPosition) > 0) normal = normal * -1.0f;
    SceneVertex va, vb, vc;
    if (!sceneVertex(pa, va) || !sceneVertex(pb, vb) || !sceneVertex(pc, vc)) return;
    drawTriangle3D(va, vb, vc, faceShade(colour, normal));
}

struct GroundPoint {
    float x, z, height;  // local ground position and the height of what casts it
};

// The shadow a part at the given heights casts on the ground, moved away from the light.
void shadow(const Model& m, GroundPoint a, GroundPoint b, GroundPoint c)
{
    if (m.counts) return void(++m.counts->shadowTriangles);
    Vec3 l = lightDirection();
    Vec3 drift{l.x / -l.y, 0, l.z / -l.y};
    ScreenPoint s[3];
    const GroundPoint* g[3] = {&a, &b, &c};
    for (int i = 0; i < 3; ++i) {
        Vec3 p = at(m, {g[i]->x, 0, g[i]->z}) + drift * g[i]->height;
        p.y = terrainHeight(p.x, p.z) + 0.05f;
        if (!projectPoint(game.cameraPosition, game.cameraMatrix, p, s[i])) return;
    }
    drawShadowTriangle(s[0], s[1], s[2]);
}

// A rectangle's shadow as two triangles: half extents hx, hz around (x, z) at height h.
void shadowRect(const Model& m, float x, float z, float hx, float hz, float h)
{
    shadow(m, {x - hx, z - hz, h}, {x + hx, z - hz, h}, {x + hx, z + hz, h});
    shadow(m, {x - hx, z - hz, h}, {x + hx, z + hz, h}, {x - hx, z + hz, h});
}

// The sliver of shadow of an upright pole of half width w from the ground to height h.
void shadowPole(const Model& m, float x, float z, float w, float h)
{
    shadow(m, {x - w, z, 0}, {x + w, z, 0}, {x + w, z, h});
    shadow(m, {x - w, z, 0}, {x + w, z, h}, {x - w, z, h});
}

constexpr float pi = 3.14159265f;

Local ring(float radius, float angle, float y)
{
    return {radius * std::cos(angle), y, radius * std::sin(angle)};
}

// Kinds 1..3: a concrete block, 3 m long.
void block(const Model& m) { column(m, 0, 0, 0.5f, 1.5f, -0.4f, 1.0f, concrete); }

// Kind 4: trunk to the crown, an eight-faced crown of radius 4 at 12.
void tree(const Model& m)
{
    column(m, 0, 0, 0.3f, 0.3f, -0.5f, 9.0f, wood);
    Local top{0, 16, 0}, bottom{0, 8, 0};
    Local r[4] = {{4, 12, 0}, {0, 12, 4}, {-4, 12, 0}, {0, 12, -4}};
    for (int i = 0; i < 4; ++i) {
        tri(m, top, r[i], r[(i + 1) % 4], foliage);
        tri(m, bottom, r[i], r[(i + 1) % 4], foliage);
    }
    for (int i = 0; i < 4; ++i) shadow(m, {0, 0, 12}, {r[i].x, r[i].z, 12}, {r[(i + 1) % 4].x, r[(i + 1) % 4].z, 12});
}

// Kind 5: a smaller tree, its crown of two crossed faces around 10.
void smallTree(const Model& m)
{
    column(m, 0, 0, 0.3f, 0.3f, -0.5f, 7.0f, wood);
    tri(m, {-4, 6, 0}, {4, 6, 0}, {0, 14, 0}, foliage);
    tri(m, {0, 6, -4}, {0, 6, 4}, {0, 14, 0}, foliage);
    shadow(m, {0, 3.5f, 10}, {-3.5f, -2, 10}, {3.5f, -2, 10});
}

// Kind 6: a bush of radius 3.
void bush(const Model& m)
{
    tri(m, {-3, -0.3f, 0}, {3, -0.3f, 0}, {0, 3.5f, 0}, bushGreen);
    tri(m, {0, -0.3f, -3}, {0, -0.3f, 3}, {0, 3.5f, 0}, bushGreen);
    shadow(m, {0, 2.5f, 1.5f}, {-2.5f, -1.5f, 1.5f}, {2.5f, -1.5f, 1.5f});
}

// Kind 7: a lamp post 5 high with its shade on top.
void lamp(const Model& m)
{
    column(m, 0, 0, 0.15f, 0.15f, -0.3f, 5.0f, metal);
    Local apex{0, 5.4f, 0};
    Local r[3] = {ring(0.55f, 0, 4.8f), ring(0.55f, 2.0944f, 4.8f), ring(0.55f, 4.1888f, 4.8f)};
    for (int i = 0; i < 3; ++i) tri(m, apex, r[i], r[(i + 1) % 3], yellow);
}

// Kind 8: a flag on a pole 5 high.
void flag(const Model& m)
{
    column(m, 0, 0, 0.15f, 0.15f, -0.3f, 5.0f, lightGrey);
    box(m, {0.75f, 4.4f, 0}, 0.6f, 0.4f, 0.03f, red);
    shadowPole(m, 0, 0, 0.12f, 5.0f);
}

// A rounded stone of n sides: a ring on the ground, a ring half-way up turned half a side,
// and a point on top.
void stoneFaces(const Model& m, const Local* ground, const Local* middle, int n, Local apex, uint8_t colour)
{
    for (int i = 0; i < n; ++i) {
        int j = (i + 1) % n;
        tri(m, ground[i], ground[j], middle[i], colour);
        tri(m, middle[i], ground[j], middle[j], colour);
        tri(m, middle[i], middle[j], apex, colour);
    }
}

// Kind 9: a rock of radius 1.5 around 0.8.
void rock(const Model& m)
{
    Local g[4], mid[4];
    const float groundRadius[4] = {1.55f, 1.3f, 1.6f, 1.35f}, midRadius[4] = {1.35f, 1.5f, 1.2f, 1.45f};
    for (int i = 0; i < 4; ++i) {
        g[i] = ring(groundRadius[i], i * pi / 2, -0.3f);
        mid[i] = ring(midRadius[i], i * pi / 2 + pi / 4, 0.9f + 0.15f * (i & 1));
    }
    stoneFaces(m, g, mid, 4, {0.2f, 2.2f, -0.1f}, rockGrey);
}

// Kind 10: a stone of radius 0.7, half in the ground.
void stone(const Model& m)
{
    Local g[5], mid[5];
    for (int i = 0; i < 5; ++i) {
        g[i] = ring(0.75f, i * 2 * pi / 5, -0.2f);
        mid[i] = ring(0.5f + 0.05f * (i % 3), i * 2 * pi / 5 + pi / 5, 0.35f);
    }
    stoneFaces(m, g, mid, 5, {0.05f, 0.7f, 0}, stoneGrey);
}

// Kind 11: a garage open to the side, 8 deep and 11 long.
void garage(const Model& m)
{
    column(m, 3.8f, 0, 0.2f, 5.5f, -0.5f, 4.0f, concrete);        // back wall
    column(m, 0, 5.3f, 4.0f, 0.2f, -0.5f, 4.0f, concrete);        // end walls
    column(m, 0, -5.3f, 4.0f, 0.2f, -0.5f, 4.0f, concrete);
    box(m, {0, 4.1f, 0}, 4.2f, 0.15f, 5.7f, metal);                // roof
    box(m, {-3.8f, 3.6f, 0}, 0.2f, 0.4f, 5.5f, brick);             // lintel over the opening
    column(m, 0, 0, 4.0f, 5.5f, -0.5f, 0.08f, darkGrey);          // floor
    box(m, {-3.2f, 4.65f, 0}, 0.08f, 0.4f, 3.0f, yellow);          // name board
}

// Kind 12: a three-storey building with a pitched roof.
void building(const Model& m)
{
    const float hx = 5, hz = 6, h = 9;
    column(m, 0, 0, hx, hz, -0.5f, h, brick);
    for (int s = -1; s <= 1; s += 2)
        for (int k = 0; k < 4; ++k)
            box(m, {s * (hx + 0.05f), 2.2f + 3.0f * (k / 2), -3.0f + 6.0f * (k & 1)}, 0.06f, 0.7f, 1.2f, roofBlue);
    column(m, 2.5f, -3.5f, 0.5f, 0.5f, h, h + 4.0f, brick);       // chimney
    box(m, {-hx - 0.1f, 1.2f, 0}, 0.15f, 1.2f, 1.0f, wood);        // entrance
    Local r0{-hx, h, -hz}, r1{hx, h, -hz}, r2{hx, h, hz}, r3{-hx, h, hz};
    Local ridge0{0, h + 3.0f, -hz}, ridge1{0, h + 3.0f, hz};
    tri(m, r0, r1, ridge0, brick);                                 // gables
    tri(m, r3, r2, ridge1, brick);
    tri(m, r0, ridge0, ridge1, roofBlue);                          // slopes
    tri(m, r0, ridge1, r3, roofBlue);
    tri(m, r1, ridge0, ridge1, roofBlue);
    tri(m, r1, ridge1, r2, roofBlue);
    shadowRect(m, 0, 0, hx, hz, h);
}

// Kind 13: a wooden shed.
void shed(const Model& m)
{
    column(m, 0, 0, 2.5f, 3.0f, -0.5f, 3.0f, wood);
    box(m, {0, 3.1f, 0}, 2.9f, 0.12f, 3.4f, roofBlue);
    box(m, {-2.55f, 1.0f, 0.8f}, 0.06f, 1.0f, 0.7f, darkGrey);    // door
    box(m, {-2.55f, 1.9f, -1.5f}, 0.06f, 0.45f, 0.6f, yellow);    // lit window
}

const uint8_t crowd[5] = {purple, teal, yellow, red, orange};

// Kind 14: a spectator stand of six tiers under a roof, 20 long.
void stand(const Model& m)
{
    for (int i = 0; i < 6; ++i) column(m, -3.0f + 1.2f * i, 0, 0.6f, 10.0f, -0.5f, 0.8f * (i + 1), concrete);
    column(m, 4.0f, 0, 0.2f, 10.0f, -0.5f, 7.0f, concrete);                    // back wall
    for (int k = 0; k < 4; ++k) column(m, -3.4f, -9.5f + k * 19.0f / 3, 0.12f, 0.12f, 0.0f, 7.0f, metal);
    box(m, {0.4f, 7.15f, 0}, 4.0f, 0.15f, 10.3f, metal);                      // roof
    for (int k = 0; k < 12; ++k) {
        int tier = 1 + k % 5;
        float z = -8.5f + 1.45f * k;
        box(m, {-3.0f + 1.2f * tier, 0.8f * (tier + 1) + 0.4f, z}, 0.3f, 0.4f, 0.3f, crowd[k % 5]);
    }
    shadowRect(m, 0.4f, 0, 4.0f, 10.3f, 7.0f);
}

// Kind 15: a round hut with a cone roof.
void hut(const Model& m)
{
    column(m, 0, 0, 2.5f, 2.5f, -0.5f, 2.5f, tan);
    column(m, 0, 0, 2.5f, 2.5f, -0.5f, 2.5f, tan, pi / 4);
    column(m, -2.6f, 0, 0.15f, 0.7f, 0, 1.9f, wood, 0);                         // door
    column(m, 0, 0, 2.7f, 2.7f, -0.5f, 0.1f, darkGrey, pi / 8);               // footing
    Local apex{0, 5.2f, 0};
    for (int i = 0; i < 10; ++i) tri(m, apex, ring(3.4f, i * pi / 5, 2.4f), ring(3.4f, (i + 1) * pi / 5, 2.4f), brick);
    for (int i = 0; i < 4; ++i) {
        Local a = ring(3.4f, i * pi / 2, 0), b = ring(3.4f, (i + 1) * pi / 2, 0);
        shadow(m, {0, 0, 5.2f}, {a.x, a.z, 2.4f}, {b.x, b.z, 2.4f});
    }
}

// Kind 16: a sign board beside the road.
void sign(const Model& m)
{
    column(m, 0, 0, 0.15f, 3.0f, -0.3f, 3.0f, teal);
    shadow(m, {-0.15f, -3, 0}, {0.15f, -3, 0}, {0, -3, 3});
    shadow(m, {-0.15f, -3, 0}, {0, 3, 3}, {0, -3, 3});
    shadow(m, {-0.15f, -3, 0}, {0.15f, 3, 0}, {0, 3, 3});
    shadow(m, {-0.15f, -3, 0}, {-0.15f, 3, 0}, {0, 3, 3});
}

// Kind 17: a house with a tiled roof.
void house(const Model& m)
{
    const float hx = 4, hz = 5, h = 4;
    column(m, 0, 0, hx, hz, -0.5f, h, tan);
    // Each roof slope a thin slab tilted from the eaves to the ridge.
    float run = hx + 0.4f, rise = 2.6f, thick = 0.1f / std::sqrt(run * run + rise * rise);
    for (int s = -1; s <= 1; s += 2)
        slab(m, {s * run / 2, h + rise / 2, 0}, {-s * run / 2, rise / 2, 0}, {s * rise * thick, run * thick, 0},
             {0, 0, hz + 0.4f}, brick);
    column(m, -1.8f, 2.5f, 0.4f, 0.4f, h, h + 3.2f, brick);      // chimney
    box(m, {-hx - 0.05f, 1.1f, 1.5f}, 0.08f, 1.1f, 0.6f, wood);   // door
    box(m, {-hx - 0.05f, 2.2f, -2.0f}, 0.08f, 0.6f, 0.8f, roofBlue);
    box(m, {hx + 0.05f, 2.2f, 0}, 0.08f, 0.6f, 0.8f, roofBlue);
    tri(m, {-hx, h, -hz}, {hx, h, -hz}, {0, h + 2.4f, -hz}, tan);    // gables
    tri(m, {-hx, h, hz}, {hx, h, hz}, {0, h + 2.4f, hz}, tan);
    shadowRect(m, 0, 0, hx, hz, h);
    shadowRect(m, 0, 0, 1.5f, hz, h + 2.6f);
}

// Kind 18: a timing tower on four legs.
void tower(const Model& m)
{
    for (int k = 0; k < 4; ++k) column(m, (k & 1) ? 1.8f : -1.8f, (k & 2) ? 1.8f : -1.8f, 0.15f, 0.15f, -0.5f, 8.0f, metal);
    column(m, 0, 0, 2.3f, 2.3f, 8.0f, 11.0f, concrete);                          // cabin
    box(m, {-2.35f, 9.7f, 0}, 0.05f, 0.7f, 1.9f, roofBlue);                     // window
    box(m, {0, 11.15f, 0}, 2.7f, 0.15f, 2.7f, roofBlue);                         // roof
    for (int s = -1; s <= 1; s += 2)
        slab(m, {0, 4.5f, s * 1.8f}, {1.8f, 3.0f, 0}, {0.1f, -0.06f, 0}, {0, 0, 0.08f}, metal);  // cross braces
    column(m, 1.2f, 1.2f, 0.05f, 0.05f, 11.3f, 14.0f, lightGrey);              // mast
    tri(m, {1.2f, 14.0f, 1.2f}, {1.2f, 13.2f, 1.2f}, {2.4f, 13.6f, 1.2f}, red);  // pennant
    shadowRect(m, 0, 0, 2.7f, 2.7f, 10.0f);
    for (int k = 0; k < 4; ++k) {
        float x = (k & 1) ? 1.8f : -1.8f, z = (k & 2) ? 1.8f : -1.8f;
        shadow(m, {x - 0.12f, z, 0}, {x + 0.12f, z, 0}, {x, z, 8.0f});
    }
    shadowPole(m, 1.2f, 1.2f, 0.05f, 14.0f);
}

// Kind 19: a pine, crowns of radius 5 at 6 and 4 at 15.
void pine(const Model& m)
{
    column(m, 0, 0, 0.3f, 0.3f, -0.5f, 12.0f, wood);
    tri(m, {-5, 1.5f, 0}, {5, 1.5f, 0}, {0, 12, 0}, foliage);
    tri(m, {0, 1.5f, -5}, {0, 1.5f, 5}, {0, 12, 0}, foliage);
    tri(m, {-4, 9, 0}, {4, 9, 0}, {0, 19, 0}, foliage);
    tri(m, {0, 9, -4}, {0, 9, 4}, {0, 19, 0}, foliage);
    shadow(m, {-4.5f, 0, 2}, {4.5f, 0, 2}, {0, 0, 12});
    shadow(m, {-3.5f, 0, 9}, {3.5f, 0, 9}, {0, 0, 19});
}

// Kind 20: a broad tree, its crown of radius 5 at 12.
void bigTree(const Model& m)
{
    column(m, 0, 0, 0.35f, 0.35f, -0.5f, 9.0f, wood);
    tri(m, {-5, 12, 0}, {5, 12, 0}, {0, 17, 0}, foliage);
    tri(m, {-5, 12, 0}, {5, 12, 0}, {0, 7, 0}, foliage);
    tri(m, {0, 12, -5}, {0, 12, 5}, {0, 17, 0}, foliage);
    tri(m, {0, 12, -5}, {0, 12, 5}, {0, 7, 0}, foliage);
    shadow(m, {-5, 0, 12}, {0, -5, 12}, {5, 0, 12});
    shadow(m, {-5, 0, 12}, {5, 0, 12}, {0, 5, 12});
}

// Kind 21: a crash barrier of two rails on three posts, 8 long.
void barrier(const Model& m)
{
    for (int k = -1; k <= 1; ++k) column(m, 0.1f, k * 3.5f, 0.08f, 0.08f, -0.3f, 0.85f, metal);
    box(m, {0, 0.45f, 0}, 0.05f, 0.13f, 4.0f, lightGrey);
    box(m, {0, 0.75f, 0}, 0.05f, 0.1f, 4.0f, red);
    shadowRect(m, 0, 0, 0.06f, 4.0f, 0.8f);
}

// Kind 22: a fence panel 8 long and 2 high.
void fence(const Model& m)
{
    column(m, 0, 0, 0.04f, 4.0f, -0.2f, 2.0f, lightGrey);
    box(m, {0, 2.05f, 0}, 0.07f, 0.07f, 4.05f, metal);
    shadow(m, {0, -4, 0}, {0, 4, 0}, {0, 4, 2});
    shadow(m, {0, -4, 0}, {0, 4, 2}, {0, -4, 2});
}

// Kind 23: a gantry across the road, 15 wide and 6 high.
void gate(const Model& m)
{
    column(m, -7.0f, 0, 0.4f, 0.4f, -0.5f, 6.0f, metal);
    column(m, 7.0f, 0, 0.4f, 0.4f, -0.5f, 6.0f, metal);
    box(m, {0, 6.3f, 0}, 7.4f, 0.35f, 0.4f, metal);
    box(m, {0, 5.4f, -0.1f}, 5.0f, 0.55f, 0.06f, purple);
    shadowRect(m, 0, 0, 7.4f, 0.4f, 6.3f);
}

// Kind 24: a barrel of radius 0.7, 1.7 high.
void barrel(const Model& m)
{
    column(m, 0, 0, 0.6f, 0.6f, -0.2f, 1.7f, orange);
    column(m, 0, 0, 0.6f, 0.6f, -0.2f, 1.7f, orange, pi / 4);
    column(m, 0, 0, 0.64f, 0.64f, 0.95f, 1.2f, white, pi / 8);
}

// Kind 25: a stack of tyres of radius 0.7, 1.7 high.
void tyres(const Model& m)
{
    for (int i = 0; i < 10; ++i) {
        float a0 = i * pi / 5, a1 = (i + 1) * pi / 5;
        Local b0 = ring(0.72f, a0, -0.2f), b1 = ring(0.72f, a1, -0.2f), t0 = ring(0.72f, a0, 1.7f), t1 = ring(0.72f, a1, 1.7f);
        tri(m, b0, b1, t1, rubber);
        tri(m, b0, t1, t0, rubber);
    }
    column(m, 0, 0, 0.5f, 0.5f, 1.0f, 1.72f, darkGrey, pi / 10);
}

// Kind 26: a striped marker pole 5 high.
void pole(const Model& m)
{
    for (int k = 0; k < 4; ++k) column(m, 0, 0, 0.18f, 0.18f, k ? 1.25f * k : -0.3f, 1.25f * (k + 1), (k & 1) ? white : red);
    shadowPole(m, 0, 0, 0.15f, 5.0f);
}

// Kind 27: a kiosk.
void kiosk(const Model& m)
{
    column(m, 0, 0, 1.5f, 2.0f, -0.5f, 2.5f, teal);
    box(m, {0, 2.6f, 0}, 2.0f, 0.1f, 2.5f, orange);
    box(m, {-1.7f, 1.0f, 0}, 0.2f, 0.1f, 1.8f, wood);                            // counter
    box(m, {0, 3.1f, 0}, 0.05f, 0.4f, 1.6f, yellow);                            // sign
}

// Kind 28: a log cabin.
void cabin(const Model& m)
{
    column(m, 0, 0, 2.5f, 3.5f, -0.5f, 3.0f, wood);
    box(m, {0, 3.15f, 0}, 3.0f, 0.2f, 4.0f, roofBlue);
    column(m, 1.5f, 2.2f, 0.35f, 0.35f, 3.0f, 4.6f, brick);
}

// Kind 29: a pit wall with its fence, 10 long.
void pitWall(const Model& m)
{
    column(m, 0, 0, 0.3f, 5.0f, -0.4f, 1.1f, concrete);
    for (int k = -1; k <= 1; ++k) column(m, 0, k * 4.8f, 0.05f, 0.05f, 1.1f, 3.0f, metal);
    column(m, 0, 0, 0.02f, 5.0f, 1.1f, 3.0f, lightGrey);
}

// Kind 30: the main grandstand: eight tiers under a cantilever roof, 24 long.
void grandstand(const Model& m)
{
    const float hz = 12;
    for (int i = 0; i < 8; ++i) column(m, -4.0f + 1.1f * i, 0, 0.55f, hz, -0.5f, 0.9f * (i + 1), concrete);
    column(m, 5.0f, 0, 0.3f, hz, -0.5f, 10.0f, brick);                              // back wall
    column(m, 0.5f, hz + 0.2f, 4.8f, 0.2f, -0.5f, 2.0f, brick);                      // end plinths
    column(m, 0.5f, -hz - 0.2f, 4.8f, 0.2f, -0.5f, 2.0f, brick);
    box(m, {0.2f, 10.2f, 0}, 5.4f, 0.2f, hz + 0.4f, roofBlue);                       // roof
    for (int k = 0; k < 5; ++k) column(m, 5.0f, -hz + k * hz / 2, 0.25f, 0.25f, 10.0f, 11.0f, metal);
    box(m, {-4.9f, 0.5f, 0}, 0.1f, 0.5f, hz, yellow);                               // front boards
    for (int k = 0; k < 13; ++k) {
        int tier = 1 + (k * 3) % 7;
        float z = -hz + 1.0f + 1.7f * k;
        box(m, {-4.0f + 1.1f * tier, 0.9f * (tier + 1) + 0.4f, z}, 0.3f, 0.4f, 0.3f, crowd[k % 5]);
    }
    for (int s = -1; s <= 1; s += 2) {
        float z = s * (hz + 0.4f);
        tri(m, {-4.6f, 0.9f, z}, {5.3f, 0.9f, z}, {5.3f, 10.0f, z}, brick);         // end walls
        tri(m, {-4.6f, 0.9f, z}, {5.3f, 10.0f, z}, {-4.6f, 7.2f, z}, brick);
    }
    for (int k = 0; k < 5; ++k) {
        float z = -hz + k * hz / 2;
        tri(m, {5.0f, 8.0f, z}, {5.0f, 10.0f, z}, {1.0f, 10.0f, z}, metal);          // roof brackets
        tri(m, {5.0f, 11.0f, z}, {5.0f, 12.2f, z}, {6.2f, 11.6f, z}, crowd[k]);      // pennants
    }
    shadowRect(m, 0.2f, 0, 5.4f, hz + 0.4f, 10.2f);
}

// Kind 32: a shipping container.
void container(const Model& m)
{
    column(m, 0, 0, 1.25f, 3.05f, -0.3f, 2.6f, brick);
    box(m, {0, 2.62f, 0}, 1.27f, 0.06f, 3.07f, metal);
    box(m, {0, 1.15f, 3.08f}, 1.2f, 1.2f, 0.05f, roofBlue);                           // doors
}

using ModelRoutine = void (*)(const Model&);

const ModelRoutine models[objectKindCount] = {
    nullptr, block,  block,    block,  tree,   smallTree, bush,    lamp,       flag,   rock,       stone,
    garage,  building, shed,   stand,  hut,    sign,      house,   tower,      pine,   bigTree,    barrier,
    fence,   gate,   barrel,   tyres,  pole,   kiosk,     cabin,   pitWall,    grandstand, nullptr, container,
};

Model placed(const TrackObject& o, ModelCounts* counts)
{
    Vec3 f = o.direction;
    Vec3 origin{o.position.x, terrainHeight(o.position.x, o.position.z), o.position.z};
    return {origin, Vec3{f.z, 0, -f.x}, f, counts};
}

}  // namespace

void drawTrackObject(const TrackObject& o)
{
    if (o.kind >= objectKindCount || !models[o.kind]) return;
    models[o.kind](placed(o, nullptr));
}

void drawTrackObjects()
{
    if (!game.trackObjects) return;
    for (int i = 0; i < game.objectCount; ++i) drawTrackObject(game.trackObjects[i]);
}

ModelCounts modelPrimitiveCounts(int kind)
{
    ModelCounts c;
    if (kind < 0 || kind >= objectKindCount || !models[kind]) return c;
    Model m{{}, {0, 0, -1}, {1, 0, 0}, &c};
    models[kind](m);
    return c;
}
