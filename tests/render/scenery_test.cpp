// The terrain picture: ground colours, the scenery rasteriser, occlusion, shadows and water,
// the object models' budgets, the corner posts, the bottom panel, repainting a cell and the
// preview, on small tracks made here.
#include "render/cell_repaint.h"
#include "render/font.h"
#include "render/ground_colours.h"
#include "render/number_format.h"
#include "render/object_models.h"
#include "render/scene_raster.h"
#include "render/scenery.h"
#include "render_fixture.h"
#include "track/camera_framing.h"
#include "track/terrain_height.h"
#include "track/track_loader.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

constexpr int W = 320, H = 240;

class Scenery : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(screen.ok);
        setGuiMetrics(W, H);
        game.viewAngle = game.viewRotation = 0x7FFF;
        game.viewZoom = 0;
        game.ratioAdjust = 1;
        game.fasterTrackPreview = 0;
        makeTrack(100, 20);
    }
    void TearDown() override
    {
        unlockDraw();
        freeTrackData();
        game.viewZoom = 0;
        game.trackRecords.time[0] = emptyLapTime;
    }

    // A square of the given size at one height, all of one ground value, no objects.
    static void makeTrack(float size, uint8_t height, uint8_t value = 16)
    {
        freeTrackData();
        game.trackSize = size;
        game.surfaceCell = size / 512;
        game.heightCell = size / 63;
        game.waterLevel = 0;
        game.heightMap = new uint8_t[heightMapCells];
        std::memset(game.heightMap, height, heightMapCells);
        game.surfaceMap = new uint8_t[surfaceMapCells];
        std::memset(game.surfaceMap, value, surfaceMapCells);
    }
    static void frame(int angle = 60, int rotation = 0)
    {
        frameTrackCamera(int16_t(angle), int16_t(rotation), 1.0f, float(H) / W);
    }
    static void placeObjects(const std::vector<TrackObject>& objects)
    {
        delete[] game.trackObjects;
        game.trackObjects = new TrackObject[objects.size()];
        std::copy(objects.begin(), objects.end(), game.trackObjects);
        game.objectCount = uint16_t(objects.size());
    }

    static uint8_t bg(int x, int y) { return static_cast<uint8_t*>(game.backgroundSurface->pixels)[size_t(y) * game.backgroundSurface->pitch + x]; }
    static uint16_t depth(int x, int y) { return game.depthImage[size_t(y) * W + x]; }
    static uint8_t shade(int x, int y) { return game.shadeImage[size_t(y) * W + x]; }
    static std::vector<uint8_t> background()
    {
        std::vector<uint8_t> v;
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x) v.push_back(bg(x, y));
        return v;
    }
    // The world point a scene pixel shows, from its depth.
    static Vec3 world(int x, int y)
    {
        const float* m = game.cameraMatrix;
        float z = (depth(x, y) + 0.5f) * depthUnit;
        float cx = (x / game.screenScale - 0.5f) * z, cy = (y / game.screenScale - 0.5f * game.aspectRatio) * z;
        return game.cameraPosition + Vec3{m[0], m[1], m[2]} * cx + Vec3{m[3], m[4], m[5]} * cy + Vec3{m[6], m[7], m[8]} * z;
    }
    static bool terrainPixel(int x, int y) { return depth(x, y) != 0xFFFF && bg(x, y) < 120; }
    static int brightness(uint8_t slot)
    {
        uint32_t c = game.palette[slot];
        return int((c >> 16) & 255) * 3 + int((c >> 8) & 255) * 6 + int(c & 255);
    }

    Screen screen{W, H};
};

}  // namespace

TEST(GroundColours, TableValuesAtEveryBandEdge)
{
    buildGroundColours();
    const GroundColours& g = groundColours();
    struct Row {
        int value, shadow, lit;
    };
    const Row rows[] = {{0, 1, 12},    {1, 8, 29},    {7, 2, 17},    {8, 30, 44},   {11, 30, 38},  {12, 48, 59},
                        {15, 45, 53},  {16, 63, 74},  {19, 60, 71},  {20, 75, 89},  {23, 75, 83},  {24, 93, 104},
                        {27, 90, 98},  {28, 106, 109}, {29, 106, 108}, {31, 105, 106}, {32, 111, 114}, {35, 110, 111},
                        {36, 116, 119}, {39, 115, 116}, {40, 18, 26},  {47, 18, 26}};
    for (const Row& r : rows) {
        EXPECT_EQ(g.shadow[r.value], r.shadow) << "value " << r.value;
        EXPECT_EQ(g.lit[r.value], r.lit) << "value " << r.value;
    }
}

TEST(GroundColours, LightFactorAndShadesStayInTheirBands)
{
    Vec3 l = lightDirection();
    EXPECT_NEAR(lightFactor(l * -1.0f), 0.0f, 1e-3f);   // facing the light
    EXPECT_NEAR(lightFactor(l), 1.0f, 1e-6f);          // turned away: clamped
    EXPECT_NEAR(lightFactor(cross(l, Vec3{0, 0, 1})), 1.0f, 1e-3f);
    EXPECT_EQ(lightFactor(Vec3{}), 1.0f);
    buildGroundColours();
    for (int v = 0; v < groundValueCount; ++v)
        for (float light : {0.0f, 0.3f, 1.0f})
            for (float noise : {0.0f, 0.99f}) {
                int c = groundShade(uint8_t(v), light, noise);
                int lo = std::min(groundColours().lit[v], groundColours().shadow[v]);
                int hi = std::max(groundColours().lit[v], groundColours().shadow[v]);
                EXPECT_TRUE(c >= lo && c <= hi) << v;
            }
    // Darker shades and water tints keep to their kind of colour.
    uint32_t pal[paletteSize] = {};
    builtInPalette(pal);
    for (int c = 0; c < 240; ++c) {
        EXPECT_LE(darkerShade(uint8_t(c)), c);
        int w = waterShade(uint8_t(c));
        EXPECT_TRUE((w >= 120 && w < 144) || (w >= 144 && (w & 3) == 3)) << c;
    }
    EXPECT_EQ(waterShade(12), 122);
    EXPECT_EQ(pal[waterShade(12)], waterTint(pal[12]));
}

// The terrain pass rounds every pixel's shade without the library; it must round as lround
// does, halves away from zero, at every whole and half the shades reach and at the far ends.
TEST(GroundColours, RoundingMatchesLroundAtWholesHalvesAndTheEnds)
{
    std::vector<float> values = {0.0f, -0.0f, 8388607.5f, -8388607.5f, 8388608.0f, -8388608.0f, 3e9f, -3e9f,
                                 1e30f, -1e30f, INFINITY, -INFINITY, NAN};
    for (int n = -600; n <= 600; ++n) {
        float centre = 0.5f * float(n);
        float below = centre, above = centre;
        values.push_back(centre);
        for (int k = 0; k < 4; ++k) {
            below = std::nextafter(below, -INFINITY), above = std::nextafter(above, INFINITY);
            values.push_back(below), values.push_back(above);
        }
    }
    for (float c : values) EXPECT_EQ(roundHalfAway(c), int(std::lround(c))) << c;
}

TEST_F(Scenery, TrianglesWithAVertexAtOrBehindTheCameraDrawNothing)
{
    frame();
    ASSERT_TRUE(allocateSceneImages(W, H));
    ASSERT_TRUE(lockDraw());
    std::memset(game.shadeImage, 7, size_t(W) * H);
    fillRect(nullptr, 7);
    setSpanMode(spanFlat);
    SceneVertex a{10, 10, 5, {}}, b{300, 20, 5, {}}, c{150, 200, 5, {}};
    for (float z : {0.0001f, 0.0f, -3.0f}) {
        SceneVertex behind = c;
        behind.z = z;
        drawTriangle3D(a, b, behind, 150);
        drawTriangle3D(behind, a, b, 150);
    }
    EXPECT_EQ(Screen::count(7), W * H);
    EXPECT_TRUE(std::all_of(game.depthImage, game.depthImage + W * H, [](uint16_t d) { return d == 0xFFFF; }));
    drawTriangle3D(a, b, c, 150);
    EXPECT_GT(Screen::count(150), 1000);
}

TEST_F(Scenery, TrianglesReachingFarBeyondTheScreenStillFillWhatIsOnIt)
{
    // Vertices just in front of the camera project billions of pixels away.
    frame();
    ASSERT_TRUE(allocateSceneImages(W, H));
    ASSERT_TRUE(lockDraw());
    fillRect(nullptr, 7);
    setSpanMode(spanFlat);
    SceneVertex a{10, 10, 5, {}}, b{10, 200, 5, {}}, far{1e10f, 100, 5, {}};
    drawTriangle3D(a, b, far, 150);
    EXPECT_EQ(Screen::at(200, 100), 150);
    SceneVertex top{0, -1e10f, 4, {}}, right{300, 120, 4, {}}, bottom{0, 1e10f, 4, {}};  // nearer
    drawTriangle3D(top, right, bottom, 151);
    EXPECT_EQ(Screen::at(50, 120), 151);
}

TEST_F(Scenery, ACameraInsideTheTerrainDrawsOnlyGroundInFrontOfIt)
{
    // A 1 % zoom puts the camera among the hills: the cells behind it must not smear.
    for (int i = 0; i < heightMapCells; ++i) game.heightMap[i] = uint8_t(20 + 60 * ((i / 64 + i % 64) % 7 == 0));
    game.viewZoom = 1;
    frame();
    buildRaceBackground();
    int drawn = 0;
    for (int y = 0; y < bottomPanelTop(H); ++y)
        for (int x = 0; x < W; ++x) {
            if (!terrainPixel(x, y)) continue;
            ++drawn;
            Vec3 p = world(x, y);
            ASSERT_GT(p.x, -1.0f);
            ASSERT_LT(p.x, game.trackSize + 1);
            ASSERT_GT(p.z, -1.0f);
            ASSERT_LT(p.z, game.trackSize + 1);
            ASSERT_LT(std::abs(p.y - terrainHeight(p.x, p.z)), 0.5f) << x << "," << y;
        }
    EXPECT_GT(drawn, 0);
}

TEST_F(Scenery, TheTextureFollowsTheSurfaceMapCellByCellWithADarkerShadeBehindEveryPixel)
{
    // Asphalt on the west half, snow on the east half, over rolling hills.
    for (int k = 0; k < heightMapSide; ++k)
        for (int i = 0; i < heightMapSide; ++i) game.heightMap[k * 64 + i] = uint8_t(40 + 30 * std::sin(i * 0.3) * std::cos(k * 0.25));
    for (int z = 0; z < surfaceMapSide; ++z)
        for (int x = 0; x < surfaceMapSide; ++x) game.surfaceMap[z * 512 + x] = x < 256 ? 0 : 24;
    frame(55, 20);
    buildRaceBackground();
    int west = 0, east = 0, lit = 0;
    float cell = game.surfaceCell;
    for (int y = 0; y < bottomPanelTop(H); ++y)
        for (int x = 0; x < W; ++x) {
            if (!terrainPixel(x, y)) continue;
            Vec3 p = world(x, y);
            uint8_t c = bg(x, y), s = shade(x, y);
            EXPECT_LE(brightness(s), brightness(c)) << x << "," << y;
            lit += c != s;
            if (p.x < 50 - 0.1f * cell) {
                ++west;
                ASSERT_TRUE(c >= 1 && c <= 12) << int(c);
                ASSERT_EQ(s, 1);
            } else if (p.x > 50 + 0.1f * cell) {
                ++east;
                ASSERT_TRUE(c >= 93 && c <= 104) << int(c);
                ASSERT_EQ(s, 93);
            }
        }
    EXPECT_GT(west, 5000);
    EXPECT_GT(east, 5000);
    EXPECT_GT(lit, (west + east) / 2);
}

TEST_F(Scenery, ObjectsHideBehindHillsAndShowInTheOpen)
{
    frame();
    // A barrel on the far side (the camera looks south from beyond the north edge).
    placeObjects({{24, {50, 0, 82}, {1, 0, 0}}});
    buildRaceBackground();
    std::vector<uint8_t> open = background();
    game.objectCount = 0;
    buildRaceBackground();
    EXPECT_NE(open, background()) << "the barrel shows on flat ground";

    // A ridge across the square just in front of the barrel, high enough to cover it.
    for (int i = 0; i < heightMapSide; ++i)
        for (int k = 46; k < 49; ++k) game.heightMap[k * 64 + i] = 220;
    game.objectCount = 1;
    buildRaceBackground();
    std::vector<uint8_t> hidden = background();
    game.objectCount = 0;
    buildRaceBackground();
    EXPECT_EQ(hidden, background()) << "the ridge hides the barrel";
}

TEST_F(Scenery, ObjectShadowsDarkenTheGroundAndNeverTheSky)
{
    frame();
    placeObjects({{4, {50, 0, 50}, {1, 0, 0}}});
    buildRaceBackground();
    int shadowed = 0, changed = 0;
    std::vector<uint8_t> with = background();
    game.objectCount = 0;
    buildRaceBackground();
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            uint8_t before = bg(x, y), after = with[size_t(y) * W + x];
            if (before == after) continue;
            ++changed;
            ASSERT_NE(before, 240) << "nothing is drawn outside the terrain";
            // Ground pixels the tree changed are its shadow, in the ground's shadow colour.
            if (after < 120) shadowed += after == shade(x, y);
        }
    EXPECT_GT(changed, 0);
    EXPECT_GT(shadowed, 50);
}

TEST_F(Scenery, WaterTintsWhatLiesBelowItAndKeepsTheDepth)
{
    for (int k = 0; k < heightMapSide; ++k)
        for (int i = 0; i < heightMapSide; ++i) game.heightMap[k * 64 + i] = uint8_t(i < 32 ? 10 : 60);
    frame();
    buildRaceBackground();
    std::vector<uint16_t> dry(game.depthImage, game.depthImage + W * H);
    game.waterLevel = 1.5f;  // over the low west half only
    buildRaceBackground();
    int wet = 0, dryGround = 0;
    for (int y = 0; y < bottomPanelTop(H); ++y)
        for (int x = 0; x < W; ++x) {
            if (depth(x, y) == 0xFFFF || bg(x, y) >= 144) continue;  // the corner posts grow with the water
            ASSERT_EQ(depth(x, y), dry[size_t(y) * W + x]);
            Vec3 p = world(x, y);
            if (p.x < 25) {
                ++wet;
                ASSERT_TRUE(bg(x, y) >= 120 && bg(x, y) < 144);
                ASSERT_TRUE(shade(x, y) >= 120 && shade(x, y) < 144);
            } else if (p.x > 40) {
                dryGround += bg(x, y) < 120;
            }
        }
    EXPECT_GT(wet, 1000);
    EXPECT_GT(dryGround, 1000);
}

TEST_F(Scenery, CornerPostsStandAtTheFourCorners)
{
    game.waterLevel = 3.0f;  // posts reach above the water
    frame();
    buildRaceBackground();
    for (int corner = 0; corner < 4; ++corner) {
        float x = (corner & 1) ? 100.4f : -0.4f, z = (corner & 2) ? 100.4f : -0.4f;
        ScreenPoint p;
        ASSERT_TRUE(projectPoint(game.cameraPosition, game.cameraMatrix, {x, 4.0f, z}, p));
        int px = std::clamp(int(p.x), 0, W - 1), py = std::clamp(int(p.y), 0, H - 1);
        int found = 0;
        for (int dy = -2; dy <= 2; ++dy)
            for (int dx = -2; dx <= 2; ++dx) {
                int qx = std::clamp(px + dx, 0, W - 1), qy = std::clamp(py + dy, 0, H - 1);
                found += bg(qx, qy) >= 144 && bg(qx, qy) <= 146;
            }
        EXPECT_GT(found, 0) << "corner " << corner;
    }
}

TEST_F(Scenery, BottomPanelHoldsTheTrackRecordBelowTheTerrain)
{
    TempGameFolder folder;
    folder.provideFont();
    ASSERT_EQ(loadFont(), 0);
    frame();
    auto panelInk = [&](int32_t record) {
        game.trackRecords.time[0] = uint16_t(record);
        buildRaceBackground();
        std::vector<uint8_t> rows;
        for (int y = bottomPanelTop(H); y < H; ++y)
            for (int x = 0; x < W; ++x) {
                uint8_t c = bg(x, y);
                EXPECT_TRUE(c == 240 || c == 241 || c == 242) << int(c);
                rows.push_back(c);
            }
        return rows;
    };
    // Times of different lengths, so that even a font of plain cells tells them apart.
    std::vector<uint8_t> b = panelInk(99), a = panelInk(1234);
    EXPECT_GT(std::count(a.begin(), a.end(), 242), 50);
    EXPECT_NE(a, b) << "the record time is written";
    EXPECT_EQ(bg(0, bottomPanelTop(H)), 241);
    EXPECT_EQ(bg(W / 2, H - 1), 241);
    // Text of the same length and scale as "TR: 12.34s": the panel shows that many cells.
    int inkColumns = 0;
    for (int x = 0; x < W; ++x) {
        bool ink = false;
        for (int y = bottomPanelTop(H); y < bottomPanelTop(H) + 2 * game.guiScale + 4 && y < H; ++y) ink |= bg(x, y) == 242;
        inkColumns = ink ? x : inkColumns;
    }
    EXPECT_LE(inkColumns, game.guiScale * int(1 + formatTrackRecord(1234).size()) + 2);
    freeFont();
}

TEST(ObjectModels, EveryKindKeepsToItsBudget)
{
    struct Budget {
        int boxes, triangles, shadows;
    };
    const Budget budget[objectKindCount] = {
        {0, 0, 0},   {1, 0, 0},   {1, 0, 0},   {1, 0, 0},  {1, 8, 4},  {1, 2, 1},   {0, 2, 1},  {1, 3, 0},  {2, 0, 2},
        {0, 13, 0},  {0, 17, 0},  {7, 0, 0},   {11, 11, 2}, {4, 0, 0}, {24, 0, 2},  {4, 25, 4}, {1, 0, 4},  {7, 5, 8},
        {10, 1, 8},  {1, 4, 2},   {1, 4, 2},   {5, 0, 2},  {2, 0, 2},  {4, 0, 2},   {3, 0, 0},  {1, 20, 0}, {4, 0, 6},
        {4, 0, 0},   {3, 0, 0},   {5, 0, 0},   {31, 20, 2}, {0, 0, 0}, {3, 0, 0},
    };
    for (int kind = 0; kind < objectKindCount; ++kind) {
        ModelCounts c = modelPrimitiveCounts(kind);
        EXPECT_LE(c.boxes, budget[kind].boxes) << "kind " << kind;
        EXPECT_LE(c.triangles, budget[kind].triangles) << "kind " << kind;
        EXPECT_LE(c.shadowTriangles, budget[kind].shadows) << "kind " << kind;
        bool hasModel = kind >= 1 && kind <= 32 && kind != 31;
        EXPECT_EQ(c.boxes + c.triangles > 0, hasModel) << "kind " << kind;
    }
    // Kinds 1 to 3 share the one box.
    EXPECT_EQ(modelPrimitiveCounts(1).boxes, 1);
    EXPECT_EQ(modelPrimitiveCounts(33).boxes + modelPrimitiveCounts(255).boxes, 0);
}

TEST_F(Scenery, RepaintingACellChangesOnlyThatCellsGround)
{
    for (int k = 0; k < heightMapSide; ++k)
        for (int i = 0; i < heightMapSide; ++i) game.heightMap[k * 64 + i] = uint8_t(30 + (i * 7 + k * 3) % 25);
    game.viewZoom = 4;  // close enough for cells of several pixels
    frame();
    buildRaceBackground();
    // Two cells in the open and one under a rock, all in view.
    auto cellAt = [&](int x, int y) {
        Vec3 p = world(x, y);
        return std::pair<int, int>{int(p.x / game.surfaceCell), int(p.z / game.surfaceCell)};
    };
    const std::pair<int, int> cells[] = {cellAt(W / 2, H / 2), cellAt(W / 4, H / 3), cellAt(3 * W / 4, 2 * H / 3)};
    Vec3 under = world(3 * W / 4, 2 * H / 3);
    placeObjects({{9, {under.x + 0.3f, 0, under.z - 0.2f}, {1, 0, 0}}});
    buildRaceBackground();
    std::vector<uint8_t> before = background();
    std::vector<uint8_t> shadeBefore(game.shadeImage, game.shadeImage + W * H);
    for (auto [cx, cz] : cells) {
        game.surfaceMap[cz * 512 + cx] = 0;  // asphalt in a field
        repaintCell(cx, cz);
    }
    int changed = 0;
    float cell = game.surfaceCell;
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            size_t i = size_t(y) * W + x;
            if (bg(x, y) == before[i] && game.shadeImage[i] == shadeBefore[i]) continue;
            ++changed;
            ASSERT_LT(before[i], 120) << "only ground pixels change";
            Vec3 p = world(x, y);
            std::pair<int, int> shown{int(std::floor(p.x / cell)), int(std::floor(p.z / cell))};
            ASSERT_TRUE(std::find(std::begin(cells), std::end(cells), shown) != std::end(cells))
                << x << "," << y << " shows cell " << shown.first << "," << shown.second;
            ASSERT_EQ(game.shadeImage[i], 1);
            ASSERT_LE(bg(x, y), 12);
        }
    EXPECT_GT(changed, 12);
    repaintCell(-1, 0);
    repaintCell(0, 512);
}

TEST_F(Scenery, PreviewFitsTheAreaAndLeavesObjectsOutWhenAskedTo)
{
    frame();
    placeObjects({{12, {50, 0, 50}, {1, 0, 0}}, {30, {30, 0, 60}, {0, 0, 1}}});
    auto objectPixels = [&](int faster) {
        game.fasterTrackPreview = faster;
        fillRect(nullptr, 3);
        EXPECT_TRUE(drawTrackPreview({40, 30, 200, 150}));
        EXPECT_TRUE(lockDraw());
        int n = 0, outside = 0;
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x) {
                bool in = x >= 40 && x < 200 && y >= 30 && y < 150;
                if (!in) outside += Screen::at(x, y) != 3;
                else n += Screen::at(x, y) >= 144 && Screen::at(x, y) < 192;
            }
        unlockDraw();
        EXPECT_EQ(outside, 0);
        return n;
    };
    int withObjects = objectPixels(0), faster = objectPixels(1);
    EXPECT_GT(withObjects, 20);
    EXPECT_LT(faster, withObjects / 4) << "only the corner posts keep object colours";
}
