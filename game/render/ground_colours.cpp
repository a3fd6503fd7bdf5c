#include "render/ground_colours.h"

#include "state/game_state.h"
#include "state/random_table.h"

#include <algorithm>
#include <cmath>

namespace {

GroundColours tables;

// First slots of the shade bands below the water tints; each runs up to the next.
constexpr uint8_t bandStarts[] = {0, 30, 45, 60, 75, 90, 105, 110, 115, 120};
constexpr uint8_t waterTints = 120, objectGroups = 144, carSlots = 192, interfaceSlots = 240;

int bandStart(int c)
{
    int first = 0;
    for (uint8_t s : bandStarts)
        if (c >= s) first = s;
    return first;
}

int bandEnd(int c)  // exclusive
{
    for (uint8_t s : bandStarts)
        if (c < s) return s;
    return waterTints;
}

}  // namespace

void buildGroundColours()
{
    for (int v = 0; v < groundValueCount; ++v) {
        int lit, shadow;
        if (v == 0) shadow = 1, lit = 12;
        else if (v < 8) shadow = 9 - v, lit = 31 - 2 * v;
        else if (v < 12) shadow = 30, lit = 44 - 2 * (v - 8);
        else if (v < 16) shadow = 48 - (v - 12), lit = 59 - 2 * (v - 12);
        else if (v < 20) shadow = 63 - (v - 16), lit = 74 - (v - 16);
        else if (v < 24) shadow = 75, lit = 89 - 2 * (v - 20);
        else if (v < 28) shadow = 93 - (v - 24), lit = 104 - 2 * (v - 24);
        else if (v < 32) shadow = 106 - (v - 28) / 2, lit = 109 - (v - 28);
        else if (v < 36) shadow = 111 - (v - 32) / 2, lit = 114 - (v - 32);
        else if (v < 40) shadow = 116 - (v - 36) / 2, lit = 119 - (v - 36);
        else shadow = 18, lit = 26;
        tables.lit[v] = uint8_t(lit);
        tables.shadow[v] = uint8_t(shadow);
        tables.litLevel[v] = float(lit);
        tables.towardShadow[v] = float(shadow - lit);
        tables.low[v] = uint8_t(std::min(lit, shadow));
        tables.high[v] = uint8_t(std::max(lit, shadow));
    }
    for (int b = 0; b < 256; ++b) {
        int v = std::min(b, groundValueCount - 1);
        tables.levels[b][0] = tables.litLevel[v];
        tables.levels[b][1] = tables.towardShadow[v];
    }
}

const GroundColours& groundColours()
{
    return tables;
}

Vec3 lightDirection()
{
    // From high over the west and a little north, so hills keep their relief on every track.
    static const Vec3 d = [] {
        Vec3 v{0.35f, -1.0f, -0.25f};
        return v * (1.0f / std::sqrt(dot(v, v)));
    }();
    return d;
}

float lightFactor(Vec3 normal)
{
    float length = std::sqrt(dot(normal, normal));
    if (!(length > 0)) return 1.0f;
    float f = std::min(dot(normal, lightDirection()) / length, 0.0f);
    return std::sqrt(std::max(0.0f, 1.0f - f * f));
}

uint8_t groundShade(uint8_t value, float light, float noise)
{
    return groundShadeWith(tables, value, light, noise);
}

float groundNoise(int x, int y)
{
    // Fixed per pixel, so a repainted cell keeps its grain and the race's random cursor stays.
    if (!game.randomTable) fillRandomTable();
    return groundNoiseIn(game.randomTable, x, y);
}

uint8_t darkerShade(uint8_t c)
{
    if (c < waterTints) {
        int first = bandStart(c);
        return uint8_t(first + (c - first) / 2);
    }
    if (c < objectGroups) {
        // Slot 120 + k is the tint of slot 2 + 5k: darken the source, tint again.
        return waterShade(darkerShade(uint8_t(2 + 5 * (c - waterTints))));
    }
    if (c < interfaceSlots) {
        int group = c & ~3;
        return (c & 3) == 3 ? c : uint8_t(group);
    }
    return c;
}

uint8_t waterShade(uint8_t c)
{
    if (c < waterTints) return uint8_t(waterTints + c / 5);
    if (c < objectGroups) return c;
    if (c < interfaceSlots) return uint8_t((c & ~3) | 3);
    return c;
}

uint8_t faceShade(uint8_t c, Vec3 normal)
{
    float length = std::sqrt(dot(normal, normal));
    float b = length > 0 ? std::max(0.0f, -dot(normal, lightDirection()) / length) : 0.0f;
    if (c >= objectGroups && c < carSlots) {
        int group = c & ~3;
        return uint8_t(group + (b > 0.8f ? 2 : b > 0.25f ? 1 : 0));
    }
    if (c < waterTints) {
        // Band colours: the colour itself in full light, darker down its band otherwise.
        int first = bandStart(c), last = bandEnd(c) - 1;
        int shade = c - int(std::lround((1.0f - b) * float(c - first) * 0.6f));
        return uint8_t(std::clamp(shade, first, last));
    }
    return c;
}
