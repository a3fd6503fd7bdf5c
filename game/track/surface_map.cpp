#include "track/surface_map.h"

#include <cstdlib>
#include <cstring>

// trunc(rand() x n / 32768) over the 15 bits the track format was made with.
static int draw(double n)
{
    return static_cast<int>((std::rand() % 32768) * n / 32768.0);
}

static int clampCell(int v)
{
    return v < 0 ? 0 : v > surfaceMapSide - 1 ? surfaceMapSide - 1 : v;
}

// A neighbour within spread cells; x is drawn before z.
static uint8_t& pick(uint8_t* map, int column, int row, double span, int spread)
{
    int x = clampCell(column + draw(span) - spread);
    int z = clampCell(row + draw(span) - spread);
    return map[z * surfaceMapSide + x];
}

uint8_t tyreMarked(uint8_t v)
{
    if (v == 0) return 40;
    if (v < 8) return 41;
    if (v < 16) return 42;
    if (v < 20) return 43;
    if (v < 24) return 44;
    if (v < 28) return v;
    if (v < 32) return 45;
    if (v < 36) return 46;
    if (v < 40) return 47;
    return v;
}

void clearSurfaceMap(uint8_t* map)
{
    std::memset(map, surfaceUnset, surfaceMapCells);
}

static void applyCode(uint8_t* map, size_t j, unsigned code)
{
    int column = static_cast<int>(j % surfaceMapSide), row = static_cast<int>(j / surfaceMapSide);
    uint8_t& cell = map[j];
    uint8_t p = cell;
    switch (code) {
    case 0: cell = p < 40 ? 2 : 41; break;
    case 1: cell = p < 40 ? 1 : 41; break;
    case 2:
        for (int n = 0; n < 3; ++n) {
            uint8_t& q = pick(map, column, row, 5, 2);
            if (q >= 40) q = 42;
            else if (q == surfaceUnset) q = static_cast<uint8_t>(8 + draw(2.5));
        }
        break;
    case 4: cell = p >= 40 ? 42 : static_cast<uint8_t>(12 + draw(2)); break;
    case 5: {
        uint8_t& q = pick(map, column, row, 13, 6);
        q = tyreMarked(q);
        break;
    }
    case 6: {
        uint8_t& q = pick(map, column, row, 7, 3);
        if (q < 24 || q > 27) q = static_cast<uint8_t>(20 + draw(2.5));
        cell = p >= 40 ? 44 : static_cast<uint8_t>(20 + draw(2.5));
        break;
    }
    case 7: cell = static_cast<uint8_t>(24 + draw(2)); break;
    case 8: cell = static_cast<uint8_t>(26 + draw(2)); break;
    case 9: cell = p < 40 ? 28 : 45; break;
    case 10: cell = p < 40 ? 32 : 46; break;
    case 11: cell = p < 40 ? 36 : 47; break;
    case 12: cell = p < 40 ? 0 : 40; break;
    default: break;  // 3 and 13..15 keep the cell
    }
}

size_t applyRunWords(uint8_t* map, const uint16_t* words, size_t count, size_t cursor)
{
    for (size_t w = 0; w < count && cursor < size_t(surfaceMapCells); ++w) {
        unsigned run = words[w] >> 4, code = words[w] & 15;
        for (unsigned n = 0; n < run && cursor < size_t(surfaceMapCells); ++n) applyCode(map, cursor++, code);
    }
    return cursor;
}

void paintStartLineCells(uint8_t* map, const Checkpoint& c, float surfaceCell)
{
    if (!(surfaceCell > 0.0f)) return;
    float x0 = c.x / surfaceCell, z0 = c.z / surfaceCell, len = c.length / surfaceCell;
    for (float e = -1.5f; e < 1.6f; e += 0.5f) {
        float x = x0 + e * c.uz, z = z0 - e * c.ux;
        for (float t = 0.0f; t < len; t += 0.5f) {
            if (x >= 0.0f && x < surfaceMapSide && z >= 0.0f && z < surfaceMapSide) {
                uint8_t& cell = map[static_cast<int>(z) * surfaceMapSide + static_cast<int>(x)];
                if (cell < 8) cell = 28;
            }
            x += 0.5f * c.ux;
            z += 0.5f * c.uz;
        }
    }
}
