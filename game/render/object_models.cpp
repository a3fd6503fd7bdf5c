#include "render/object_models.h"

#include "state/game_state.h"
#include "render/ground_colours.h"
#include "render/raster.h"
#include "render/scene_raster.h"
#include "state/object_sizes.h"
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

// The solid parts of the kinds, from the size table the collisions read as well.
void column(const Model& m, const ObjectBlock& b, uint8_t colour)
{
    column(m, b.x, b.z, b.hx, b.hz, b.y0, b.y1, colour, b.turn);
}

void box(const Model& m, const ObjectBox& b, uint8_t colour)
{
    box(m, {b.x, b.y, b.z}, b.hx, b.hy, b.hz, colour);
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
void block(const Model& m) { column(m, objectSizes(1).blocks[0], concrete); }

// Kind 4: trunk to the crown, an eight-faced crown of radius 4 at 12.
void tree(const Model& m)
{
    const ObjectSizes& s = objectSizes(4);
    float trunk = s.post.radius, y = s.balls[0].y, c = s.balls[0].radius;
    column(m, 0, 0, trunk, trunk, -0.5f, 9.0f, wood);
    Local top{0, y + c, 0}, bottom{0, y - c, 0};
    Local r[4] = {{c, y, 0}, {0, y, c}, {-c, y, 0}, {0, y, -c}};
    for (int i = 0; i < 4; ++i) {
        tri(m, top, r[i], r[(i + 1) % 4], foliage);
        tri(m, bottom, r[i], r[(i + 1) % 4], foliage);
    }
    for (int i = 0; i < 4; ++i) shadow(m, {0, 0, y}, {r[i].x, r[i].z, y}, {r[(i + 1) % 4].x, r[(i + 1) % 4].z, y});
}

// Kind 5: a smaller tree, its crown of two crossed faces around 10.
void smallTree(const Model& m)
{
    const ObjectSizes& s = objectSizes(5);
    float trunk = s.post.radius, y = s.balls[0].y, c = s.balls[0].radius;
    column(m, 0, 0, trunk, trunk, -0.5f, 7.0f, wood);
    tri(m, {-c, y - c, 0}, {c, y - c, 0}, {0, y + c, 0}, foliage);
    tri(m, {0, y - c, -c}, {0, y - c, c}, {0, y + c, 0}, foliage);
    shadow(m, {0, 3.5f, y}, {-3.5f, -2, y}, {3.5f, -2, y});
}

// Kind 6: a bush of radius 3.
void bush(const Model& m)
{
    float c = objectSizes(6).balls[0].radius;
    tri(m, {-c, -0.3f, 0}, {c, -0.3f, 0}, {0, 3.5f, 0}, bushGreen);
    tri(m, {0, -0.3f, -c}, {0, -0.3f, c}, {0, 3.5f, 0}, bushGreen);
    shadow(m, {0, 2.5f, 1.5f}, {-2.5f, -1.5f, 1.5f}, {2.5f, -1.5f, 1.5f});
}

// Kind 7: a lamp post 5 high with its shade on top.
void lamp(const Model& m)
{
    const ObjectPost& p = objectSizes(7).post;
    column(m, 0, 0, p.radius, p.radius, -0.3f, p.top, metal);
    Local apex{0, 5.4f, 0};
    Local r[3] = {ring(0.55f, 0, 4.8f), ring(0.55f, 2.0944f, 4.8f), ring(0.55f, 4.1888f, 4.8f)};
    for (int i = 0; i < 3; ++i) tri(m, apex, r[i], r[(i + 1) % 3], yellow);
}

// Kind 8: a flag on a pole 5 high.
void flag(const Model& m)
{
    const ObjectPost& p = objectSizes(8).post;
    column(m, 0, 0, p.radius, p.radius, -0.3f, p.top, lightGrey);
    box(m, {0.75f, 4.4f, 0}, 0.6f, 0.4f, 0.03f, red);
    shadowPole(m, 0, 0, 0.12f, p.top);
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
    const ObjectSizes& s = objectSizes(11);
    column(m, s.blocks[0], concrete);  // back wall
    column(m, s.blocks[1], concrete);  // end walls
    column(m, s.blocks[2], concrete);
    box(m, s.boxes[0], metal);         // roof
    box(m, s.boxes[1], brick);         // lintel over the opening
    column(m, s.blocks[3], darkGrey);  // floor
    box(m, s.boxes[2], yellow);        // name board
}

// Kind 12: a three-storey building with a pitched roof.
void building(const Model& m)
{
    const ObjectSizes& s = objectSizes(12);
    const float hx = s.blocks[0].hx, hz = s.blocks[0].hz, h = s.blocks[0].y1;
    column(m, s.blocks[0], brick);
    for (int k = 0; k < 8; ++k) box(m, s.boxes[k], roofBlue);    // windows
    column(m, s.blocks[1], brick);                                 // chimney
    box(m, s.boxes[8], wood);                                      // entrance
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
    const ObjectSizes& s = objectSizes(13);
    column(m, s.blocks[0], wood);
    box(m, s.boxes[0], roofBlue);
    box(m, s.boxes[1], darkGrey);  // door
    box(m, s.boxes[2], yellow);    // lit window
}

const uint8_t crowd[5] = {purple, teal, yellow, red, orange};

// Kind 14: a spectator stand of six tiers under a roof, 20 long.
void stand(const Model& m)
{
    const ObjectSizes& s = objectSizes(14);
    for (int i = 0; i < 6; ++i) column(m, s.blocks[i], concrete);  // tiers
    column(m, s.blocks[6], concrete);                              // back wall
    for (int k = 0; k < 4; ++k) column(m, s.blocks[7 + k], metal);
    const ObjectBox& roof = s.boxes[0];
    box(m, roof, metal);
    for (int k = 0; k < 12; ++k) box(m, s.boxes[1 + k], crowd[k % 5]);
    shadowRect(m, roof.x, roof.z, roof.hx, roof.hz, s.blocks[6].y1);
}

// Kind 15: a round hut with a cone roof.
void hut(const Model& m)
{
    const ObjectSizes& s = objectSizes(15);
    column(m, s.blocks[0], tan);
    column(m, s.blocks[1], tan);
    column(m, s.blocks[2], wood);      // door
    column(m, s.blocks[3], darkGrey);  // footing
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
    const ObjectBlock& b = objectSizes(16).blocks[0];
    column(m, b, teal);
    float w = b.hx, l = b.hz, h = b.y1;
    shadow(m, {-w, -l, 0}, {w, -l, 0}, {0, -l, h});
    shadow(m, {-w, -l, 0}, {0, l, h}, {0, -l, h});
    shadow(m, {-w, -l, 0}, {w, l, 0}, {0, l, h});
    shadow(m, {-w, -l, 0}, {-w, l, 0}, {0, l, h});
}

// Kind 17: a house with a tiled roof.
void house(const Model& m)
{
    const ObjectSizes& parts = objectSizes(17);
    const float hx = parts.blocks[0].hx, hz = parts.blocks[0].hz, h = parts.blocks[0].y1;
    column(m, parts.blocks[0], tan);
    // Each roof slope a thin slab tilted from the eaves to the ridge.
    float run = hx + 0.4f, rise = 2.6f, thick = 0.1f / std::sqrt(run * run + rise * rise);
    for (int s = -1; s <= 1; s += 2)
        slab(m, {s * run / 2, h + rise / 2, 0}, {-s * run / 2, rise / 2, 0}, {s * rise * thick, run * thick, 0},
             {0, 0, hz + 0.4f}, brick);
    column(m, parts.blocks[1], brick);  // chimney
    box(m, parts.boxes[0], wood);       // door
    box(m, parts.boxes[1], roofBlue);
    box(m, parts.boxes[2], roofBlue);
    tri(m, {-hx, h, -hz}, {hx, h, -hz}, {0, h + 2.4f, -hz}, tan);    // gables
    tri(m, {-hx, h, hz}, {hx, h, hz}, {0, h + 2.4f, hz}, tan);
    shadowRect(m, 0, 0, hx, hz, h);
    shadowRect(m, 0, 0, 1.5f, hz, h + 2.6f);
}

// Kind 18: a timing tower on four legs.
void tower(const Model& m)
{
    const ObjectSizes& s = objectSizes(18);
    for (int k = 0; k < 4; ++k) column(m, s.blocks[k], metal);  // legs
    column(m, s.blocks[4], concrete);                            // cabin
    box(m, s.boxes[0], roofBlue);                                // window
    box(m, s.boxes[1], roofBlue);                                // roof
    for (int s = -1; s <= 1; s += 2)
        slab(m, {0, 4.5f, s * 1.8f}, {1.8f, 3.0f, 0}, {0.1f, -0.06f, 0}, {0, 0, 0.08f}, metal);  // cross braces
    column(m, s.blocks[5], lightGrey);                                          // mast
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
    const ObjectSizes& s = objectSizes(19);
    float trunk = s.post.radius, high = s.balls[0].radius, low = s.balls[1].radius;
    column(m, 0, 0, trunk, trunk, -0.5f, 12.0f, wood);
    tri(m, {-low, 1.5f, 0}, {low, 1.5f, 0}, {0, 12, 0}, foliage);
    tri(m, {0, 1.5f, -low}, {0, 1.5f, low}, {0, 12, 0}, foliage);
    tri(m, {-high, 9, 0}, {high, 9, 0}, {0, s.balls[0].y + high, 0}, foliage);
    tri(m, {0, 9, -high}, {0, 9, high}, {0, s.balls[0].y + high, 0}, foliage);
    shadow(m, {-4.5f, 0, 2}, {4.5f, 0, 2}, {0, 0, 12});
    shadow(m, {-3.5f, 0, 9}, {3.5f, 0, 9}, {0, 0, 19});
}

// Kind 20: a broad tree, its crown of radius 5 at 12.
void bigTree(const Model& m)
{
    const ObjectBall& crown = objectSizes(20).balls[0];
    float y = crown.y, c = crown.radius;
    column(m, 0, 0, 0.35f, 0.35f, -0.5f, 9.0f, wood);
    tri(m, {-c, y, 0}, {c, y, 0}, {0, y + c, 0}, foliage);
    tri(m, {-c, y, 0}, {c, y, 0}, {0, y - c, 0}, foliage);
    tri(m, {0, y, -c}, {0, y, c}, {0, y + c, 0}, foliage);
    tri(m, {0, y, -c}, {0, y, c}, {0, y - c, 0}, foliage);
    shadow(m, {-c, 0, y}, {0, -c, y}, {c, 0, y});
    shadow(m, {-c, 0, y}, {c, 0, y}, {0, c, y});
}

// Kind 21: a crash barrier of two rails on three posts, 8 long.
void barrier(const Model& m)
{
    const ObjectSizes& s = objectSizes(21);
    for (int k = 0; k < 3; ++k) column(m, s.blocks[k], metal);
    box(m, s.boxes[0], lightGrey);
    box(m, s.boxes[1], red);
    shadowRect(m, 0, 0, 0.06f, 4.0f, 0.8f);
}

// Kind 22: a fence panel 8 long and 2 high.
void fence(const Model& m)
{
    const ObjectSizes& s = objectSizes(22);
    const ObjectBlock& panel = s.blocks[0];
    column(m, panel, lightGrey);
    box(m, s.boxes[0], metal);
    float l = panel.hz, h = panel.y1;
    shadow(m, {0, -l, 0}, {0, l, 0}, {0, l, h});
    shadow(m, {0, -l, 0}, {0, l, h}, {0, -l, h});
}

// Kind 23: a gantry across the road, 15 wide and 6 high.
void gate(const Model& m)
{
    const ObjectSizes& s = objectSizes(23);
    column(m, s.blocks[0], metal);
    column(m, s.blocks[1], metal);
    const ObjectBox& beam = s.boxes[0];
    box(m, beam, metal);
    box(m, s.boxes[1], purple);
    shadowRect(m, beam.x, beam.z, beam.hx, beam.hz, beam.y);
}

// Kind 24: a barrel of radius 0.7, 1.7 high.
void barrel(const Model& m)
{
    float top = objectSizes(24).post.top;
    column(m, 0, 0, 0.6f, 0.6f, -0.2f, top, orange);
    column(m, 0, 0, 0.6f, 0.6f, -0.2f, top, orange, pi / 4);
    column(m, 0, 0, 0.64f, 0.64f, 0.95f, 1.2f, white, pi / 8);
}

// Kind 25: a stack of tyres of radius 0.7, 1.7 high.
void tyres(const Model& m)
{
    float top = objectSizes(25).post.top;
    for (int i = 0; i < 10; ++i) {
        float a0 = i * pi / 5, a1 = (i + 1) * pi / 5;
        Local b0 = ring(0.72f, a0, -0.2f), b1 = ring(0.72f, a1, -0.2f), t0 = ring(0.72f, a0, top), t1 = ring(0.72f, a1, top);
        tri(m, b0, b1, t1, rubber);
        tri(m, b0, t1, t0, rubber);
    }
    column(m, 0, 0, 0.5f, 0.5f, 1.0f, 1.72f, darkGrey, pi / 10);
}

// Kind 26: a striped marker pole 5 high.
void pole(const Model& m)
{
    float top = objectSizes(26).post.top, band = top / 4;
    for (int k = 0; k < 4; ++k) column(m, 0, 0, 0.18f, 0.18f, k ? band * k : -0.3f, band * (k + 1), (k & 1) ? white : red);
    shadowPole(m, 0, 0, 0.15f, top);
}

// Kind 27: a kiosk.
void kiosk(const Model& m)
{
    const ObjectSizes& s = objectSizes(27);
    column(m, s.blocks[0], teal);
    box(m, s.boxes[0], orange);
    box(m, s.boxes[1], wood);    // counter
    box(m, s.boxes[2], yellow);  // sign
}

// Kind 28: a log cabin.
void cabin(const Model& m)
{
    const ObjectSizes& s = objectSizes(28);
    column(m, s.blocks[0], wood);
    box(m, s.boxes[0], roofBlue);
    column(m, s.blocks[1], brick);
}

// Kind 29: a pit wall with its fence, 10 long.
void pitWall(const Model& m)
{
    const ObjectSizes& s = objectSizes(29);
    column(m, s.blocks[0], concrete);
    for (int k = 1; k <= 3; ++k) column(m, s.blocks[k], metal);
    column(m, s.blocks[4], lightGrey);
}

// Kind 30: the main grandstand: eight tiers under a cantilever roof, 24 long.
void grandstand(const Model& m)
{
    const ObjectSizes& parts = objectSizes(30);
    const float hz = parts.blocks[0].hz;
    for (int i = 0; i < 8; ++i) column(m, parts.blocks[i], concrete);  // tiers
    column(m, parts.blocks[8], brick);                                 // back wall
    column(m, parts.blocks[9], brick);                                 // end plinths
    column(m, parts.blocks[10], brick);
    box(m, parts.boxes[0], roofBlue);                                  // roof
    for (int k = 0; k < 5; ++k) column(m, parts.blocks[11 + k], metal);
    box(m, parts.boxes[1], yellow);                                    // front boards
    for (int k = 0; k < 13; ++k) box(m, parts.boxes[2 + k], crowd[k % 5]);
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
    const ObjectBox& roof = parts.boxes[0];
    shadowRect(m, roof.x, roof.z, roof.hx, roof.hz, roof.y);
}

// Kind 32: a shipping container.
void container(const Model& m)
{
    const ObjectSizes& s = objectSizes(32);
    column(m, s.blocks[0], brick);
    box(m, s.boxes[0], metal);
    box(m, s.boxes[1], roofBlue);  // doors
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
