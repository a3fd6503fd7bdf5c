#include "render/scene_raster.h"

#include "state/game_state.h"
#include "render/ground_colours.h"
#include "render/raster.h"
#include "state/random_table.h"
#include "track/surface_map.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <type_traits>

// The spans four pixels at a time where SSE2 is part of the processor's baseline (x86-64).
#if defined(__SSE2__)
#define TM_SPANS_SSE2 1
#include <emmintrin.h>
#else
#define TM_SPANS_SSE2 0
#endif

namespace {

SpanMode currentMode = spanFlat;

constexpr float nearest = 0.0001f;
constexpr int32_t farthestDrawn = 0xFFFE;  // 0xFFFF stays "nothing drawn here"

struct SceneTarget {
    uint8_t* pixels;
    int pitch, width, height;
    uint16_t* depth;
    uint8_t* shade;
    // For the terrain's spans, worked out once a triangle rather than once a span.
    const GroundColours* colours;
    float toCell;  // surface map cells per world unit
#if TM_SPANS_SSE2
    __m128 eyeX4, eyeZ4, toCell4;  // the eye and toCell in four lanes, set a triangle rather than a span
#endif
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
    t.colours = &groundColours();
    t.toCell = game.surfaceCell > 0 ? 1.0f / game.surfaceCell : 0.0f;
#if TM_SPANS_SSE2
    t.eyeX4 = _mm_set1_ps(game.cameraPosition.x), t.eyeZ4 = _mm_set1_ps(game.cameraPosition.z);
    t.toCell4 = _mm_set1_ps(t.toCell);
#endif
    return true;
}

// Set by drawTriangle3D for the span routines of its rows.
SceneTarget rowTarget;

// A row of the locked surface and of the two scene images.
struct ImageRow {
    uint8_t* line;
    uint16_t* depth;
    uint8_t* shade;
};

inline ImageRow imageRow(int row)
{
    const SceneTarget& t = rowTarget;
    return {t.pixels + size_t(row) * t.pitch, t.depth + size_t(row) * t.width, t.shade + size_t(row) * t.width};
}

inline int32_t depthOf(float q)
{
    float z = 1.0f / q;
    if (!(z < float(farthestDrawn) * depthUnit)) return farthestDrawn;
    return int32_t(z / depthUnit);
}

// int(std::ceil(v)) for v clamped to [0, limit]: there the truncation is the floor, and the
// library's ceil, without SSE4.1, a long sequence a span.
inline int ceilWithin(float v, int limit)
{
    v = std::clamp(v, 0.0f, float(limit));
    int whole = int(v);
    return whole + (float(whole) < v);
}

// A span's covered pixel centres [x0, x1), and q and rq at the first with their steps.
struct SpanWalk {
    int x0, x1;
    float q, dq;
    Vec3 rq, drq;
};

inline bool startSpan(const SpanEdge& l, const SpanEdge& r, int width, SpanWalk& w)
{
    float dx = r.x - l.x;
    if (!(dx > 0) || !std::isfinite(l.x) || !std::isfinite(r.x)) return false;
    // Clamped before the conversions: an end may lie far beyond the integer range.
    w.x0 = ceilWithin(l.x, width);
    w.x1 = ceilWithin(r.x, width);  // exclusive
    if (w.x0 >= w.x1) return false;
    float inv = 1.0f / dx;
    w.dq = (r.q - l.q) * inv;
    w.drq = (r.rq - l.rq) * inv;
    float t = float(w.x0) - l.x;
    w.q = l.q + w.dq * t;
    w.rq = l.rq + w.drq * t;
    return true;
}

// Calls pixel(x, q, rq) for each covered pixel centre of a span, left to right.
template <class Pixel>
void walkSpan(const SpanEdge& l, const SpanEdge& r, int width, Pixel pixel)
{
    SpanWalk w;
    if (!startSpan(l, r, width, w)) return;
    float q = w.q;
    Vec3 rq = w.rq;
    for (int x = w.x0; x < w.x1; ++x, q += w.dq, rq = rq + w.drq) pixel(x, q, rq);
}

#if TM_SPANS_SSE2
// A group of four pixels that all lie in the span: its count known where the group is made.
using WholeGroup = std::integral_constant<int, 4>;

// Four pixels a step: group(x, count, q, rqx, rqz) gets pixels x .. x + 3 in the lanes, of which
// the first count lie in the span (a WholeGroup but for the span's last few). The running sums
// are the plain walk's, added pixel after pixel, one lane per sum, then turned into one lane per
// pixel; so each lane holds the bits the plain walk has at that pixel.
template <class Group>
void walkSpan4(const SpanEdge& l, const SpanEdge& r, int width, Group group)
{
    SpanWalk w;
    if (!startSpan(l, r, width, w)) return;
    __m128 sum = _mm_setr_ps(w.q, w.rq.x, w.rq.y, w.rq.z);
    const __m128 step = _mm_setr_ps(w.dq, w.drq.x, w.drq.y, w.drq.z);
    auto next = [&](__m128& p0, __m128& p1, __m128& p3) {
        p0 = sum, p1 = _mm_add_ps(p0, step);
        __m128 p2 = _mm_add_ps(p1, step);
        p3 = _mm_add_ps(p2, step);
        sum = _mm_add_ps(p3, step);
        _MM_TRANSPOSE4_PS(p0, p1, p2, p3);
    };
    __m128 q, rqx, rqz;
    int x = w.x0;
    for (; w.x1 - x >= 4; x += 4) {
        next(q, rqx, rqz);
        group(x, WholeGroup{}, q, rqx, rqz);
    }
    if (x < w.x1) {
        next(q, rqx, rqz);
        group(x, w.x1 - x, q, rqx, rqz);
    }
}

// Float constants as whole vectors in memory, taken by the instructions as operands: written
// as _mm_set1_ps inside the group loops, GCC broadcasts each from a scalar again every group.
struct alignas(16) Four {
    float lane[4];
    operator __m128() const { return _mm_load_ps(lane); }
};
constexpr Four four(float v) { return {{v, v, v, v}}; }
constexpr Four one4 = four(1.0f), depthUnit4 = four(depthUnit), farthest4 = four(float(farthestDrawn) * depthUnit);
constexpr Four half4 = four(0.5f), minusHalf4 = four(-0.5f), grainScale4 = four(1.5f);
constexpr Four roundable4 = four(8388608.0f), minusRoundable4 = four(-8388608.0f);

// depthOf in four lanes, and z = 1 / q beside it. cvttps gives what the scalar conversion
// gives, and the lanes the test sends to farthestDrawn never reach it.
inline __m128i depthOf4(__m128 q, __m128& z)
{
    z = _mm_div_ps(one4, q);
    __m128i d = _mm_cvttps_epi32(_mm_div_ps(z, depthUnit4));
    __m128i near = _mm_castps_si128(_mm_cmplt_ps(z, farthest4));
    return _mm_or_si128(_mm_and_si128(near, d), _mm_andnot_si128(near, _mm_set1_epi32(farthestDrawn)));
}

// Bit k set when pixel x + k lies in the span and d's lane k is nearer than the depth image.
inline int nearerMask(__m128i d, const uint16_t* depth, int x, int count, int width)
{
    __m128i held;
    if (count == 4 || x + 4 <= width) {  // a span lies inside its row
        held = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(depth + x));
    } else {  // fewer than four left in the row, which may be the image's last: read no further
        held = _mm_setr_epi16(depth[x], count > 1 ? depth[x + 1] : 0, count > 2 ? depth[x + 2] : 0, 0, 0, 0, 0, 0);
    }
    held = _mm_unpacklo_epi16(held, _mm_setzero_si128());
    return _mm_movemask_ps(_mm_castsi128_ps(_mm_cmplt_epi32(d, held))) & ((1 << count) - 1);
}

// The surface map cells under four pixels: std::clamp(int(v), 0, surfaceMapSide - 1) of each
// coordinate, then z * surfaceMapSide + x. cvttps gives what the scalar conversion gives (INT_MIN
// for NaN and out-of-range values); packing to 16 bits saturates, which cannot move a value
// across the clamp's ends.
inline __m128i cellsOf4(__m128 x, __m128 z)
{
    static_assert(surfaceMapSide == 512, "the factors below");
    __m128i both = _mm_packs_epi32(_mm_cvttps_epi32(x), _mm_cvttps_epi32(z));  // x in 0-3, z in 4-7
    both = _mm_min_epi16(_mm_max_epi16(both, _mm_setzero_si128()), _mm_set1_epi16(surfaceMapSide - 1));
    __m128i pairs = _mm_unpacklo_epi16(both, _mm_unpackhi_epi64(both, both));  // x0 z0 x1 z1 ...
    return _mm_madd_epi16(pairs, _mm_set1_epi32(surfaceMapSide << 16 | 1));
}

// roundHalfAway in four lanes, for lanes inside +-2^23 (the caller takes the others singly).
inline __m128i roundHalfAway4(__m128 c)
{
    __m128i whole = _mm_cvttps_epi32(c);
    __m128 fraction = _mm_sub_ps(c, _mm_cvtepi32_ps(whole));
    __m128i up = _mm_castps_si128(_mm_cmpge_ps(fraction, half4));     // -1 where true
    __m128i down = _mm_castps_si128(_mm_cmple_ps(fraction, minusHalf4));
    return _mm_sub_epi32(_mm_add_epi32(whole, down), up);
}

// Writes, for the lanes in nearer, the depth d, the colour in byte k of bytes and the shadow
// colour in byte 4 + k. A group of four written whole goes without reading the images: a read
// of a line not in the cache would stall the pass.
inline void storeNearer(int nearer, int x, int count, __m128i d, __m128i bytes, uint16_t* depth, uint8_t* line,
                        uint8_t* shade)
{
    if (nearer == 15) {
        // The low 16 bits of d, as uint16_t(d) keeps them: sign-extended first so that the
        // pack cannot saturate.
        _mm_storel_epi64(reinterpret_cast<__m128i*>(depth + x), _mm_packs_epi32(_mm_srai_epi32(_mm_slli_epi32(d, 16), 16), d));
        int32_t colours = _mm_cvtsi128_si32(bytes), shadows = _mm_cvtsi128_si32(_mm_srli_si128(bytes, 4));
        std::memcpy(line + x, &colours, 4);
        std::memcpy(shade + x, &shadows, 4);
        return;
    }
    alignas(16) int32_t depths[4];
    alignas(16) uint8_t colours[16];
    _mm_store_si128(reinterpret_cast<__m128i*>(depths), d);
    _mm_store_si128(reinterpret_cast<__m128i*>(colours), bytes);
    for (int k = 0; k < count; ++k) {
        if (!(nearer >> k & 1)) continue;
        depth[x + k] = uint16_t(depths[k]);
        line[x + k] = colours[k];
        shade[x + k] = colours[4 + k];
    }
}
#endif

}  // namespace

void setSpanMode(SpanMode mode)
{
    currentMode = mode ? mode : spanFlat;
}

void spanTerrainPlain(int row, const SpanEdge& left, const SpanEdge& right, const SpanStyle& style)
{
    const SceneTarget& t = rowTarget;
    auto [line, depth, shade] = imageRow(row);
    const GroundColours& g = *t.colours;
    const float* noise = game.randomTable;
    const uint8_t* map = game.surfaceMap;
    float toCell = t.toCell;
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

void spanFlatPlain(int row, const SpanEdge& left, const SpanEdge& right, const SpanStyle& style)
{
    const SceneTarget& t = rowTarget;
    auto [line, depth, shade] = imageRow(row);
    uint8_t dark = darkerShade(style.colour);
    walkSpan(left, right, t.width, [&](int x, float q, Vec3) {
        int32_t d = depthOf(q);
        if (d >= depth[x]) return;
        depth[x] = uint16_t(d);
        line[x] = style.colour;
        shade[x] = dark;
    });
}

namespace {

// waterShade of every colour, from waterShade itself, so that water costs a lookup a pixel.
const std::array<uint8_t, 256>& waterTints()
{
    static const std::array<uint8_t, 256> tint = [] {
        std::array<uint8_t, 256> a{};
        for (int c = 0; c < 256; ++c) a[size_t(c)] = waterShade(uint8_t(c));
        return a;
    }();
    return tint;
}

}  // namespace

void spanWaterPlain(int row, const SpanEdge& left, const SpanEdge& right, const SpanStyle&)
{
    const SceneTarget& t = rowTarget;
    auto [line, depth, shade] = imageRow(row);
    const std::array<uint8_t, 256>& tint = waterTints();
    walkSpan(left, right, t.width, [&](int x, float q, Vec3) {
        if (depthOf(q) >= depth[x]) return;
        line[x] = tint[line[x]];
        shade[x] = tint[shade[x]];
    });
}

#if TM_SPANS_SSE2
void spanTerrain(int row, const SpanEdge& left, const SpanEdge& right, const SpanStyle& style)
{
    const SceneTarget& t = rowTarget;
    auto [line, depth, shade] = imageRow(row);
    const __m128 eyeX = t.eyeX4, eyeZ = t.eyeZ4, toCell4 = t.toCell4, light = _mm_set1_ps(style.light);
    const GroundColours& g = *t.colours;
    const float* noise = game.randomTable;
    const uint8_t* map = game.surfaceMap;
    if (!map) return spanTerrainPlain(row, left, right, style);  // none loaded: only in tests
    // The levels are colour indices (0 to 255, their differences within +-255) and the grain
    // lies in [0, 1) as fillRandomTable makes it: under a light of at most 1e4 (lightFactor
    // gives 0 to 1) every level lies far inside the +-2^23 that roundHalfAway4 takes.
    const bool boundedLevels = std::fabs(style.light) <= 1e4f;
    walkSpan4(left, right, t.width, [&](int x, auto count, __m128 q, __m128 rqx, __m128 rqz) {
        __m128 z;
        __m128i d = depthOf4(q, z);
        int nearer = nearerMask(d, depth, x, count, t.width);
        if (!nearer) return;
        // Filled only when a pixel needs it, as groundNoise does: filling draws on rand().
        if (!noise) fillRandomTable(), noise = game.randomTable;
        __m128i cell = cellsOf4(_mm_mul_ps(_mm_add_ps(eyeX, _mm_mul_ps(rqx, z)), toCell4),
                                _mm_mul_ps(_mm_add_ps(eyeZ, _mm_mul_ps(rqz, z)), toCell4));
        // Every lane: the cells are clamped to the map, so lanes past the span read inside it.
        auto levelsAt = [&](__m128i lanes) {
            const float* pair = g.levels[map[uint32_t(_mm_cvtsi128_si32(lanes))]];
            return _mm_castpd_ps(_mm_load_sd(reinterpret_cast<const double*>(pair)));
        };
        __m128 levels01 = _mm_movelh_ps(levelsAt(cell), levelsAt(_mm_shuffle_epi32(cell, 1)));
        __m128 levels23 = _mm_movelh_ps(levelsAt(_mm_shuffle_epi32(cell, 2)), levelsAt(_mm_shuffle_epi32(cell, 3)));
        __m128 lit = _mm_shuffle_ps(levels01, levels23, _MM_SHUFFLE(2, 0, 2, 0));
        __m128 toward = _mm_shuffle_ps(levels01, levels23, _MM_SHUFFLE(3, 1, 3, 1));
        __m128 grain = _mm_setr_ps(groundNoiseIn(noise, x, row), groundNoiseIn(noise, x + 1, row),
                                   groundNoiseIn(noise, x + 2, row), groundNoiseIn(noise, x + 3, row));
        // groundShadeWith's sum, in its order.
        __m128 c = _mm_add_ps(_mm_add_ps(lit, _mm_mul_ps(toward, light)),
                              _mm_mul_ps(_mm_sub_ps(grain, half4), grainScale4));
        __m128i rounded = roundHalfAway4(c);
        if (!boundedLevels) {
            __m128 inRange = _mm_and_ps(_mm_cmpgt_ps(c, minusRoundable4), _mm_cmplt_ps(c, roundable4));
            if ((_mm_movemask_ps(inRange) & nearer) != nearer) {
                alignas(16) float level[4];
                _mm_store_ps(level, c);
                rounded = _mm_setr_epi32(roundHalfAway(level[0]), roundHalfAway(level[1]), roundHalfAway(level[2]),
                                         roundHalfAway(level[3]));
            }
        }
        // The lit and the shadow index are small whole numbers, exact as floats and back. Packed
        // to 16 bits with saturation, which cannot move a value across the clamp's ends.
        __m128i litIndex = _mm_cvttps_epi32(lit), shadowIndex = _mm_cvttps_epi32(_mm_add_ps(lit, toward));
        __m128i bounds = _mm_packs_epi32(litIndex, shadowIndex);  // lit in 0-3, shadow in 4-7
        __m128i low = _mm_min_epi16(bounds, _mm_shuffle_epi32(bounds, 0x4E)), high = _mm_max_epi16(bounds, _mm_shuffle_epi32(bounds, 0x4E));
        __m128i colour16 = _mm_min_epi16(_mm_max_epi16(_mm_packs_epi32(rounded, rounded), low), high);
        // Bytes 0-3 the colours, 4-7 the shadow colours.
        __m128i bytes = _mm_packus_epi16(_mm_unpacklo_epi64(colour16, _mm_unpackhi_epi64(bounds, bounds)), _mm_setzero_si128());
        storeNearer(nearer, x, count, d, bytes, depth, line, shade);
    });
}

void spanFlat(int row, const SpanEdge& left, const SpanEdge& right, const SpanStyle& style)
{
    const SceneTarget& t = rowTarget;
    auto [line, depth, shade] = imageRow(row);
    const __m128i bytes = _mm_unpacklo_epi32(_mm_set1_epi8(char(style.colour)), _mm_set1_epi8(char(darkerShade(style.colour))));
    walkSpan4(left, right, t.width, [&](int x, auto count, __m128 q, __m128, __m128) {
        __m128 z;
        __m128i d = depthOf4(q, z);
        int nearer = nearerMask(d, depth, x, count, t.width);
        if (nearer) storeNearer(nearer, x, count, d, bytes, depth, line, shade);
    });
}

namespace {

constexpr int waterBlock = 16;

// The farthest of n depths; a whole block in two loads, the sign bit flipped so that the
// signed 16-bit maximum orders them as unsigned.
inline uint16_t farthestOf(const uint16_t* depth, int n)
{
    if (n != waterBlock) {
        uint16_t farthest = 0;
        for (int k = 0; k < n; ++k) farthest = std::max(farthest, depth[k]);
        return farthest;
    }
    const __m128i flip = _mm_set1_epi16(int16_t(0x8000));
    __m128i m = _mm_max_epi16(_mm_xor_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(depth)), flip),
                              _mm_xor_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(depth + 8)), flip));
    m = _mm_max_epi16(m, _mm_shuffle_epi32(m, 0x4E));
    m = _mm_max_epi16(m, _mm_shuffle_epi32(m, 0xB1));
    m = _mm_max_epi16(m, _mm_shufflelo_epi16(m, 0xB1));
    return uint16_t(_mm_cvtsi128_si32(m) ^ 0x8000);
}

}  // namespace

void spanWater(int row, const SpanEdge& left, const SpanEdge& right, const SpanStyle&)
{
    const SceneTarget& t = rowTarget;
    auto [line, depth, shade] = imageRow(row);
    const std::array<uint8_t, 256>& tint = waterTints();
    SpanWalk w;
    if (!startSpan(left, right, t.width, w)) return;
    // The plane lies mostly under the ground, and its rows are long: blocks of pixels that
    // cannot show it are passed over on a bound. Along a span q is monotonic (the running sum
    // adds one step of one sign; rounding is monotonic), and so, while q stays above 0, is
    // depthOf(q): the nearer end of a block bounds all of it.
    alignas(16) float qs[waterBlock];
    float q = w.q;
    for (int x = w.x0; x < w.x1; x += waterBlock) {
        int n = std::min(waterBlock, w.x1 - x);
        // The running sum through the block, held at its ends only: most blocks are passed over.
        float first = q, last = q;
        if (n == waterBlock) {
#pragma GCC unroll 16
            for (int k = 1; k < waterBlock; ++k) last += w.dq;
        } else {
            for (int k = 1; k < n; ++k) last += w.dq;
        }
        q = last + w.dq;
        if (first > 0 && last > 0 && std::min(depthOf(first), depthOf(last)) >= farthestOf(depth + x, n)) continue;
        // The same additions again, kept a pixel each.
        qs[0] = first;
        for (int k = 1; k < n; ++k) qs[k] = qs[k - 1] + w.dq;
        for (int g = 0; g < n; g += 4) {
            int count = std::min(4, n - g);
            __m128 z;
            int nearer = nearerMask(depthOf4(_mm_load_ps(qs + g), z), depth, x + g, count, t.width);
            for (int k = 0; k < count; ++k) {
                if (!(nearer >> k & 1)) continue;
                line[x + g + k] = tint[line[x + g + k]];
                shade[x + g + k] = tint[shade[x + g + k]];
            }
        }
    }
}
#else
void spanTerrain(int row, const SpanEdge& left, const SpanEdge& right, const SpanStyle& style)
{
    spanTerrainPlain(row, left, right, style);
}

void spanFlat(int row, const SpanEdge& left, const SpanEdge& right, const SpanStyle& style)
{
    spanFlatPlain(row, left, right, style);
}

void spanWater(int row, const SpanEdge& left, const SpanEdge& right, const SpanStyle& style)
{
    spanWaterPlain(row, left, right, style);
}
#endif

bool sceneVertex(const Vec3& world, SceneVertex& out)
{
    ScreenPoint p;
    if (!projectPoint(game.cameraPosition, game.cameraMatrix, world, p)) return false;
    out.x = p.x, out.y = p.y, out.z = p.z;
    out.rel = world - game.cameraPosition;
    return true;
}

namespace {

// A triangle's edge from a to b (a above), with what its rows share worked out once: the same
// operations on the same operands as per row, so the same bits.
struct TriangleEdge {
    alignas(16) float a[4];  // q, rq at a
    alignas(16) float d[4];  // and their changes from a to b
    float ay, dy, ax, dx;
};

TriangleEdge triangleEdge(const SceneVertex& a, const SceneVertex& b)
{
    float qa = 1.0f / a.z, qb = 1.0f / b.z;
    Vec3 ra = a.rel * qa, rb = b.rel * qb, dr = rb - ra;
    return {{qa, ra.x, ra.y, ra.z}, {qb - qa, dr.x, dr.y, dr.z}, a.y, b.y - a.y, a.x, b.x - a.x};
}

static_assert(offsetof(SpanEdge, q) == 0 && offsetof(SpanEdge, rq) == 4 && sizeof(Vec3) == 12, "q, rq as four floats");

inline SpanEdge edgeAt(const TriangleEdge& e, float y)
{
    // A division, not a product with 1 / dy: that would round differently.
    float t = (y - e.ay) / e.dy;
    SpanEdge s;
#if TM_SPANS_SSE2
    // q and rq at once: each lane the product and sum it would have alone.
    _mm_storeu_ps(reinterpret_cast<float*>(&s), _mm_add_ps(_mm_load_ps(e.a), _mm_mul_ps(_mm_load_ps(e.d), _mm_set1_ps(t))));
#else
    s.q = e.a[0] + e.d[0] * t;
    s.rq = {e.a[1] + e.d[1] * t, e.a[2] + e.d[2] * t, e.a[3] + e.d[3] * t};
#endif
    s.x = e.ax + e.dx * t;
    return s;
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
    int row = ceilWithin(a->y, rowTarget.height);
    int end = ceilWithin(c->y, rowTarget.height);
    if (row >= end) return;
    SpanMode mode = currentMode;
    TriangleEdge ac = triangleEdge(*a, *c), ab = triangleEdge(*a, *b), bc = triangleEdge(*b, *c);
    bool lowerHalf = c->y > b->y;
    SpanEdge flatBottom = lowerHalf ? SpanEdge{} : edgeAt(ab, b->y);
    for (; row < end; ++row) {
        float y = float(row);
        SpanEdge l = edgeAt(ac, y);
        SpanEdge r = y < b->y ? edgeAt(ab, y) : (lowerHalf ? edgeAt(bc, y) : flatBottom);
        bool swapped = l.x > r.x;
        mode(row, swapped ? r : l, swapped ? l : r, style);
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
