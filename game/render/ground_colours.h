#pragma once
// The colours of the ground and of lit and shaded faces: the lit and shadow palette index of
// every ground value, the one light of the scenery, and the palette's darker and water-tinted
// counterparts of a colour.
#include "state/vec3.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

constexpr int groundValueCount = 48;       // 0..39 ground classes, 40..47 tyre marks

struct GroundColours {
    uint8_t lit[groundValueCount];
    uint8_t shadow[groundValueCount];
    // From the two above for the terrain's pixel loop: float(lit), float(shadow - lit), and the
    // lower and the higher of the two indices.
    float litLevel[groundValueCount];
    float towardShadow[groundValueCount];
    uint8_t low[groundValueCount];
    uint8_t high[groundValueCount];
    // litLevel and towardShadow side by side for every byte, those past the ground values as
    // the last value: the four-wide terrain loop loads both at once, without a clamp.
    float levels[256][2];
};

// Rebuilt whenever a race or the preview is prepared.
void buildGroundColours();
const GroundColours& groundColours();

// The direction the light travels (unit, pointing down).
Vec3 lightDirection();
// L = sqrt(1 - f^2) with f the cosine between the normal and the light, clamped to at most 0:
// 0 for a face turned straight at the light, 1 for one edge-on to it or turned away.
float lightFactor(Vec3 normal);

// int(std::lround(c)) without the library call, which the terrain pass made for every pixel:
// below 2^23 the fraction c - trunc(c) is exact, beyond (and for NaN) lround itself answers.
inline int roundHalfAway(float c)
{
    if (!(c > -8388608.0f && c < 8388608.0f)) return int(std::lround(c));
    int whole = int(c);
    float fraction = c - float(whole);
    return whole + (fraction >= 0.5f) - (fraction <= -0.5f);
}

// The ground value's colour at light factor L: lit blended towards shadow, moved by a noise
// of about one shade (noise in [0, 1)), never leaving the two indices.
uint8_t groundShade(uint8_t value, float light, float noise);
// The same with the tables at hand, for the loops over a span's pixels.
inline uint8_t groundShadeWith(const GroundColours& g, uint8_t value, float light, float noise)
{
    if (value >= groundValueCount) value = groundValueCount - 1;
    float c = g.litLevel[value] + g.towardShadow[value] * light + (noise - 0.5f) * 1.5f;
    return uint8_t(std::clamp(roundHalfAway(c), int(g.low[value]), int(g.high[value])));
}

// The fixed grain of the ground at a pixel, in [0, 1), from randomTable.
float groundNoise(int x, int y);
// The same from a filled random table.
inline float groundNoiseIn(const float* randomTable, int x, int y)
{
    uint32_t h = uint32_t(x) * 73856093u ^ uint32_t(y) * 19349663u;
    return randomTable[(h >> 7) & 255];
}

// A darker shade of the same colour: what a shadow makes of it.
uint8_t darkerShade(uint8_t colour);
// The palette's water-tinted form of a colour; interface colours stay.
uint8_t waterShade(uint8_t colour);
// The shade of a face of an object in the colour: brighter the more it faces the light.
uint8_t faceShade(uint8_t colour, Vec3 normal);
