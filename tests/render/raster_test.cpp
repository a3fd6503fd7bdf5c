#include "render_fixture.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

class Raster : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(screen.ok);
        fillRect(nullptr, 0);
        ASSERT_TRUE(allocateSceneImages(100, 80));
        ASSERT_TRUE(lockDraw());
    }
    Screen screen{100, 80};
};

// A depth of screenScale makes the radius plain pixels.
constexpr float pixels = 100.0f;

}  // namespace

TEST(Projection, CentreOfViewAndPointsBehindTheCamera)
{
    game.screenScale = 640;
    game.aspectRatio = 0.75f;
    const float identity[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
    ScreenPoint p{-1, -1, -1};
    ASSERT_TRUE(projectPoint({1, 2, 3}, identity, {1, 2, 13}, p));
    EXPECT_FLOAT_EQ(p.x, 320);
    EXPECT_FLOAT_EQ(p.y, 240);
    EXPECT_FLOAT_EQ(p.z, 10);
    ASSERT_TRUE(projectPoint({0, 0, 0}, identity, {5, -3.75f, 10}, p));
    EXPECT_FLOAT_EQ(p.x, 640);
    EXPECT_FLOAT_EQ(p.y, 0);
    EXPECT_FALSE(projectPoint({0, 0, 0}, identity, {1, 1, 0.0001f}, p));
    EXPECT_FLOAT_EQ(p.x, 640);  // untouched
}

TEST_F(Raster, DiscIsRoundSymmetricAndPartlyAboveTheScreenStartsAtRowZero)
{
    drawDisc(50, 40, pixels, 10, 5, true);
    int rows = 0;
    for (int y = 0; y < 80; ++y) {
        int n = 0;
        for (int x = 0; x < 100; ++x) n += Screen::at(x, y) == 5;
        if (n) ++rows;
        // Left and right halves mirror each other about the centre column.
        for (int x = 1; x < 100; ++x) EXPECT_EQ(Screen::at(x, y) == 5, Screen::at(100 - x, y) == 5) << x << "," << y;
    }
    // Rows 30 .. 49: the bottom edge would need slice 100 of the table, which ends the disc.
    EXPECT_EQ(rows, 20);
    EXPECT_NEAR(Screen::count(5), M_PI * 100, 25);

    // The same disc moved 25 rows up: row 0 gets the half-width its own row 15 had above.
    fillRect(nullptr, 0);
    drawDisc(50, 15, pixels, 10, 6, true);
    auto width = [](int y, uint8_t c) {
        int n = 0;
        for (int x = 0; x < 100; ++x) n += Screen::at(x, y) == c;
        return n;
    };
    drawDisc(20, 40, pixels, 10, 7, true);
    for (int y = 0; y < 26; ++y) EXPECT_EQ(width(y, 6), width(y + 25, 7)) << y;
    EXPECT_EQ(width(26, 6), 0);
}

TEST_F(Raster, DepthHidesWhatTheTerrainCoversAndShadowsCopyTheShadeImage)
{
    for (int i = 0; i < 100 * 80; ++i) game.shadeImage[i] = 9;
    for (int y = 0; y < 80; ++y)
        for (int x = 50; x < 100; ++x) game.depthImage[y * 100 + x] = uint16_t(depthValue(5.0f));  // a hill on the right
    drawDisc(50, 40, 10.0f, 2.0f, 4, false);   // 20 px radius at depth 10: behind the hill
    EXPECT_EQ(Screen::at(45, 40), 4);
    EXPECT_EQ(Screen::at(55, 40), 0);
    drawDisc(50, 40, 10.0f, 2.0f, 4, true);    // depth test off
    EXPECT_EQ(Screen::at(55, 40), 4);

    fillRect(nullptr, 1);
    drawShadowDisc(20, 40, pixels, 10);
    drawShadowDisc(25, 40, pixels, 10);        // overlaps the first
    EXPECT_EQ(Screen::at(22, 40), 9);          // once or twice, the same shade
    EXPECT_EQ(Screen::count(1) + Screen::count(9), 100 * 80);
    ScreenPoint a{0, 0, 3}, b{10, 0, 3}, c{0, 10, 3};
    drawShadowTriangle(a, b, c);
    drawShadowTriangle(a, c, b);               // either winding
    EXPECT_EQ(Screen::at(2, 2), 9);
}

// Every pixel of a span is tested on its own, whatever its place in a row: terrain depths
// just in front of, at and behind the disc's, the nearest and the "nothing" depth, under discs
// whose rows start and end at every alignment.
TEST_F(Raster, EachPixelOfADiscMeetsItsOwnTerrainDepth)
{
    struct Case {
        float x, z, radiusPixels;
    };
    // Wide and narrow rows, at both edges of the screen, at the nearest and beyond the farthest depth.
    const Case cases[] = {{50.0f, 4.0f, 35}, {33.3f, 0.02f, 35}, {61.7f, 9.0f, 35}, {48.5f, 590.0f, 35},
                          {50.0f, 700.0f, 35}, {97.2f, 3.0f, 9}, {1.6f, 7.0f, 6}, {50.4f, 2.0f, 4}};
    for (const Case& c : cases) {
        for (bool shadow : {false, true}) {
            int32_t d = depthValue(shadow ? c.z - 1.0f : c.z);
            for (int y = 0; y < 80; ++y)
                for (int x = 0; x < 100; ++x) {
                    int32_t k = (x * 7 + y * 3) % 7, near = d + k - 3;
                    int32_t terrain = k == 5 ? 0 : k == 6 ? 0xFFFF : std::clamp(near, 0, 0xFFFF);
                    game.depthImage[y * 100 + x] = uint16_t(terrain);
                    game.shadeImage[y * 100 + x] = uint8_t(100 + (x + y) % 50);
                }
            float radius = c.radiusPixels * c.z / 100.0f;
            fillRect(nullptr, 0);
            drawDisc(c.x, 40, c.z, radius, 1, true);
            std::vector<bool> covered(100 * 80);
            for (int i = 0; i < 100 * 80; ++i) covered[size_t(i)] = Screen::at(i % 100, i / 100) == 1;
            for (int i = 0; i < 100 * 80; ++i) Screen::at(i % 100, i / 100) = uint8_t(i % 97);
            if (shadow) drawShadowDisc(c.x, 40, c.z, radius);
            else drawDisc(c.x, 40, c.z, radius, 250, false);
            for (int i = 0; i < 100 * 80; ++i) {
                bool front = covered[size_t(i)] && d < int32_t(game.depthImage[i]);
                uint8_t want = !front ? uint8_t(i % 97) : shadow ? game.shadeImage[i] : 250;
                ASSERT_EQ(Screen::at(i % 100, i / 100), want) << "z " << c.z << " shadow " << shadow << " pixel " << i;
            }
        }
    }
}

TEST_F(Raster, TrianglesAreCulledByWindingAndDrawnAtOneDepth)
{
    ScreenPoint a{10, 10, 2}, b{10, 40, 2}, c{40, 10, 2};  // counter-clockwise on a y-down screen
    drawTriangle(a, c, b, 3, true);                          // clockwise: culled
    EXPECT_EQ(Screen::count(3), 0);
    drawTriangle(a, b, c, 3, true);
    EXPECT_EQ(Screen::at(15, 15), 3);
    EXPECT_EQ(Screen::at(39, 39), 0);

    ScreenPoint n1{60, 10, 0}, n2{60, 40, 0}, n3{90, 10, 0};  // face depth 0: nothing
    drawTriangle(n1, n2, n3, 4, true);
    EXPECT_EQ(Screen::count(4), 0);

    // The face's depth is the average of its corners, compared against the image.
    for (int i = 0; i < 100 * 80; ++i) game.depthImage[i] = uint16_t(depthValue(3.0f));
    ScreenPoint f1{60, 10, 1}, f2{60, 40, 1}, f3{90, 10, 6.5f};  // average 2.83: in front
    drawTriangle(f1, f2, f3, 5, false);
    EXPECT_EQ(Screen::at(65, 15), 5);
    ScreenPoint g1{60, 50, 1}, g2{60, 79, 1}, g3{90, 50, 7.5f};  // average 3.17: behind
    drawTriangle(g1, g2, g3, 6, false);
    EXPECT_EQ(Screen::count(6), 0);
}

TEST_F(Raster, NeighbouringTrianglesShareEdgesWithoutOverlapAndEverythingClips)
{
    // Two halves of a square: every pixel once, none twice (colour 2 + 3 counted).
    ScreenPoint p0{10.3f, 10.7f, 1}, p1{10.3f, 50.2f, 1}, p2{60.9f, 50.2f, 1}, p3{60.9f, 10.7f, 1};
    drawTriangle(p0, p1, p2, 2, true);
    int first = Screen::count(2);
    drawTriangle(p0, p2, p3, 3, true);
    EXPECT_EQ(Screen::count(2), first);
    int covered = Screen::count(2) + Screen::count(3);
    EXPECT_EQ(covered, 50 * 40);  // columns 11..60, rows 11..50

    ScreenPoint h1{-1e6f, -1e6f, 1}, h2{-1e6f, 1e6f, 1}, h3{1e6f, 0, 1};
    drawTriangle(h1, h2, h3, 8, true);  // larger than the screen
    EXPECT_EQ(Screen::count(8), 100 * 80);
    drawDisc(-500, 40, pixels, 10, 9, true);
    drawDisc(50, 40, pixels, 1e9f, 9, true);  // larger than the screen
    ScreenPoint nan{NAN, 0, 1};
    drawTriangle(nan, h2, h3, 10, true);
    EXPECT_EQ(Screen::count(10), 0);

    // Points just in front of the camera project beyond the integer range.
    drawDisc(3e12f, 40, pixels, 10, 11, true);
    drawDisc(50, -3e12f, pixels, 10, 11, true);
    EXPECT_EQ(Screen::count(11), 0);
    ScreenPoint f1{-3e12f, -3e12f, 1}, f2{-3e12f, 3e12f, 1}, f3{3e12f, 0, 1};
    drawTriangle(f1, f2, f3, 12, true);
    EXPECT_EQ(Screen::count(12), 100 * 80);
}

TEST_F(Raster, SpansThatStartBeyondTheIntegerRangeDrawNothing)
{
    // On screen rows, but the covered columns start billions of pixels to the right.
    ScreenPoint a{3e9f, -10, 1}, b{4e9f, 40, 1}, c{3e9f, 90, 1};
    drawTriangle(a, c, b, 2, true);
    drawShadowTriangle(a, b, c);
    // A disc whose left edge only just reaches the screen: its top rows lie far to the right.
    drawDisc(3e9f, 3e9f, pixels, 3e9f, 3, true);
    EXPECT_EQ(Screen::count(0), 100 * 80);
}

TEST_F(Raster, SceneImagesOfTheSameSizeAreKeptButStartedAfresh)
{
    // Each race start asks for them again: what the last race drew must not hide the next.
    uint16_t* depth = game.depthImage;
    game.depthImage[123] = 5;
    game.shadeImage[45] = 9;
    ASSERT_TRUE(allocateSceneImages(100, 80, 240));
    EXPECT_EQ(game.depthImage, depth);
    EXPECT_TRUE(std::all_of(game.depthImage, game.depthImage + 100 * 80, [](uint16_t d) { return d == 0xFFFF; }));
    EXPECT_TRUE(std::all_of(game.shadeImage, game.shadeImage + 100 * 80, [](uint8_t s) { return s == 240; }));
    ASSERT_TRUE(allocateSceneImages(60, 30));
    EXPECT_EQ(game.sceneWidth, 60);
    EXPECT_EQ(game.sceneHeight, 30);
    EXPECT_TRUE(std::all_of(game.shadeImage, game.shadeImage + 60 * 30, [](uint8_t s) { return s == 0; }));
    EXPECT_FALSE(allocateSceneImages(0, 30));
    EXPECT_EQ(game.depthImage, nullptr);
    EXPECT_EQ(game.sceneWidth, 0);
}
