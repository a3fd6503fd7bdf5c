// The four-wide spans against the plain pixel-by-pixel ones: the same triangles drawn both ways
// over the same images must leave every pixel, depth and shade alike.
#include "render/ground_colours.h"
#include "render/scene_raster.h"
#include "render_fixture.h"
#include "state/random_table.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

namespace {

constexpr int W = 203, H = 61;  // rows that end inside a group of four

struct Images {
    std::vector<uint8_t> pixels, shade;
    std::vector<uint16_t> depth;
};

struct Triangle {
    SceneVertex a, b, c;
};

class FastSpans : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(screen.ok);
        buildGroundColours();
        ASSERT_TRUE(allocateSceneImages(W, H));
        ASSERT_TRUE(lockDraw());
        map.resize(surfaceMapCells);
        // Values past the ground classes too, which the spans must hold to the last.
        for (uint8_t& v : map) v = uint8_t(rng() % 60);
        game.surfaceMap = map.data();
        cell = game.surfaceCell, eye = game.cameraPosition;
        game.surfaceCell = 0.25f;
        game.cameraPosition = {40, 30, -20};
        fillRandomTable();
        // Old pixels and shades of every value, and depths from near to nothing drawn.
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x) Screen::at(x, y) = uint8_t(rng());
        for (size_t i = 0; i < size_t(W) * H; ++i) {
            game.shadeImage[i] = uint8_t(rng());
            game.depthImage[i] = rng() % 3 ? 0xFFFF : uint16_t(rng() % 70000);
        }
        start = snapshot();
    }
    void TearDown() override
    {
        unlockDraw();
        game.surfaceMap = nullptr;
        game.surfaceCell = cell, game.cameraPosition = eye;
        setSpanMode(spanFlat);
    }

    static Images snapshot()
    {
        Images s;
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x) s.pixels.push_back(Screen::at(x, y));
        s.shade.assign(game.shadeImage, game.shadeImage + size_t(W) * H);
        s.depth.assign(game.depthImage, game.depthImage + size_t(W) * H);
        return s;
    }
    Images drawn(SpanMode mode, const std::vector<Triangle>& triangles)
    {
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x) Screen::at(x, y) = start.pixels[size_t(y) * W + x];
        std::copy(start.shade.begin(), start.shade.end(), game.shadeImage);
        std::copy(start.depth.begin(), start.depth.end(), game.depthImage);
        setSpanMode(mode);
        for (const Triangle& t : triangles) drawTriangle3D(t.a, t.b, t.c, uint8_t(t.a.rel.y) % 160);
        return snapshot();
    }
    // Each mode drawn four-wide and plain; names the first image that differs.
    void expectAlike(const std::vector<Triangle>& triangles)
    {
        const struct {
            const char* name;
            SpanMode fast, plain;
        } modes[] = {{"terrain", spanTerrain, spanTerrainPlain},
                     {"flat", spanFlat, spanFlatPlain},
                     {"water", spanWater, spanWaterPlain}};
        for (const auto& m : modes) {
            Images fast = drawn(m.fast, triangles), plain = drawn(m.plain, triangles);
            EXPECT_EQ(fast.pixels, plain.pixels) << m.name;
            EXPECT_EQ(fast.depth, plain.depth) << m.name;
            EXPECT_EQ(fast.shade, plain.shade) << m.name;
            EXPECT_NE(plain.pixels, start.pixels) << m.name << ": the case draws nothing";
        }
    }

    SceneVertex vertex(float x, float y, float z)
    {
        std::uniform_real_distribution<float> world(-200.0f, 200.0f);
        return {x, y, z, {world(rng), std::uniform_real_distribution<float>(0.0f, 160.0f)(rng), world(rng)}};
    }
    float within(float lo, float hi) { return std::uniform_real_distribution<float>(lo, hi)(rng); }

    Screen screen{W, H};
    std::mt19937 rng{27};
    std::vector<uint8_t> map;
    Images start;
    float cell = 0;
    Vec3 eye{};
};

}  // namespace

TEST_F(FastSpans, SmallTrianglesAnywhereOnAndOffTheScreen)
{
    // Spans of every length and start, ends clipped at both sides, depths past the farthest.
    std::vector<Triangle> triangles;
    for (int i = 0; i < 400; ++i) {
        float x = within(-30, W + 30), y = within(-10, H + 10);
        triangles.push_back({vertex(x, y, within(0.5f, 800)), vertex(x + within(-25, 25), y + within(-12, 12), within(0.5f, 800)),
                             vertex(x + within(-25, 25), y + within(-12, 12), within(0.5f, 800))});
    }
    expectAlike(triangles);
}

TEST_F(FastSpans, SliversTheLastColumnsAndDepthsAtTheLimits)
{
    std::vector<Triangle> triangles;
    for (int i = 0; i < 200; ++i) {
        // One to three pixels wide, many ending in the row's last group.
        float x = i % 2 ? within(W - 6, W + 1) : within(0, W), y = within(0, H);
        float w = within(0.3f, 3.2f);
        // Around the far limit of the depth image (599.98) and right at the camera.
        float z = i % 3 == 0 ? within(599.9f, 600.1f) : i % 3 == 1 ? within(0.00011f, 0.001f) : within(1, 50);
        triangles.push_back({vertex(x, y - 5, z), vertex(x + w, y + 9, z * 1.01f), vertex(x - 0.5f, y + 20, z)});
    }
    // The whole last row and the bottom right corner.
    triangles.push_back({vertex(-5, H - 1.5f, 3), vertex(W + 5, H - 1.2f, 3), vertex(W + 5, H + 3, 3)});
    triangles.push_back({vertex(W - 2.5f, H - 3, 2), vertex(W, H, 2), vertex(W - 7, H, 2)});
    expectAlike(triangles);
}

TEST_F(FastSpans, EndsFarBeyondTheScreen)
{
    // Vertices just in front of the camera project billions of pixels away; beyond about 1e38
    // a span's width overflows and its steps go to infinity or NaN.
    std::vector<Triangle> triangles;
    for (float far : {1e10f, 1e30f, 3e38f}) {
        triangles.push_back({vertex(-far, 5, 4), vertex(far, 30, 6), vertex(20, H + 4, 5)});
        triangles.push_back({vertex(100, -far, 3), vertex(W + 50, 40, 3), vertex(-far, far, 7)});
    }
    expectAlike(triangles);
}

TEST_F(FastSpans, RandomTableFilledOnlyWhenAPixelIsDrawn)
{
    // Filling it draws on rand(), which races take their randomness from: a hidden triangle
    // must leave it unfilled, a visible one fill it as the plain spans do.
    std::fill(game.depthImage, game.depthImage + size_t(W) * H, uint16_t(0));
    std::vector<Triangle> hidden = {{vertex(0, 0, 5), vertex(W, 0, 5), vertex(W, H, 5)}};
    freeRandomTable();
    setSpanMode(spanTerrain);
    drawTriangle3D(hidden[0].a, hidden[0].b, hidden[0].c, 0);
    EXPECT_EQ(game.randomTable, nullptr);

    std::vector<Triangle> shown = {{vertex(-3, -2, 5), vertex(W + 3, 4, 7), vertex(50, H + 2, 6)}};
    std::vector<float> tables[2];
    Images pictures[2];
    SpanMode modes[2] = {spanTerrain, spanTerrainPlain};
    for (int i = 0; i < 2; ++i) {
        freeRandomTable();
        std::srand(99);
        pictures[i] = drawn(modes[i], shown);
        ASSERT_NE(game.randomTable, nullptr);
        tables[i].assign(game.randomTable, game.randomTable + 256);
    }
    fillRandomTable();
    EXPECT_EQ(tables[0], tables[1]);
    EXPECT_EQ(pictures[0].pixels, pictures[1].pixels);
    EXPECT_EQ(pictures[0].shade, pictures[1].shade);
}

TEST_F(FastSpans, ShadesHalfwayBetweenTwoColoursRoundAwayFromZero)
{
    // A grain for which every pixel's shade lies exactly halfway between two colours, on
    // ground of one value under a level face.
    constexpr uint8_t value = 5;
    std::fill(map.begin(), map.end(), value);
    const GroundColours& g = groundColours();
    float light = lightFactor({0, 1, 0}), grain = -1, level = 0;
    for (int i = 0; i < 1 << 20 && grain < 0; ++i) {
        float n = float(i) / float(1 << 20);
        float c = g.litLevel[value] + g.towardShadow[value] * light + (n - 0.5f) * 1.5f;
        if (c - std::floor(c) == 0.5f) grain = n, level = c;
    }
    ASSERT_GE(grain, 0);
    std::fill(game.randomTable, game.randomTable + 256, grain);
    SceneVertex a{-3, -2, 5, {0, 0, 0}}, b{W + 3, 4, 5, {1, 0, 0}}, c{50, H + 2, 5, {0, 0, 1}};
    std::vector<Triangle> levelFace = {{a, b, c}};
    Images fast = drawn(spanTerrain, levelFace), plain = drawn(spanTerrainPlain, levelFace);
    EXPECT_EQ(fast.pixels, plain.pixels);
    uint8_t expected = uint8_t(std::clamp(int(std::floor(level)) + 1, int(g.low[value]), int(g.high[value])));
    EXPECT_EQ(groundShade(value, light, grain), expected);
    EXPECT_GT(std::count(fast.pixels.begin(), fast.pixels.end(), expected), 1000);
}

TEST_F(FastSpans, WaterRowsCrossingTheGroundsDepthTintTheirNearerPart)
{
    // The water passes over blocks of a row on the depth at their ends: where the plane's depth
    // crosses the ground's inside a block, rising or falling along the row, the nearer part
    // must still take the tint.
    std::fill(game.depthImage, game.depthImage + size_t(W) * H, depthValue(150));
    start = snapshot();
    // Depths from 100 to 200 along the rows, about 150 in their middle.
    std::vector<Triangle> rising = {{vertex(-4, -3, 100), vertex(W + 6, 5, 200), vertex(-2, H + 4, 100)}};
    std::vector<Triangle> falling = {{vertex(-4, -3, 200), vertex(W + 6, 5, 100), vertex(-2, H + 4, 200)}};
    for (const auto& triangles : {rising, falling}) {
        Images fast = drawn(spanWater, triangles), plain = drawn(spanWaterPlain, triangles);
        EXPECT_EQ(fast.pixels, plain.pixels);
        EXPECT_EQ(fast.shade, plain.shade);
        size_t tinted = 0;
        for (size_t i = 0; i < plain.pixels.size(); ++i) tinted += plain.pixels[i] != start.pixels[i];
        EXPECT_GT(tinted, size_t(W) * H / 10);
        EXPECT_LT(tinted, size_t(W) * H / 2);
    }
}

TEST_F(FastSpans, WaterOverGroundNearAndFarWithinABlock)
{
    // Ground at 100 with a pixel at 500 every 13, the plane at 400 between them: a block's
    // farthest ground is one of the few far pixels, whose depths lie past 0x8000.
    for (size_t i = 0; i < size_t(W) * H; ++i) game.depthImage[i] = depthValue(i % 13 ? 100 : 500);
    ASSERT_GT(depthValue(500), 0x8000);
    start = snapshot();
    std::vector<Triangle> level = {{vertex(-4, -3, 400), vertex(W + 6, 5, 400), vertex(-2, H + 4, 400)}};
    Images fast = drawn(spanWater, level), plain = drawn(spanWaterPlain, level);
    EXPECT_EQ(fast.pixels, plain.pixels);
    EXPECT_EQ(fast.shade, plain.shade);
    EXPECT_NE(plain.pixels, start.pixels);
}

namespace {
float forcedLight = 0;
}  // namespace

TEST_F(FastSpans, LightsBeyondTheLightFactorsRange)
{
    // lightFactor gives 0 to 1; past the bound of 1e4 the four-wide span checks its levels
    // against +-2^23 again and rounds the far ones singly, as the plain span does (lround, and
    // NaN for a NaN light).
    const SpanMode fast = [](int row, const SpanEdge& l, const SpanEdge& r, const SpanStyle& s) {
        spanTerrain(row, l, r, {s.colour, forcedLight});
    };
    const SpanMode plain = [](int row, const SpanEdge& l, const SpanEdge& r, const SpanStyle& s) {
        spanTerrainPlain(row, l, r, {s.colour, forcedLight});
    };
    std::vector<Triangle> wide = {{vertex(-3, -2, 5), vertex(W + 3, 4, 7), vertex(50, H + 2, 6)}};
    const float inf = std::numeric_limits<float>::infinity();
    for (float light : {1e4f, -1e4f, 1.0001e4f, 3e4f, 1e6f, 4e7f, -1e9f, 1e30f, -inf, std::nanf("")}) {
        forcedLight = light;
        Images f = drawn(fast, wide), p = drawn(plain, wide);
        EXPECT_EQ(f.pixels, p.pixels) << light;
        EXPECT_EQ(f.depth, p.depth) << light;
        EXPECT_EQ(f.shade, p.shade) << light;
    }
}
