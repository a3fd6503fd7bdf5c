#include "race/car_models.h"
#include "race/car_physics.h"
#include "race/race_reset.h"
#include "state/game_state.h"
#include "state/particle_ring.h"
#include "state/random_table.h"

#include <gtest/gtest.h>

#include <SDL.h>

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <new>
#include <vector>

// Every allocation of the test program is counted, so a step can be shown to make none.
static std::atomic<long> allocations{0};
void* operator new(std::size_t size)
{
    ++allocations;
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
// The library's own nothrow requests (a stable sort's buffer) must come from the same heap.
void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    ++allocations;
    return std::malloc(size ? size : 1);
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {

// A flat square of 512 units, one unit per surface cell, every cell the given ground, and six
// cars on it facing +z with the cursor keys.
class CarPhysics : public ::testing::Test {
protected:
    static constexpr float flying = 50;
    std::vector<uint8_t> surface = std::vector<uint8_t>(surfaceMapCells, 3);
    std::vector<uint8_t> heights = std::vector<uint8_t>(heightMapCells, 0);
    uint8_t keys[keySnapshotSize] = {};

    void SetUp() override
    {
        std::srand(3);
        fillRandomTable();
        allocateParticleRing();
        clearParticles();
        game.surfaceMap = surface.data();
        game.heightMap = heights.data();
        game.trackSize = 512;
        game.surfaceCell = 1;
        game.heightCell = 512.0f / 63;
        game.waterLevel = -100;
        game.keySnapshot = keys;
        game.carCount = maxCars;
        game.racePhase = Racing;
        game.options = OptionsRecord{};
        game.options.effects = 256;
        game.options.fuelMass = 100;
        game.options.fuelConsumption = 50;
        game.options.tyreWear = 50;
        game.skidLevel = 0;
        for (int i = 0; i < maxCars; ++i) {
            game.carModels[i] = generalCarModel();
            game.cars[i] = CarState{};
            resetCarForRace(i, i);
            CarState& c = game.cars[i];
            c.positionVector = {100.0f + 20 * i, flying, 100};
            c.rightAxis = {1, 0, 0};
            c.upAxis = {0, 1, 0};
            c.forwardAxis = {0, 0, 1};
            c.upsideDownCounter = 0;
            uint32_t codes[4] = {SDLK_UP, SDLK_DOWN, SDLK_LEFT, SDLK_RIGHT};
            for (int k = 0; k < 4; ++k) c.controls[k] = codes[k];
        }
    }
    void TearDown() override
    {
        game.surfaceMap = nullptr;
        game.heightMap = nullptr;
        game.keySnapshot = nullptr;
        game.options.goofyReverse = 0;
    }

    // What resting on flat ground leaves for the next step: a load on every wheel, the wheel
    // points under the car, no vertical motion. The car is held well above the real ground,
    // so these loads are the only ones.
    static void onGround(int car, float load = 0.05f)
    {
        CarState& c = game.cars[car];
        const CarModel& m = game.carModels[car];
        for (int w = 0; w < 4; ++w) {
            Vec3 p = m.wheelPositions[w];
            Vec3 at = c.positionVector + c.rightAxis * p.x + c.upAxis * p.y + c.forwardAxis * p.z;
            c.wheelPoints[w] = {at.x, 0, at.z};
            c.wheelLoads[w] = load;
        }
        c.bodyLoad = 0;
        c.loadShare = 0;
        c.positionVector.y = flying;
        c.velocity.y = 0;
    }
    static void drive(int car, int steps)
    {
        for (int s = 0; s < steps; ++s) {
            onGround(car);
            carStep(car);
        }
    }
    static bool finite(Vec3 v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }
};

// The first step's engine load from rest is 0.49 (Gt + Gs), which shows the grip and tyre
// factor the step worked with.
float gripSeen(int car, float load, float corneringFactor)
{
    float sum = game.cars[car].engineLoad / 0.49f;  // Gt + Gs = load x g x t x (4 + 1.8 x cf) + 0.2
    return (sum - 0.2f) / (load * (4 + 4 * corneringFactor * 0.45f));
}

TEST_F(CarPhysics, GripFollowsTheGroundAndTheTyres)
{
    const CarModel& m = game.carModels[0];
    std::fill(surface.begin(), surface.end(), 4);  // band 1..7, half way
    onGround(0, 1.0f);
    carStep(0);
    EXPECT_NEAR(gripSeen(0, 1.0f, m.corneringFactor), (m.gripTable[1] + m.gripTable[2]) / 2, 1e-4);

    game.carCount = 1;  // time trial: the band's top value
    game.cars[0].engineLoad = 0;
    onGround(0, 1.0f);
    carStep(0);
    EXPECT_NEAR(gripSeen(0, 1.0f, m.corneringFactor), m.gripTable[2], 1e-4);

    // Worn-out tyres keep 64 % of the grip.
    game.cars[0].engineLoad = 0;
    game.cars[0].tyres = 0;
    onGround(0, 1.0f);
    carStep(0);
    EXPECT_NEAR(gripSeen(0, 1.0f, m.corneringFactor), 0.64f * m.gripTable[2], 1e-4);
}

TEST_F(CarPhysics, AnEmptyTankStillCrawls)
{
    keys[SDLK_UP] = 1;
    game.cars[1].fuel = 0;
    drive(0, 200);
    drive(1, 200);
    float full = dot(game.cars[0].velocity, game.cars[0].forwardAxis);
    float empty = dot(game.cars[1].velocity, game.cars[1].forwardAxis);
    EXPECT_GT(empty, 0.5f);
    EXPECT_LT(empty, full);
    EXPECT_LT(game.cars[0].fuel, 65535);
    EXPECT_EQ(game.cars[1].fuel, 0);

    // In the air the wheels alone spin up: 14.71 more on the square each step.
    CarState& c = game.cars[2];
    c.fuel = 0;
    c.wheelSpeed = 1;
    carStep(2);
    EXPECT_NEAR(c.wheelSpeed * c.wheelSpeed, 1 + 14.71f, 1e-3);
}

TEST_F(CarPhysics, DamageFrom5000PuffsSmokeAndStopsTheEngineInBursts)
{
    keys[SDLK_UP] = 1;
    CarState& c = game.cars[0];
    c.damage = 4999;
    c.engineCountdown = 0;
    carStep(0);
    EXPECT_EQ(c.engineCountdown, 10);
    EXPECT_EQ(game.particleNext, 0);

    c.damage = 5000;
    c.engineCountdown = 0;
    carStep(0);
    EXPECT_EQ(game.particles[0].type, 0);
    EXPECT_EQ(game.particles[0].life, 100);
    EXPECT_NEAR(game.particles[0].position.z, c.positionVector.z - 1.8f, 0.1f);

    // Counting down through 9 and below the engine does not pull.
    c.engineCountdown = 5;
    c.wheelSpeed = 0;
    c.velocity = Vec3{};
    carStep(0);
    EXPECT_EQ(c.engineCountdown, 4);
    EXPECT_LT(c.wheelSpeed, 1.0f);
}

TEST_F(CarPhysics, ACarOnItsRoofIsTurnedBackWithoutDriverInput)
{
    keys[SDLK_UP] = 1;
    CarState& c = game.cars[0];
    c.upAxis = normalised({0.2f, -1, 0});  // rolled over about the forward axis
    c.rightAxis = normalised({-1, -0.2f, 0});
    float startUp = c.upAxis.y;
    carStep(0);
    EXPECT_EQ(c.upsideDownCounter, 1000);
    EXPECT_GT(c.upAxis.y, startUp);  // the short way round
    int steps = 1;
    while (c.upAxis.y <= 0 && steps < 300) {
        EXPECT_LT(std::fabs(c.wheelSpeed), 0.5f);  // accelerate is ignored
        carStep(0);
        ++steps;
    }
    EXPECT_GT(c.upAxis.y, 0);
    carStep(0);
    EXPECT_EQ(c.upsideDownCounter, 0);
    c.angularVelocity = Vec3{};
    carStep(0);
    EXPECT_GT(c.wheelSpeed, 5);  // the driver has the car again
}

TEST_F(CarPhysics, SteeringTurnsTheNoseAndReversesBackwardsUnlessGoofy)
{
    keys[SDLK_LEFT] = 1;
    game.cars[0].velocity = {0, 0, 10};
    game.cars[1].velocity = {0, 0, -10};
    game.cars[1].wheelSpeed = -10;
    drive(0, 20);
    drive(1, 20);
    EXPECT_LT(game.cars[0].forwardAxis.x, -0.05f);  // left: away from the right axis
    EXPECT_GT(game.cars[1].forwardAxis.x, 0.05f);   // backwards the wheel turns the tail
    game.options.goofyReverse = 1;
    game.cars[2].velocity = {0, 0, -10};
    game.cars[2].wheelSpeed = -10;
    drive(2, 20);
    EXPECT_LT(game.cars[2].forwardAxis.x, -0.05f);
    for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(dot(game.cars[i].forwardAxis, game.cars[i].forwardAxis), 1, 1e-5);
        EXPECT_NEAR(dot(game.cars[i].forwardAxis, game.cars[i].rightAxis), 0, 1e-5);
    }
}

TEST_F(CarPhysics, SlidesScreechAndMarkTheGroundBesideTheWheels)
{
    auto marked = [&] {
        int n = 0;
        for (uint8_t v : surface) n += v == 41;
        return n;
    };
    keys[SDLK_UP] = 1;
    drive(0, 100);  // wheelspin pulls straight: neither screech nor marks
    EXPECT_EQ(game.skidLevel, 0);
    EXPECT_EQ(marked(), 0);

    keys[SDLK_UP] = 0;
    CarState& c = game.cars[1];
    c.velocity = c.rightAxis * 20.0f;
    uint32_t marks = game.surfaceMarks;
    drive(1, 20);
    EXPECT_GT(game.skidLevel, 0);
    EXPECT_GT(marked(), 0);
    // Every marked cell is counted, so that what was read of the ground before is read anew.
    EXPECT_EQ(game.surfaceMarks - marks, uint32_t(marked()));
}

TEST_F(CarPhysics, WaterSlowsTheCarAndItSkimsAtSpeed)
{
    game.waterLevel = 30;
    CarState& deep = game.cars[0];
    CarState& dry = game.cars[1];
    CarState& skim = game.cars[2];
    deep.positionVector.y = 20;
    dry.positionVector.y = 50;
    skim.positionVector.y = 29.8f;
    for (CarState* c : {&deep, &dry, &skim}) c->velocity = {0, 0, 40};
    for (int i = 0; i < 3; ++i) carStep(i);
    EXPECT_LT(deep.velocity.z, dry.velocity.z);
    EXPECT_NEAR(40 - deep.velocity.z, 9 * (40 - dry.velocity.z), 0.05f);
    EXPECT_GT(skim.velocity.y, 0);  // the lift beats gravity at 40 units a second
    EXPECT_EQ(deep.wheelDirt[0], 0);
}

TEST_F(CarPhysics, OddModelsAndPlacesLeaveEveryCarFinite)
{
    keys[SDLK_UP] = keys[SDLK_LEFT] = 1;
    float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
    game.carModels[0].mass = -200;  // with an empty tank the mass factor would divide by zero
    game.cars[0].fuel = 0;
    game.carModels[1].ellipsoid = Vec3{};
    game.carModels[1].topSpeed = 0;
    game.carModels[2].airDrag = nan;
    game.carModels[3].enginePower = inf;
    game.carModels[3].slipStiffness = -inf;
    game.cars[4].positionVector = {-5000, flying, 1e7f};  // far beyond the walls
    game.cars[5].velocity = {inf, 0, 0};
    game.cars[1].forwardAxis = game.cars[1].rightAxis;  // a frame with no room to turn in
    game.waterLevel = flying + 0.2f;  // half under water
    for (int step = 0; step < 100; ++step)
        for (int i = 0; i < maxCars; ++i) {
            onGround(i);
            carStep(i);
            const CarState& c = game.cars[i];
            ASSERT_TRUE(finite(c.positionVector) && finite(c.velocity) && finite(c.angularVelocity)) << i;
            ASSERT_TRUE(finite(c.forwardAxis) && finite(c.upAxis) && finite(c.rightAxis)) << i;
            ASSERT_TRUE(std::isfinite(c.massFactor) && std::isfinite(c.wheelSpeed)) << i;
        }
    EXPECT_GT(game.cars[0].mass, 0);
    EXPECT_NEAR(dot(game.cars[1].forwardAxis, game.cars[1].forwardAxis), 1, 1e-4);
    EXPECT_NEAR(dot(game.cars[1].forwardAxis, game.cars[1].rightAxis), 0, 1e-4);
    const Vec3& p = game.cars[4].positionVector;
    EXPECT_TRUE(p.x >= -1 && p.x <= 513 && p.z >= -1 && p.z <= 513);
}

// The one-test shortcut of the finite check may only say "finite" where every field is, and
// must say it for the ordinary and the merely large numbers a race can hold.
TEST_F(CarPhysics, TheFiniteShortcutNeverPassesANaNOrInfinity)
{
    CarState base = game.cars[0];
    base.velocity = {3, -1e-40f, 2};  // a denormal
    base.angularVelocity = {-0.0f, 0, 1e30f};
    ASSERT_TRUE(carNumbersFinite(base));
    auto fieldsOf = [&](CarState& c) {
        std::vector<float*> f;
        for (Vec3* v : {&c.positionVector, &c.velocity, &c.angularVelocity, &c.rightAxis, &c.upAxis, &c.forwardAxis})
            f.insert(f.end(), {&v->x, &v->y, &v->z});
        f.push_back(&c.wheelSpeed);
        for (float& l : c.wheelLoads) f.push_back(&l);
        f.insert(f.end(), {&c.bodyLoad, &c.loadShare, &c.slip[0], &c.slip[1], &c.massFactor, &c.mass,
                           &c.engineLoad, &c.speedFactor});
        for (Vec3& w : c.wheelPoints) f.insert(f.end(), {&w.x, &w.y, &w.z});
        return f;
    };
    const float inf = std::numeric_limits<float>::infinity(), big = std::numeric_limits<float>::max();
    const struct {
        float value;
        bool finite;
    } cases[] = {{std::numeric_limits<float>::quiet_NaN(), false}, {-std::numeric_limits<float>::quiet_NaN(), false},
                 {std::numeric_limits<float>::signaling_NaN(), false}, {inf, false}, {-inf, false},
                 {big, true}, {-big, true}, {-1e38f, true}, {std::numeric_limits<float>::denorm_min(), true}};
    size_t count = fieldsOf(base).size();
    EXPECT_EQ(count, 43u);
    for (size_t i = 0; i < count; ++i)
        for (const auto& k : cases) {
            CarState c = base;
            *fieldsOf(c)[i] = k.value;
            EXPECT_EQ(carNumbersFinite(c), k.finite) << "field " << i << " value " << k.value;
            // Two huge numbers of one sign overflow the sum: the answer is "look field by field",
            // never a pass for a state holding an infinity beside them.
            *fieldsOf(c)[(i + 1) % count] = k.value > 0 ? big : -big;
            if (!k.finite) {
                EXPECT_FALSE(carNumbersFinite(c)) << "field " << i;
            }
        }
}

TEST_F(CarPhysics, AStepAllocatesNothing)
{
    keys[SDLK_UP] = keys[SDLK_RIGHT] = 1;
    game.cars[3].controls[0] = 0;  // a computer driver
    game.cars[3].controls[1] = 120;
    game.cars[2].damage = 30000;
    drive(0, 1);
    long before = allocations;
    for (int step = 0; step < 100; ++step)
        for (int i = 0; i < maxCars; ++i) {
            onGround(i);
            carStep(i);
        }
    EXPECT_EQ(allocations - before, 0);
}

}  // namespace
