#include "race/car_models.h"
#include "render/car_view.h"
#include "render/race_view.h"
#include "track/ghost_lap.h"
#include "race_scene.h"
#include "render_fixture.h"

#include <algorithm>
#include <vector>

namespace {

// One flat face in front of a camera at (0, 0, -10) looking along +z, its car standing at
// the origin with the world's axes: the face lies at depth 10, a unit there is 10 pixels.
class Painter : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(screen.ok);
        const float identity[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
        std::copy(identity, identity + 9, game.cameraMatrix);
        game.cameraPosition = {0, 0, -10};
        game.waterLevel = -100;
        game.carCount = 1;
        game.racePhase = Racing;
        CarModel& m = game.carModels[0];
        m = CarModel{};
        m.vertexCount = 3;
        m.vertices[0] = {-3, -3, 0}, m.vertices[1] = {3, -3, 0}, m.vertices[2] = {0, 3, 0};
        m.triangleIndexCount = 3;
        m.triangles[0] = 0, m.triangles[1] = 2, m.triangles[2] = 1;  // facing the camera
        m.triangleColours[0] = 9;
        m.noHead = 1;
        CarState& s = game.cars[0];
        s = CarState{};
        s.rightAxis = {1, 0, 0}, s.upAxis = {0, 1, 0}, s.forwardAxis = {0, 0, 1};
        fillRect(nullptr, 0);
        ASSERT_TRUE(allocateSceneImages(100, 80));
        ASSERT_TRUE(lockDraw());
    }
    void TearDown() override { racescene::clearScene(); }
    // All four wheels at depth 10 + dz, in the middle of the face.
    static void wheelsAt(float dz)
    {
        for (int w = 0; w < 4; ++w) {
            game.carModels[0].wheelPositions[w] = {0, 0, dz};
            game.carModels[0].wheelRadius[w] = 1;
        }
    }
    static uint8_t centre(void (*draw)())
    {
        fillRect(nullptr, 0);
        draw();
        return Screen::at(50, 40);
    }
    Screen screen{100, 80};
};

}  // namespace

TEST_F(Painter, SortedDrawsWhatIsNearerLastAndTheFixedOrderPutsFacesOverWheels)
{
    wheelsAt(-2);  // nearer than the face
    EXPECT_EQ(centre(drawCarsSorted), 169);
    EXPECT_EQ(centre(drawCarsFixed), 9);
    wheelsAt(2);   // behind it
    EXPECT_EQ(centre(drawCarsSorted), 9);
    EXPECT_EQ(centre(drawCarsFixed), 9);

    // Wheels under the water take the water-tinted slot.
    wheelsAt(-2);
    game.waterLevel = 1;
    EXPECT_EQ(centre(drawCarsSorted), 171);
    game.waterLevel = -100;

    // TyreAutoSort picks the variant once; drawCars follows the pick.
    selectCarView(0);
    EXPECT_EQ(centre(drawCars), 9);
    selectCarView(1);
    EXPECT_EQ(centre(drawCars), 169);
}

TEST_F(Painter, PitCrewsTakePartInTheSameFarToNearOrder)
{
    wheelsAt(30);  // out of the way
    racescene::placePitBox(0, 0, 0, 0, 100);
    for (float z : {-3.0f, 3.0f}) {
        for (PitCrewMember& c : game.pitBoxes[0].crew) c.position = {0, 0, z};
        uint8_t sorted = centre(drawCarsSorted), fixed = centre(drawCarsFixed);
        if (z < 0) {
            EXPECT_TRUE(sorted >= 168 && sorted <= 170) << int(sorted);
            EXPECT_TRUE(fixed >= 168 && fixed <= 170) << int(fixed);
        } else {
            EXPECT_EQ(sorted, 9);
            EXPECT_EQ(fixed, 9);
        }
    }
    // The cap of an owned box is in its car's colour, of a free one grey.
    for (PitCrewMember& c : game.pitBoxes[0].crew) c.position = {0, -1, -3};
    game.pitBoxes[0].owner = 0;
    fillRect(nullptr, 0);
    drawCarsSorted();
    EXPECT_GT(Screen::count(197), 0);
}

namespace {

// The flat race ground at 320 x 240 with a car of the built-in model in the middle.
class CarsOnGround : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(screen.ok);
        racescene::flatGround(16);
        game.startLight = -1;
        game.racePhase = Racing;
        game.carCount = 1;
        racescene::placeCar(0, generalCarModel(), 8, 8, 0.4f);
        selectCarView(1);
    }
    void TearDown() override
    {
        racescene::clearScene();
        freeGhost();
    }
    static uint8_t background(int x, int y)
    {
        return static_cast<uint8_t*>(game.backgroundSurface->pixels)[size_t(y) * game.backgroundSurface->pitch + x];
    }
    static bool carColour(uint8_t c) { return c >= 192 || c == 169; }
    static std::vector<uint8_t> picture()
    {
        std::vector<uint8_t> p;
        lockDraw();
        for (int y = 0; y < 240; ++y)
            for (int x = 0; x < 320; ++x) p.push_back(Screen::at(x, y));
        unlockDraw();
        return p;
    }
    Screen screen{320, 240};
};

}  // namespace

TEST_F(CarsOnGround, ShadowsTakeTheShadeImageOnceHoweverManyOverlap)
{
    // Every pixel its own shade, so that shading a shaded pixel again would show.
    for (int i = 0; i < 320 * 240; ++i) game.shadeImage[i] = uint8_t(100 + i % 7);
    game.cars[0].positionVector.y = 3;  // lifted: the shadows lie apart from the body
    ASSERT_TRUE(drawRaceView(0));
    std::vector<uint8_t> once = picture();
    int shaded = 0;
    for (int y = 0; y < 240; ++y)
        for (int x = 0; x < 320; ++x) {
            uint8_t v = once[size_t(y) * 320 + x];
            if (v == background(x, y) || carColour(v)) continue;
            EXPECT_EQ(v, game.shadeImage[y * 320 + x]) << x << "," << y;
            ++shaded;
        }
    EXPECT_GT(shaded, 100);
    // Body and wheel shadows over each other, drawn again: nothing gets darker.
    lockDraw();
    drawCars();
    unlockDraw();
    EXPECT_EQ(picture(), once);
}

TEST_F(CarsOnGround, NothingMovingShowsWhereTheTerrainIsNearer)
{
    ASSERT_TRUE(drawRaceView(0));
    std::vector<uint8_t> open = picture();
    int left = 0, right = 0;
    for (int y = 0; y < 240; ++y)
        for (int x = 0; x < 320; ++x) (x < 160 ? left : right) += open[size_t(y) * 320 + x] != background(x, y);
    ASSERT_GT(left, 20);  // the car stands across the middle column
    ASSERT_GT(right, 20);

    // A hill close to the camera over the left half.
    for (int y = 0; y < 240; ++y)
        for (int x = 0; x < 160; ++x) game.depthImage[y * 320 + x] = uint16_t(depthValue(1.0f));
    ASSERT_TRUE(drawRaceView(0));
    std::vector<uint8_t> hidden = picture();
    int changedLeft = 0, changedRight = 0;
    for (int y = 0; y < 240; ++y)
        for (int x = 0; x < 320; ++x) {
            bool changed = hidden[size_t(y) * 320 + x] != background(x, y);
            (x < 160 ? changedLeft : changedRight) += changed;
        }
    EXPECT_EQ(changedLeft, 0);
    EXPECT_EQ(changedRight, right);
}

TEST_F(CarsOnGround, TheGhostShowsOnlyInAOneCarRaceWithTheOptionOnAndNotInAReplay)
{
    racescene::placeCar(0, generalCarModel(), 8, -400, 0);  // the car itself out of sight
    racescene::placeCar(1, generalCarModel(), 8, -400, 0);
    game.carCount = 1;
    clearGhost();
    game.ghostBest = 1;
    game.ghostBestSteps = 10;
    for (int i = 0; i < 10; ++i) {
        const CarState& s = game.cars[0];
        game.ghostBuffers[1][i] = {{2.0f + 1.2f * i, 0.6f, 8}, s.rightAxis, s.upAxis, s.forwardAxis};
    }
    game.options.ghostCar = 1;
    game.raceClock = 105;
    game.cars[0].lastCrossing = 100;  // five steps into the lap: the sample at x = 8
    // A dark body inside a light rim, with a light nose ahead of its middle.
    constexpr uint8_t body = 1, rim = 242;
    auto ghostPixels = [] {
        drawRaceView(0);
        lockDraw();
        int n = Screen::count(body) + Screen::count(rim);
        unlockDraw();
        return n;
    };
    ASSERT_GT(ghostPixels(), 50);
    ScreenPoint at, early, nose;
    const CarState& s = game.cars[0];
    float front = 0;
    for (int i = 0; i < modelVertexCount(game.carModels[0]); ++i) front = std::max(front, game.carModels[0].vertices[i].z);
    Vec3 middle{8, 0.6f, 8};
    ASSERT_TRUE(projectPoint(game.cameraPosition, game.cameraMatrix, middle, at));
    ASSERT_TRUE(projectPoint(game.cameraPosition, game.cameraMatrix, {2, 0.6f, 8}, early));
    ASSERT_TRUE(projectPoint(game.cameraPosition, game.cameraMatrix, middle + s.forwardAxis * (front * 0.75f), nose));
    lockDraw();
    EXPECT_GT(Screen::count(body), 30);
    EXPECT_GT(Screen::count(rim), 20);
    EXPECT_EQ(Screen::at(int(at.x), int(at.y)), body);
    EXPECT_EQ(Screen::at(int(nose.x), int(nose.y)), rim);
    EXPECT_NE(Screen::at(int(early.x), int(early.y)), body);
    // The rim closes round the body: no body pixel touches the ground beside it.
    for (int y = 1; y < 239; ++y)
        for (int x = 1; x < 319; ++x) {
            if (Screen::at(x, y) != body) continue;
            for (auto [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}}) {
                uint8_t n = Screen::at(x + dx, y + dy);
                EXPECT_TRUE(n == body || n == rim) << x << "," << y;
            }
        }
    unlockDraw();

    game.carCount = 2;
    EXPECT_EQ(ghostPixels(), 0);
    game.carCount = 1;
    game.options.ghostCar = 0;
    EXPECT_EQ(ghostPixels(), 0);
    game.options.ghostCar = 1;
    game.racePhase = Replay;
    EXPECT_EQ(ghostPixels(), 0);
    game.racePhase = Racing;
    game.raceClock = 110;  // past the ghost's lap
    EXPECT_EQ(ghostPixels(), 0);
    game.raceClock = 99;   // before the crossing
    EXPECT_EQ(ghostPixels(), 0);
}
