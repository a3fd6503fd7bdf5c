#include "render/raster.h"

#include "state/game_state.h"
#include "render/frame_damage.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

void setProjectionScale(int screenWidth, int screenHeight)
{
    game.screenScale = float(screenWidth);
    game.aspectRatio = screenWidth > 0 ? float(screenHeight) / float(screenWidth) : 0.75f;
}

bool projectPoint(const Vec3& cameraPosition, const float m[9], const Vec3& p, ScreenPoint& out)
{
    Vec3 d = p - cameraPosition;
    float z = m[6] * d.x + m[7] * d.y + m[8] * d.z;
    if (!(z > 0.0001f)) return false;
    float x = m[0] * d.x + m[1] * d.y + m[2] * d.z;
    float y = m[3] * d.x + m[4] * d.y + m[5] * d.z;
    out.x = game.screenScale * (0.5f + x / z);
    out.y = game.screenScale * (y / z + 0.5f * game.aspectRatio);
    out.z = z;
    return true;
}

void freeSceneImages()
{
    delete[] game.depthImage;
    delete[] game.shadeImage;
    game.depthImage = nullptr;
    game.shadeImage = nullptr;
    game.sceneWidth = game.sceneHeight = 0;
}

bool allocateSceneImages(int width, int height, uint8_t shade)
{
    if (width <= 0 || height <= 0) {
        freeSceneImages();
        return false;
    }
    size_t n = size_t(width) * size_t(height);
    if (!game.depthImage || !game.shadeImage || game.sceneWidth != width || game.sceneHeight != height) {
        freeSceneImages();
        game.depthImage = new uint16_t[n];
        game.shadeImage = new uint8_t[n];
        game.sceneWidth = width;
        game.sceneHeight = height;
    }
    std::fill(game.depthImage, game.depthImage + n, uint16_t(0xFFFF));
    std::memset(game.shadeImage, shade, n);
    return true;
}

static int32_t truncSteps(float v)
{
    if (!(v < 2147483520.0f)) return INT32_MAX;  // also NaN: nothing passes
    if (v < -2147483520.0f) return INT32_MIN;
    return int32_t(v);
}

int32_t depthValue(float z)
{
    return truncSteps(z / depthUnit);
}

namespace {

// The locked surface and, when they match it, the scene images.
struct Target {
    uint8_t* pixels;
    int pitch, width, height;
    const uint16_t* depth;
    const uint8_t* shade;
};

bool target(Target& t)
{
    if (!game.pixelBase || !game.lockedSurface) return false;
    t.pixels = game.pixelBase;
    t.pitch = game.pixelPitch;
    t.width = game.lockedSurface->w;
    t.height = game.lockedSurface->h;
    bool matches = game.sceneWidth == t.width && game.sceneHeight == t.height;
    t.depth = matches ? game.depthImage : nullptr;
    t.shade = matches ? game.shadeImage : nullptr;
    return true;
}

// Where the terrain lies farther than depth: line[x] = depth < terrain[x] ? pick(x) : line[x]
// for x in [x0, x1] of a row width pixels wide. SSE2 takes sixteen pixels at once: a depth
// held to [0, 0xFFFE] and the terrain, both moved by 0x8000, compare as signed 16-bit numbers
// exactly as they do unmoved. Most spans are shorter than sixteen pixels: they are one window
// of the row with the lanes outside the span kept.
template <class Pick16, class Pick>
[[gnu::always_inline]] inline void spanInFront(uint8_t* line, const uint16_t* terrain, int width, int x0, int x1, int32_t depth,
                        Pick16 pick16, Pick pick)
{
    if (depth >= 0xFFFF) return;  // nothing lies farther than the farthest
#ifdef __SSE2__
    if (width >= 16) {
        const __m128i bias = _mm_set1_epi16(int16_t(0x8000));
        const __m128i near = _mm_set1_epi16(int16_t(std::max(depth, 0) ^ 0x8000));
        auto blend = [&](int at, __m128i lanes) {
            __m128i mask = lanes;
            if (depth >= 0) {  // below 0 every terrain depth lies farther
                __m128i far0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(terrain + at));
                __m128i far1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(terrain + at + 8));
                __m128i in0 = _mm_cmpgt_epi16(_mm_xor_si128(far0, bias), near);
                __m128i in1 = _mm_cmpgt_epi16(_mm_xor_si128(far1, bias), near);
                mask = _mm_and_si128(mask, _mm_packs_epi16(in0, in1));
            }
            __m128i* to = reinterpret_cast<__m128i*>(line + at);
            __m128i old = _mm_loadu_si128(to);
            _mm_storeu_si128(to, _mm_or_si128(_mm_and_si128(mask, pick16(at)), _mm_andnot_si128(mask, old)));
        };
        if (x1 - x0 < 15) {
            // The window stays inside the row, also at its right end.
            int at = std::min(x0, width - 16);
            const __m128i index = _mm_setr_epi8(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15);
            blend(at, _mm_and_si128(_mm_cmpgt_epi8(index, _mm_set1_epi8(char(x0 - at - 1))),
                                    _mm_cmplt_epi8(index, _mm_set1_epi8(char(x1 - at + 1)))));
            return;
        }
        const __m128i all = _mm_set1_epi8(-1);
        int px = x0;
        for (; px + 15 <= x1; px += 16) blend(px, all);
        // The last window ends at x1 and may cover pixels done already: a second pass over a
        // pixel gives what the first gave.
        if (px <= x1) blend(x1 - 15, all);
        return;
    }
#endif
    for (int px = x0; px <= x1; ++px) line[px] = depth < terrain[px] ? pick(px) : line[px];
}

// A span of one colour where the terrain lies farther than depth; without a depth image
// nothing hides a moving thing.
[[gnu::always_inline]] inline void fillSpan(const Target& t, int row, int x0, int x1, int32_t depth, uint8_t colour, bool ignoreDepth)
{
    uint8_t* line = t.pixels + size_t(row) * t.pitch;
    if (ignoreDepth || !t.depth) {
        std::memset(line + x0, colour, size_t(x1 - x0 + 1));
        return;
    }
    const uint16_t* terrain = t.depth + size_t(row) * t.width;
    // The next row of a disc or triangle starts near here: ask for its depths now, since
    // the depth image is too large to stay near the processor between frames.
    __builtin_prefetch(terrain + t.width + x0);
#ifdef __SSE2__
    const __m128i colours = _mm_set1_epi8(char(colour));
    auto all = [&](int) { return colours; };
#else
    auto all = [](int) { return 0; };
#endif
    spanInFront(line, terrain, t.width, x0, x1, depth, all, [&](int) { return colour; });
}

// A span taking the terrain's shadow colour where the terrain lies farther than depth (the
// shade image comes only with a depth image).
[[gnu::always_inline]] inline void shadeSpan(const Target& t, int row, int x0, int x1, int32_t depth)
{
    uint8_t* line = t.pixels + size_t(row) * t.pitch;
    const uint8_t* shade = t.shade + size_t(row) * t.width;
    const uint16_t* terrain = t.depth + size_t(row) * t.width;
    __builtin_prefetch(terrain + t.width + x0);
    __builtin_prefetch(shade + t.width + x0);
#ifdef __SSE2__
    auto shades = [&](int px) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(shade + px)); };
#else
    auto shades = [](int) { return 0; };
#endif
    spanInFront(line, terrain, t.width, x0, x1, depth, shades, [&](int px) { return shade[px]; });
}

// Pixel centres lie on integer coordinates; a span covers the centres in [from, to].
// Without SSE4 ceil and floor are slow; a truncation and a correction do the same in range.
inline int firstCentre(float v)
{
    int i = int(v);
    return i + (float(i) < v);
}
inline int lastCentre(float v)
{
    int i = int(v);
    return i - (float(i) > v);
}

// v held to [lo, hi] before an integer conversion; NaN lands on lo.
inline float within(float v, float lo, float hi)
{
    return v > lo ? (v < hi ? v : hi) : lo;
}

// Calls span(y, x0, x1) for each covered row of the disc, clipped to the target.
template <class Span>
void discRows(const Target& t, float x, float y, float radius, Span span)
{
    if (!(radius > 0) || !std::isfinite(radius) || !game.circleTable || !std::isfinite(x) || !std::isfinite(y)) return;
    float top = y - radius;
    if (top > float(t.height) || y + radius < 0 || x - radius > float(t.width) || x + radius < 0) return;
    // Clamped before the conversions, so that far-off discs never leave the integer range.
    int row = firstCentre(std::max(top, 0.0f));
    int lastRow = lastCentre(std::min(y + radius, float(t.height - 1)));
    float slicesPerPixel = 50.0f / radius;
    const float* circle = game.circleTable;
    for (; row <= lastRow; ++row) {
        // The row's slice of the unit circle, counted from the disc's own top.
        int k = int((float(row) - top) * slicesPerPixel);
        if (k < 0) continue;
        if (k >= circleTableSize) break;
        float half = radius * circle[k];
        // Either end may lie far off the screen even when the disc reaches it.
        int x0 = firstCentre(within(x - half, 0.0f, float(t.width)));
        int x1 = lastCentre(within(x + half, -1.0f, float(t.width - 1)));
        if (x0 <= x1) span(row, x0, x1);
    }
}

// Calls span(y, x0, x1) for the rows of a triangle: a centre is covered when it lies in
// [left edge, right edge) and [top, bottom), so triangles that share an edge never overlap.
template <class Span>
void triangleRows(const Target& t, ScreenPoint a, ScreenPoint b, ScreenPoint c, Span span)
{
    for (const ScreenPoint* p : {&a, &b, &c})
        if (!std::isfinite(p->x) || !std::isfinite(p->y)) return;
    if (a.y > b.y) std::swap(a, b);
    if (b.y > c.y) std::swap(b, c);
    if (a.y > b.y) std::swap(a, b);
    if (!(c.y > a.y)) return;
    // Clamped before the conversions, as for discs.
    int row = firstCentre(std::clamp(a.y, 0.0f, float(t.height)));
    int end = firstCentre(std::clamp(c.y, 0.0f, float(t.height)));  // exclusive
    for (; row < end; ++row) {
        float fy = float(row);
        float xl = a.x + (c.x - a.x) * (fy - a.y) / (c.y - a.y);
        float xr;
        if (fy < b.y) xr = a.x + (b.x - a.x) * (fy - a.y) / (b.y - a.y);
        else if (c.y > b.y) xr = b.x + (c.x - b.x) * (fy - b.y) / (c.y - b.y);
        else xr = b.x;
        if (xl > xr) std::swap(xl, xr);
        // Both ends clamped to the screen: a row may cover only columns far to one side.
        int x0 = firstCentre(within(xl, 0.0f, float(t.width)));
        int x1 = firstCentre(within(xr, 0.0f, float(t.width))) - 1;
        if (x0 <= x1) span(row, x0, x1);
    }
}

// Marks the box [x0, x1] x [y0, y1] round what a primitive may have written (finite ends),
// held to the target: a little more than the spans, for none of their work per row. Held to
// the target first, a truncation is a floor, and one past it plus one covers the ceiling.
void markBox(const Target& t, float x0, float y0, float x1, float y1)
{
    float w = float(t.width), h = float(t.height);
    markDrawn(game.lockedSurface, int(within(x0, 0.0f, w)), int(within(y0, 0.0f, h)), int(within(x1 + 2.0f, 0.0f, w)),
              int(within(y1 + 2.0f, 0.0f, h)));
}

void markTriangle(const Target& t, const ScreenPoint& a, const ScreenPoint& b, const ScreenPoint& c)
{
    for (const ScreenPoint* p : {&a, &b, &c})
        if (!std::isfinite(p->x) || !std::isfinite(p->y)) return;  // nothing was drawn
    markBox(t, std::min({a.x, b.x, c.x}), std::min({a.y, b.y, c.y}), std::max({a.x, b.x, c.x}), std::max({a.y, b.y, c.y}));
}

}  // namespace

void drawDisc(float x, float y, float z, float radius, uint8_t colour, bool ignoreDepth)
{
    Target t;
    if (!target(t) || !(z > 0)) return;
    int32_t depth = depthValue(z);
    float r = game.screenScale / z * radius;
    discRows(t, x, y, r, [&](int row, int x0, int x1) { fillSpan(t, row, x0, x1, depth, colour, ignoreDepth); });
    if (std::isfinite(r) && std::isfinite(x) && std::isfinite(y)) markBox(t, x - r, y - r, x + r, y + r);
}

void drawShadowDisc(float x, float y, float z, float radius)
{
    Target t;
    if (!target(t) || !t.shade || !(z > 0)) return;
    int32_t depth = depthValue(z - 1.0f);
    float r = game.screenScale / z * radius;
    discRows(t, x, y, r, [&](int row, int x0, int x1) { shadeSpan(t, row, x0, x1, depth); });
    if (std::isfinite(r) && std::isfinite(x) && std::isfinite(y)) markBox(t, x - r, y - r, x + r, y + r);
}

void drawTriangle(const ScreenPoint& a, const ScreenPoint& b, const ScreenPoint& c, uint8_t colour, bool ignoreDepth)
{
    Target t;
    if (!target(t)) return;
    float area = (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
    if (!(area < 0)) return;
    int32_t depth = truncSteps((a.z + b.z + c.z) / (3.0f * depthUnit));
    if (depth <= 0) return;
    triangleRows(t, a, b, c, [&](int row, int x0, int x1) { fillSpan(t, row, x0, x1, depth, colour, ignoreDepth); });
    markTriangle(t, a, b, c);
}

void drawShadowTriangle(const ScreenPoint& a, const ScreenPoint& b, const ScreenPoint& c)
{
    Target t;
    if (!target(t) || !t.shade) return;
    int32_t depth = depthValue((a.z + b.z + c.z) / 3.0f - 1.0f);
    triangleRows(t, a, b, c, [&](int row, int x0, int x1) { shadeSpan(t, row, x0, x1, depth); });
    markTriangle(t, a, b, c);
}
