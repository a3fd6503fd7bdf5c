#include "render/scene_raster.h"

#include "state/game_state.h"
#include "render/ground_colours.h"
#include "render/raster.h"
#include "state/random_table.h"
#include "track/surface_map.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

SpanMode currentMode = spanFlat;

constexpr float nearest = 0.0001f;
constexpr int32_t farthestDrawn = 0xFFFE;  // 0xFFFF stays "nothing drawn here"

struct SceneTarget {
    uint8_t* pixels;
    int pitch, width, height;
    uint16_t* depth;
    uint8_t* shade;
};

bool sceneTarget(SceneTarget& t)
{
    if (!game.pixelBase || !game.lockedSurface || !game.depthImage || !game.shadeImage) return false;
    t.pixels = game.pixelBase;
    t.pitch = game.pixelPitch;
    t.width = game.lockedSurface->w;
    t.height = game.lockedSurface->h;
    if (game.sceneWidth != t.width || game.sceneHeight != t.height) return false;
    t.depth = game.depthImage;
    t.shade = game.shadeImage;
    return true;
}

// Set by drawTriangle3D for the span routines of its rows.
SceneTarget rowTarget;

inline int32_t depthOf(float q)
{
    float z = 1.0f / q;
    if (!(z < float(farthestDrawn) * depthUnit)) return farthestDrawn;
    return int32_t(z / depthUnit);
}

// Walks the covered pixel centres of a span: calls pixel(x, q, rq) for x in [ceil(l), ceil(r)).
template <class Pixel>
void walkSpan(const SpanEdge& l, const SpanEdge& r, int width, Pixel pixel)
{
    float dx = r.x - l.x;
    if (!(dx > 0) || !std::isfinite(l.x) || !std::isfinite(r.x)) return;
    // Clamped before the conversions: an end may lie far beyond the integer range.
    int x0 = int(std::ceil(std::clamp(l.x, 0.0f, float(width))));
    int x1 = int(std::ceil(std::clamp(r.x, 0.0f, float(width))));  // exclusive
    if (x0 >= x1) return;
    float inv = 1.0f / dx;
    float dq = (r.q - l.q) * inv;
    Vec3 drq = (r.rq - l.rq) * inv;
    float t = float(x0) - l.x;
    float q = l.q + dq * t;
    Vec3 rq = l.rq + drq * t;
    for (int x = x0; x < x1; ++x, q += dq, rq = rq + drq) pixel(x, q, rq);
}

}  // namespace

void setSpanMode(SpanMode mode)
{
    currentMode = mode ? mode : spanFlat;
}

void spanTerrain(int row, const SpanEdge& left, const SpanEdge& right, const SpanStyle& style)
{
    const SceneTarget& t = rowTarget;
    uint8_t* line = t.pixels + size_t(row) * t.pitch;
    uint16_t* depth = t.depth + size_t(row) * t.width;
    uint8_t* shade = t.shade + size_t(row) * t.width;
    const GroundColours& g = groundColours();
    const float* noise = game.randomTable;
    const uint8_t* map = game.surfaceMap;
    float toCell = game.surfaceCell > 0 ? 1.0f / game.surfaceCell : 0.0f;
    Vec3 eye = game.cameraPosition;
    float light = style.light;  // a copy, which the byte stores below cannot be taken to change
    walkSpan(left, right, t.width, [&](int x, float q, Vec3 rq) {
        int32_t d = depthOf(q);
        if (d >= depth[x]) return;
        float z = 1.0f / q;
        int cx = std::clamp(int((eye.x + rq.x * z) * toCell), 0, surfaceMapSide - 1);
        int cz = std::clamp(int((eye.z + rq.z * z) * toCell), 0, surfaceMapSide - 1);
        uint8_t v = map ? map[cz * surfaceMapSide + cx] : surfaceUnset;
        if (v >= groundValueCount) v = groundValueCount - 1;
        // Filled only when a pixel needs it, as groundNoise does: filling draws on rand().
        if (!noise) fillRandomTable(), noise = game.randomTable;
        depth[x] = uint16_t(d);
        line[x] = groundShadeWith(g, v, light, groundNoiseIn(noise, x, row));
        shade[x] = g.shadow[v];
    });
}

void spanFlat(int row, const SpanEdge& left, const SpanEdge& right, const SpanStyle& style)
{
    const SceneTarget& t = rowTarget;
    uint8_t* line = t.pixels + size_t(row) * t.pitch;
    uint16_t* depth = t.depth + size_t(row) * t.width;
    uint8_t* shade = t.shade + size_t(row) * t.width;
    uint8_t dark = darkerShade(style.colour);
    walkSpan(left, right, t.width, [&](int x, float q, Vec3) {
        int32_t d = depthOf(q);
        if (d >= depth[x]) return;
        depth[x] = uint16_t(d);
        line[x] = style.colour;
        shade[x] = dark;
    });
}

void spanWater(int row, const SpanEdge& left, const SpanEdge& right, const SpanStyle&)
{
    const SceneTarget& t = rowTarget;
    uint8_t* line = t.pixels + size_t(row) * t.pitch;
    const uint16_t* depth = t.depth + size_t(row) * t.width;
    uint8_t* shade = t.shade + size_t(row) * t.width;
    // waterShade of every colour, from waterShade itself, so that water costs a lookup a pixel.
    static const std::array<uint8_t, 256> tint = [] {
        std::array<uint8_t, 256> a{};
        for (int c = 0; c < 256; ++c) a[size_t(c)] = waterShade(uint8_t(c));
        return a;
    }();
    walkSpan(left, right, t.width, [&](int x, float q, Vec3) {
        if (depthOf(q) >= depth[x]) return;
        line[x] = tint[line[x]];
        shade[x] = tint[shade[x]];
    });
}

bool sceneVertex(const Vec3& world, SceneVertex& out)
{
    ScreenPoint p;
    if (!projectPoint(game.cameraPosition, game.cameraMatrix, world, p)) return false;
    out.x = p.x, out.y = p.y, out.z = p.z;
    out.rel = world - game.cameraPosition;
    return true;
}

namespace {

SpanEdge edgeAt(const SceneVertex& a, const SceneVertex& b, float y)
{
    float t = (y - a.y) / (b.y - a.y);
    float qa = 1.0f / a.z, qb = 1.0f / b.z;
    Vec3 ra = a.rel * qa, rb = b.rel * qb;
    return {a.x + (b.x - a.x) * t, qa + (qb - qa) * t, ra + (rb - ra) * t};
}

}  // namespace

void drawTriangle3D(const SceneVertex& v0, const SceneVertex& v1, const SceneVertex& v2, uint8_t colour)
{
    for (const SceneVertex* v : {&v0, &v1, &v2})
        if (!(v->z > nearest) || !std::isfinite(v->x) || !std::isfinite(v->y)) return;
    if (!sceneTarget(rowTarget)) return;
    Vec3 normal = cross(v1.rel - v0.rel, v2.rel - v0.rel);
    if (normal.y < 0) normal = normal * -1.0f;
    SpanStyle style{colour, lightFactor(normal)};

    const SceneVertex* a = &v0;
    const SceneVertex* b = &v1;
    const SceneVertex* c = &v2;
    if (a->y > b->y) std::swap(a, b);
    if (b->y > c->y) std::swap(b, c);
    if (a->y > b->y) std::swap(a, b);
    if (!(c->y > a->y)) return;
    // Rows whose pixel centres lie in [top, bottom), as the moving things' triangles cover them.
    float bottom = float(rowTarget.height);
    int row = int(std::ceil(std::clamp(a->y, 0.0f, bottom)));
    int end = int(std::ceil(std::clamp(c->y, 0.0f, bottom)));
    SpanMode mode = currentMode;
    for (; row < end; ++row) {
        float y = float(row);
        SpanEdge l = edgeAt(*a, *c, y);
        SpanEdge r = y < b->y ? edgeAt(*a, *b, y) : (c->y > b->y ? edgeAt(*b, *c, y) : edgeAt(*a, *b, b->y));
        if (l.x > r.x) std::swap(l, r);
        mode(row, l, r, style);
    }
}

void drawBox(const Vec3& centre, const Vec3& hx, const Vec3& hy, const Vec3& hz, uint8_t colour)
{
    // Corner k has +hx when bit 0 is set, +hy for bit 1, +hz for bit 2.
    SceneVertex v[8];
    for (int k = 0; k < 8; ++k) {
        Vec3 p = centre + hx * ((k & 1) ? 1.0f : -1.0f) + hy * ((k & 2) ? 1.0f : -1.0f) + hz * ((k & 4) ? 1.0f : -1.0f);
        if (!sceneVertex(p, v[k])) return;
    }
    struct Face {
        int corners[4];  // around the face
        int axis, sign;
    };
    static const Face faces[6] = {
        {{1, 3, 7, 5}, 0, 1}, {{0, 4, 6, 2}, 0, -1}, {{2, 6, 7, 3}, 1, 1},
        {{0, 1, 5, 4}, 1, -1}, {{4, 5, 7, 6}, 2, 1}, {{0, 2, 3, 1}, 2, -1},
    };
    const Vec3 axes[3] = {hx, hy, hz};
    for (const Face& f : faces) {
        Vec3 normal = axes[f.axis] * float(f.sign);
        Vec3 faceCentre = centre + normal - game.cameraPosition;
        if (dot(faceCentre, normal) >= 0) continue;  // turned away from the camera
        uint8_t shade = faceShade(colour, normal);
        const SceneVertex& p0 = v[f.corners[0]];
        drawTriangle3D(p0, v[f.corners[1]], v[f.corners[2]], shade);
        drawTriangle3D(p0, v[f.corners[2]], v[f.corners[3]], shade);
    }
}
