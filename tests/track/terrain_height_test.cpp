// The terrain normal works out its four heights itself: it must give exactly what the four
// terrainHeight calls give, on the square, at its edges, off it and for numbers that are not;
// the normal with the height beside it gives both as the two calls apart.
#include "state/game_state.h"
#include "track/terrain_height.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <vector>

namespace {

Vec3 normalFromHeights(float x, float z)
{
    float d = game.heightCell > 0.0f ? game.heightCell : 1.0f;
    Vec3 n{terrainHeight(x - d, z) - terrainHeight(x + d, z), 2 * d, terrainHeight(x, z - d) - terrainHeight(x, z + d)};
    return normalised(n);
}

bool sameBits(Vec3 a, Vec3 b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// The normal as normalFromHeights gives it, and the height beside it as terrainHeight does.
bool bothAsApart(float x, float z)
{
    float height, apart = terrainHeight(x, z);
    return sameBits(terrainNormalAndHeight(x, z, height), normalFromHeights(x, z)) &&
           std::memcmp(&height, &apart, sizeof height) == 0;
}

TEST(TerrainHeight, TheNormalIsTheOneOfTheFourHeightsBitForBit)
{
    std::vector<uint8_t> heights(heightMapCells);
    std::srand(11);
    for (auto& h : heights) h = uint8_t(std::rand());
    const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
    const float odd[] = {0, -0.0f, 1e-40f, -3, 0.001f, 199.999f, 200, 250, 1e30f, -1e30f, nan, inf, -inf};
    struct World {
        uint8_t* map;
        float size, cell;
    } worlds[] = {{heights.data(), 200, 200.0f / 63}, {heights.data(), 1024, 1024.0f / 63},
                  {heights.data(), 200, 0}, {heights.data(), 200, nan}, {nullptr, 200, 200.0f / 63}};
    for (const World& w : worlds) {
        game.heightMap = w.map;
        game.trackSize = w.size;
        game.heightCell = w.cell;
        for (int k = 0; k < 20000; ++k) {
            float x = w.size * (1.2f * float(std::rand()) / float(RAND_MAX) - 0.1f);
            float z = w.size * (1.2f * float(std::rand()) / float(RAND_MAX) - 0.1f);
            ASSERT_TRUE(sameBits(terrainNormal(x, z), normalFromHeights(x, z))) << x << " " << z;
            ASSERT_TRUE(bothAsApart(x, z)) << x << " " << z;
        }
        for (float x : odd)
            for (float z : odd) {
                EXPECT_TRUE(sameBits(terrainNormal(x, z), normalFromHeights(x, z))) << x << " " << z;
                EXPECT_TRUE(bothAsApart(x, z)) << x << " " << z;
            }
    }
    game.heightMap = nullptr;
}

}  // namespace
