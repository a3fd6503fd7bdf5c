#include "track/terrain_height.h"

#include "state/game_state.h"

namespace {

// A coordinate's cell of the height grid and its fraction across it; positions off the square
// read its edge.
struct GridPlace {
    int cell;
    float fraction;
};

// Inline, both: the normal's four heights are most of what the race asks of the terrain.
[[gnu::always_inline]] inline GridPlace gridPlace(float v, float top)
{
    // Written so that NaN lands on the edge as well.
    if (!(v >= 0.0f)) v = 0.0f;
    if (v > top) v = top;
    float g = v / game.heightCell;
    int i = static_cast<int>(g);
    if (i > heightMapSide - 2) i = heightMapSide - 2;
    return {i, g - i};
}

[[gnu::always_inline]] inline float bilinear(const uint8_t* h, GridPlace x, GridPlace z)
{
    int i = x.cell;
    float fx = x.fraction, fz = z.fraction;
    const uint8_t* row0 = h + z.cell * heightMapSide;
    const uint8_t* row1 = row0 + heightMapSide;
    float v = (1 - fz) * (fx * row0[i + 1] + (1 - fx) * row0[i]) + fz * ((1 - fx) * row1[i] + fx * row1[i + 1]);
    return v * 0.05f;
}

}  // namespace

float terrainHeight(float x, float z)
{
    const uint8_t* h = game.heightMap;
    if (!h) return 0.0f;
    // A malformed size of 0 would divide by zero; the grid's first byte is all there is then.
    if (!(game.heightCell > 0.0f)) return h[0] * 0.05f;
    float top = game.trackSize - 0.001f;
    return bilinear(h, gridPlace(x, top), gridPlace(z, top));
}

namespace {

// The normal from the four heights one cell to either side, x and z placed already.
[[gnu::always_inline]] inline Vec3 normalNear(const uint8_t* h, float x, float z, GridPlace atX, GridPlace atZ, float top)
{
    float d = game.heightCell;
    Vec3 n{bilinear(h, gridPlace(x - d, top), atZ) - bilinear(h, gridPlace(x + d, top), atZ), 2 * d,
           bilinear(h, atX, gridPlace(z - d, top)) - bilinear(h, atX, gridPlace(z + d, top))};
    return normalised(n);
}

}  // namespace

Vec3 terrainNormal(float x, float z)
{
    float d = game.heightCell > 0.0f ? game.heightCell : 1.0f;
    const uint8_t* h = game.heightMap;
    if (!h || !(game.heightCell > 0.0f)) {
        Vec3 n{terrainHeight(x - d, z) - terrainHeight(x + d, z), 2 * d, terrainHeight(x, z - d) - terrainHeight(x, z + d)};
        return normalised(n);
    }
    // The four heights of terrainHeight, each place along x and z worked out once: every car asks
    // for this every step.
    float top = game.trackSize - 0.001f;
    return normalNear(h, x, z, gridPlace(x, top), gridPlace(z, top), top);
}

Vec3 terrainNormalAndHeight(float x, float z, float& height)
{
    const uint8_t* h = game.heightMap;
    if (!h || !(game.heightCell > 0.0f)) {
        height = terrainHeight(x, z);
        return terrainNormal(x, z);
    }
    float top = game.trackSize - 0.001f;
    GridPlace atX = gridPlace(x, top), atZ = gridPlace(z, top);
    height = bilinear(h, atX, atZ);
    return normalNear(h, x, z, atX, atZ, top);
}
