#include "track/terrain_height.h"

#include "state/game_state.h"

float terrainHeight(float x, float z)
{
    const uint8_t* h = game.heightMap;
    if (!h) return 0.0f;
    // A malformed size of 0 would divide by zero; the grid's first byte is all there is then.
    if (!(game.heightCell > 0.0f)) return h[0] * 0.05f;
    float top = game.trackSize - 0.001f;
    // Written so that NaN lands on the edge as well.
    if (!(x >= 0.0f)) x = 0.0f;
    if (!(z >= 0.0f)) z = 0.0f;
    if (x > top) x = top;
    if (z > top) z = top;
    float gx = x / game.heightCell, gz = z / game.heightCell;
    int i = static_cast<int>(gx), k = static_cast<int>(gz);
    if (i > heightMapSide - 2) i = heightMapSide - 2;
    if (k > heightMapSide - 2) k = heightMapSide - 2;
    float fx = gx - i, fz = gz - k;
    const uint8_t* row0 = h + k * heightMapSide;
    const uint8_t* row1 = row0 + heightMapSide;
    float v = (1 - fz) * (fx * row0[i + 1] + (1 - fx) * row0[i]) + fz * ((1 - fx) * row1[i] + fx * row1[i + 1]);
    return v * 0.05f;
}

Vec3 terrainNormal(float x, float z)
{
    float d = game.heightCell > 0.0f ? game.heightCell : 1.0f;
    Vec3 n{terrainHeight(x - d, z) - terrainHeight(x + d, z), 2 * d, terrainHeight(x, z - d) - terrainHeight(x, z + d)};
    return normalised(n);
}
