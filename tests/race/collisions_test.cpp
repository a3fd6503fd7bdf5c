#include "contact_world.h"
#include "race/object_grid.h"

#include <cmath>
#include <cstring>
#include <limits>

// The lowest point of the car's ellipsoid.
static float lowestPoint(int car)
{
    return game.cars[car].positionVector.y + supportPoint(car, {0, 1, 0}).y;
}

TEST_F(ContactWorld, ACarAtRestSettlesSlightlyIntoTheGroundOnItsFourWheels)
{
    place(0, {100, groundY() + 0.7f, 100}, {0, 0, 1});
    for (int s = 0; s < 400; ++s) step(0);
    const CarState& c = game.cars[0];
    EXPECT_LT(lowestPoint(0), groundY());
    EXPECT_GT(lowestPoint(0), groundY() - 0.1f);
    EXPECT_NEAR(c.velocity.y, 0.0f, 0.05f);
    for (int w = 0; w < 4; ++w) {
        EXPECT_NEAR(c.wheelLoads[w], c.wheelLoads[0], 1e-4f) << "a level car shares its load evenly";
        EXPECT_GT(c.wheelLoads[w], 0.0f);
        EXPECT_EQ(c.wheelContactKind[w], 1);
        EXPECT_FLOAT_EQ(c.wheelPoints[w].y, groundY());
    }
    EXPECT_EQ(c.bodyLoad, 0.0f);
    EXPECT_GT(c.loadShare, 0.0f);
    EXPECT_EQ(sparks(), 0);
    EXPECT_EQ(c.damage, 0);

    // Sunk 0.1 and sinking slowly: the ground takes back 3 % of the depth in one step.
    place(1, {100, groundY() + 0.5f, 100}, {0, 0, 1});
    game.cars[1].velocity = {0, -0.01f, 0};
    groundAndWallContacts(1);
    EXPECT_NEAR(game.cars[1].positionVector.y, groundY() + 0.5f + 0.003f, 1e-5f);
}

TEST_F(ContactWorld, AHigherFloorUnderTheWheelsMarksTheirContactKind)
{
    place(0, {100, groundY() + 0.55f, 100}, {1, 0, 0});
    step(0);
    // A slab whose face lies 5 cm above the ground, under the whole car.
    CarState& c = game.cars[0];
    c.velocity = {0, -1, 0};
    slabContact(0, {100, groundY() - 0.95f, 100}, {0, 1, 0}, 1.0f, {0.1f, 0.3f, 0.03f}, 3);
    for (int w = 0; w < 4; ++w) {
        EXPECT_EQ(c.wheelContactKind[w], 3);
        EXPECT_NEAR(c.wheelPoints[w].y, groundY() + 0.05f, 1e-5f);
    }
    // Touching the car's front: the front wheels (0 and 1) carry it.
    for (int w = 0; w < 4; ++w) c.wheelLoads[w] = 0;
    c.velocity = {0, -1, 0};
    c.upAxis = normalised({0.3f, 1, 0});  // nose down
    c.forwardAxis = normalised(cross(c.rightAxis, c.upAxis));
    slabContact(0, {100, groundY() - 0.95f, 100}, {0, 1, 0}, 1.0f, {0.1f, 0.3f, 0.03f}, 1);
    EXPECT_GT(c.wheelLoads[0] + c.wheelLoads[1], 2 * (c.wheelLoads[2] + c.wheelLoads[3]));
}

// Drives car 0 from x = 10 into the west wall at the given speed until it comes away.
static void driveIntoWall(float speed)
{
    ContactWorld::place(0, {8, ContactWorld::groundY() + 0.55f, 100}, {-1, 0, 0});
    ContactWorld::settle(0, 100);
    game.cars[0].velocity = {-speed, 0, 0};
    for (int s = 0; s < 200 && game.cars[0].velocity.x < 0; ++s) ContactWorld::step(0);
    for (int s = 0; s < 5; ++s) ContactWorld::step(0);  // clear of the wall
}

TEST_F(ContactWorld, AWallThrowsACarBackAtAboutHalfItsSpeedAndDamagesItAboveTheLimit)
{
    driveIntoWall(20);
    const CarState& c = game.cars[0];
    EXPECT_NEAR(c.velocity.x, 10.0f, 1.5f);
    EXPECT_NEAR(c.angularVelocity.y, 0.0f, 0.01f) << "a square hit does not spin the car";
    EXPECT_GT(c.positionVector.x, -1 + 1.7f) << "the nose stays inside the square";
    // e is about (1.5 x 20)^2 = 900: option 100 damages by 100 x e, capped.
    EXPECT_EQ(c.damage, 65535);
    EXPECT_EQ(c.engineCountdown, 0);
    EXPECT_GT(sparks(), 0);

    // Option 5 x 900 = 4500 is below the limit: sparks and impact level, no damage.
    game.options.damage = 5;
    clearParticles();
    game.impactLevel = 0;
    driveIntoWall(20);
    EXPECT_EQ(game.cars[0].damage, 0);
    EXPECT_EQ(game.cars[0].engineCountdown, 10);
    EXPECT_GT(game.impactLevel, 0.0f);

    // Option 7 x e (e a little below 900) is above it.
    game.options.damage = 7;
    driveIntoWall(20);
    EXPECT_GT(game.cars[0].damage, 5000);
    EXPECT_LT(game.cars[0].damage, 7000);

    // Option 0 never damages, however hard, but the sparks still fly.
    game.options.damage = 0;
    clearParticles();
    game.impactLevel = 0;
    driveIntoWall(50);
    EXPECT_EQ(game.cars[0].damage, 0);
    EXPECT_GT(sparks(), 0);
    EXPECT_GT(game.impactLevel, 0.0f);
}

TEST_F(ContactWorld, EveryWallKeepsACarInsideEvenOnceItIsPastIt)
{
    const Vec3 outside[5] = {{-30, 1.5f, 100}, {230, 1.5f, 100}, {100, 1.5f, -30}, {100, 1.5f, 230}, {-50000, 1.5f, 100}};
    for (const Vec3& p : outside) {
        place(0, p, {0, 0, 1});
        Vec3 out = normalised(Vec3{p.x - 100, 0, p.z - 100});
        game.cars[0].velocity = out * 30.0f;
        groundAndWallContacts(0);
        const Vec3& q = game.cars[0].positionVector;
        EXPECT_GE(q.x, -1.0f) << p.x << "," << p.z;
        EXPECT_LE(q.x, 201.0f);
        EXPECT_GE(q.z, -1.0f);
        EXPECT_LE(q.z, 201.0f);
        EXPECT_LT(dot(game.cars[0].velocity, out), 0.0f) << "it heads back in";
    }
}

TEST_F(ContactWorld, OverlappingCarsMoveApartByTheirMasses)
{
    // Side by side, their 1.5 semi-axes overlapping by 0.2.
    place(0, {100, 2, 100}, {0, 0, 1});
    place(1, {102.8f, 2, 100}, {0, 0, 1});
    carCarContact(0, 1);
    EXPECT_NEAR(game.cars[0].positionVector.x, 99.9f, 1e-3f);
    EXPECT_NEAR(game.cars[1].positionVector.x, 102.9f, 1e-3f);
    EXPECT_NEAR(game.cars[0].velocity.x + game.cars[1].velocity.x, 0.0f, 1e-4f) << "momentum is kept";
    EXPECT_GT(game.cars[1].velocity.x, 0.0f);

    // Three times heavier: the light car takes three quarters of the way.
    place(0, {100, 2, 100}, {0, 0, 1});
    place(1, {102.8f, 2, 100}, {0, 0, 1});
    game.cars[1].mass = 1800;
    carCarContact(0, 1);
    EXPECT_NEAR(game.cars[0].positionVector.x, 99.85f, 1e-3f);
    EXPECT_NEAR(game.cars[1].positionVector.x, 102.85f, 1e-3f);

    // Already parting: no contact.
    place(0, {100, 2, 100}, {0, 0, 1});
    place(1, {102.8f, 2, 100}, {0, 0, 1});
    game.cars[1].velocity = {3, 0, 0};
    carCarContact(0, 1);
    EXPECT_FLOAT_EQ(game.cars[0].positionVector.x, 100.0f);

    // Nose to tail at 20 against a standing car: a hard knock, sparks, shared damage.
    place(0, {100, 2, 100}, {0, 0, 1});
    place(1, {100, 2, 103.5f}, {0, 0, 1});
    game.cars[0].velocity = {0, 0, 20};
    game.options.damage = 100;
    carCarContact(0, 1);
    EXPECT_GT(game.cars[1].velocity.z, 10.0f);
    EXPECT_LT(game.cars[0].velocity.z, 10.0f);
    EXPECT_GT(sparks(), 0);
    EXPECT_GT(game.cars[0].damage, 0);
    EXPECT_GT(game.cars[1].damage, 0);
}

TEST_F(ContactWorld, AllPairsAtOnceMeetAsPairByPair)
{
    // Six cars of six sizes in a heap, some pairs touching, some within one radius only.
    auto heap = [] {
        for (int car = 0; car < maxCars; ++car) {
            place(car, {100 + 1.7f * car, 2, 100 + 0.9f * (car % 3)}, {1, 0, 0.3f * car});
            game.carModels[car].ellipsoid = game.carModels[car].ellipsoid * (0.6f + 0.25f * car);
            game.cars[car].velocity = {-2.0f * car, 0, 1.0f * (car % 2)};
        }
    };
    for (int cars : {2, 5, 6, 9}) {
        SCOPED_TRACE(cars);
        heap();
        for (int i = 0; i < std::min(cars, maxCars); ++i)
            for (int j = i + 1; j < std::min(cars, maxCars); ++j) carCarContact(i, j);
        CarState pairByPair[maxCars];
        std::memcpy(pairByPair, game.cars, sizeof pairByPair);
        heap();
        carCarContacts(cars);
        EXPECT_EQ(std::memcmp(pairByPair, game.cars, sizeof pairByPair), 0);
        EXPECT_NE(pairByPair[0].positionVector.x, 100.0f) << "the heap has contacts";
    }
}

TEST_F(ContactWorld, DegenerateShapesAndCarsNeverMakeNaN)
{
    const ContactParams hard{1.5f, 1, 1};
    auto everyContact = [&](int car) {
        Vec3 p = game.cars[car].positionVector;
        game.cars[car].velocity = {-3, -4, 5};
        slabContact(car, p, {0, 0, 0}, 1, hard, 1);
        slabContact(car, p, {0, 1, 0}, 0, hard, 1);
        slabContact(car, p - Vec3{0, 0.1f, 0}, {0, 1, 0}, 0, hard, 2);
        sphereContact(car, p, 1, hard);
        sphereContact(car, p, 0, hard);
        cylinderContact(car, p, {0, 0, 0}, 1, hard);
        cylinderContact(car, p, {0, 1, 0}, 1, hard);
        cylinderContact(car, p + Vec3{0.5f, 0, 0}, {1, 0, 0}, 1, hard);
        const Vec3 axes[3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
        const float half[3] = {0, 0, 0};
        boxContact(car, p, axes, half, hard, hard, 2, false);
        groundAndWallContacts(car);
        carCarContact(0, 1);
    };
    // A model of zero semi-axes.
    place(0, {100, 1.2f, 100}, {0, 0, 1});
    place(1, {100, 1.2f, 100}, {0, 0, 1});
    game.carModels[0].ellipsoid = {0, 0, 0};
    everyContact(0);
    EXPECT_TRUE(finite(game.cars[0]));
    EXPECT_TRUE(finite(game.cars[1]));
    // Axes never set, and a mass that makes the mass factor negative.
    place(0, {100, 1.2f, 100}, {0, 0, 1});
    game.cars[0].rightAxis = game.cars[0].upAxis = game.cars[0].forwardAxis = Vec3{};
    game.cars[0].mass = -200;
    game.cars[0].massFactor = -5;
    game.cars[1].mass = 0;
    everyContact(0);
    EXPECT_TRUE(finite(game.cars[0]));
    EXPECT_TRUE(finite(game.cars[1]));
    // A flat model on a track of size 0.
    game.trackSize = 0;
    game.surfaceCell = game.heightCell = 0;
    place(0, {0, 0.5f, 0}, {0, 0, 1});
    game.carModels[0].ellipsoid = {1.5f, 0, 1.8f};
    everyContact(0);
    EXPECT_TRUE(finite(game.cars[0]));
}

// The grid of nearby objects only saves work: cars driven through a field of every kind end
// exactly where a pass over all objects leaves them, and a grid left from another track is
// not used.
TEST_F(ContactWorld, TheObjectGridTriesTheSameObjectsAsAPassOverAll)
{
    std::vector<TrackObject> field;
    for (int i = 0; i < 120; ++i) {
        float x = 10 + float((i * 37) % 180), z = 10 + float((i * 71) % 180);
        field.push_back(TrackObject{uint8_t(1 + i % 32), {x, 0, z}, normalised(Vec3{float(i % 5) - 2, 0, 1})});
    }
    placeObjects(field);
    auto drive = [&](bool grid) {
        if (grid) buildObjectGrid();
        else ++game.trackGeneration;
        std::vector<CarState> out;
        for (int run = 0; run < 12; ++run) {
            place(0, {5 + 15.0f * float(run), groundY() + 0.5f, 5}, normalised(Vec3{0.3f * float(run % 3), 0, 1}));
            game.cars[0].velocity = game.cars[0].forwardAxis * 25.0f;
            for (int s = 0; s < 700; ++s) step(0);
            out.push_back(game.cars[0]);
        }
        return out;
    };
    std::vector<CarState> all = drive(false), near = drive(true);
    for (size_t i = 0; i < all.size(); ++i) {
        SCOPED_TRACE("run " + std::to_string(i));
        EXPECT_EQ(0, std::memcmp(&all[i].positionVector, &near[i].positionVector, sizeof(Vec3)));
        EXPECT_EQ(0, std::memcmp(&all[i].velocity, &near[i].velocity, sizeof(Vec3)));
        EXPECT_EQ(all[i].damage, near[i].damage);
    }
    // The track's objects are freed and replaced: the old grid must not serve.
    const uint16_t* list = nullptr;
    int count = 0;
    EXPECT_TRUE(objectsNear(100, 100, 2, list, count));
    ++game.trackGeneration;
    EXPECT_FALSE(objectsNear(100, 100, 2, list, count));
}
