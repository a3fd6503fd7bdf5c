// Every object kind placed on flat ground and driven at from its four sides: the car stops, or
// is thrown off, where the race view draws the object, and passes a car beside it untouched.
#include "contact_world.h"

#include "race/object_shapes.h"
#include "render/object_models.h"
#include "state/object_sizes.h"

#include <cmath>
#include <cstdlib>
#include <limits>

namespace {

constexpr float none = std::numeric_limits<float>::quiet_NaN();

enum Meets { hard, soft, rideOver, nothing };

// What the model draws between the ground and a car's roof, in the object's frame (x to its
// right, z along its direction), as read off the drawn model.
struct DrawnObject {
    int kind;
    Meets meets;
    float xLine, fromWest, fromEast;    // cars along x on the line z = xLine: where their nose stops
    float zLine, fromSouth, fromNorth;  // cars along z on the line x = zLine
    float xMin, xMax, zMin, zMax;       // the whole footprint at car height
    float through = none;               // a line x = through that cars along z pass freely
    float sink = 0.15f;                 // how far a nose may press into the drawing
    float nearGap = 0.3f;               // the closest a car passes beside it untouched
};

const DrawnObject drawn[] = {
    {1, hard, 0, -0.5f, 0.5f, 0, -1.5f, 1.5f, -0.5f, 0.5f, -1.5f, 1.5f},
    {2, hard, 0, -0.5f, 0.5f, 0, -1.5f, 1.5f, -0.5f, 0.5f, -1.5f, 1.5f},
    {3, hard, 0, -0.5f, 0.5f, 0, -1.5f, 1.5f, -0.5f, 0.5f, -1.5f, 1.5f},
    {4, hard, 0, -0.3f, 0.3f, 0, -0.3f, 0.3f, -0.3f, 0.3f, -0.3f, 0.3f},
    {5, hard, 0, -0.3f, 0.3f, 0, -0.3f, 0.3f, -0.3f, 0.3f, -0.3f, 0.3f},
    {6, soft, 0, -2.76f, 2.76f, 0, -2.76f, 2.76f, -2.76f, 2.76f, -2.76f, 2.76f, none, 1.6f},  // ploughs in
    {7, hard, 0, -0.15f, 0.15f, 0, -0.15f, 0.15f, -0.15f, 0.15f, -0.15f, 0.15f},
    {8, hard, 0, -0.15f, 0.15f, 0, -0.15f, 0.15f, -0.15f, 0.15f, -0.15f, 0.15f},
    {9, soft, 0, -1.5f, 1.5f, 0, -1.5f, 1.5f, -1.6f, 1.6f, -1.6f, 1.6f, none, 0.8f},
    {10, rideOver, 0, -0.75f, 0.75f, 0, -0.75f, 0.75f, -0.75f, 0.75f, -0.75f, 0.75f},
    {11, hard, 0, 3.6f, 4.0f, 0, -5.5f, 5.5f, -4.0f, 4.0f, -5.5f, 5.5f},  // open to the west
    {12, hard, 0, -5.25f, 5.0f, 0, -6.0f, 6.0f, -5.25f, 5.0f, -6.0f, 6.0f},
    {13, hard, 0, -2.61f, 2.5f, 0, -3.0f, 3.0f, -2.61f, 2.5f, -3.0f, 3.0f},
    {14, hard, 0, -3.6f, 4.2f, 0, -10.0f, 10.0f, -3.6f, 4.2f, -10.0f, 10.0f},
    {15, hard, 0, -3.54f, 3.54f, 0, -3.54f, 3.54f, -3.54f, 3.54f, -3.54f, 3.54f},
    {16, hard, 0, -0.15f, 0.15f, 0, -3.0f, 3.0f, -0.15f, 0.15f, -3.0f, 3.0f},
    {17, hard, 0, -4.13f, 4.0f, 0, -5.0f, 5.0f, -4.13f, 4.0f, -5.0f, 5.0f},
    {18, hard, 1.8f, -1.95f, 1.95f, 1.8f, -1.95f, 1.95f, -1.95f, 1.95f, -1.95f, 1.95f, 0},  // legs only
    // The lowest branches are drawn 1.5 high, but the soft lower crown hangs to 1.0 by the trunk.
    {19, hard, 0, -0.3f, 0.3f, 0, -0.3f, 0.3f, -0.3f, 0.3f, -0.3f, 0.3f, none, 0.15f, 1.0f},
    {20, hard, 0, -0.35f, 0.35f, 0, -0.35f, 0.35f, -0.35f, 0.35f, -0.35f, 0.35f},
    {21, hard, 0, -0.05f, 0.18f, 0, -4.0f, 4.0f, -0.05f, 0.18f, -4.0f, 4.0f},
    {22, hard, 0, -0.04f, 0.04f, 0, -4.0f, 4.0f, -0.04f, 0.04f, -4.0f, 4.0f},
    {23, hard, 0, -7.4f, 7.4f, 7.0f, -0.4f, 0.4f, -7.4f, 7.4f, -0.4f, 0.4f, 0},  // legs only
    {24, hard, 0, -0.85f, 0.85f, 0, -0.85f, 0.85f, -0.85f, 0.85f, -0.85f, 0.85f, none, 0.2f},
    {25, soft, 0, -0.72f, 0.72f, 0, -0.72f, 0.72f, -0.72f, 0.72f, -0.72f, 0.72f, none, 1.5f},
    {26, hard, 0, -0.18f, 0.18f, 0, -0.18f, 0.18f, -0.18f, 0.18f, -0.18f, 0.18f},
    {27, hard, 0, -1.5f, 1.5f, 0, -2.0f, 2.0f, -1.9f, 1.5f, -2.0f, 2.0f},
    {28, hard, 0, -2.5f, 2.5f, 0, -3.5f, 3.5f, -2.5f, 2.5f, -3.5f, 3.5f},
    {29, hard, 0, -0.3f, 0.3f, 0, -5.0f, 5.0f, -0.3f, 0.3f, -5.0f, 5.0f},
    {30, hard, 0, -5.0f, 5.3f, 0, -12.4f, 12.4f, -5.0f, 5.3f, -12.4f, 12.4f},
    {31, nothing, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
    {32, hard, 0, -1.25f, 1.25f, 0, -3.05f, 3.13f, -1.25f, 1.25f, -3.05f, 3.13f},
};

const float heading = 0.6f;
const Vec3 origin{100, 0, 100};
const Vec3 forward{std::cos(heading), 0, -std::sin(heading)};
const Vec3 side{forward.z, 0, -forward.x};
constexpr float speed = 15;

Vec3 world(float x, float z) { return origin + side * x + forward * z + Vec3{0, ContactWorld::groundY(), 0}; }

struct DriveResult {
    float reach;    // farthest the nose got along the way, in the object's frame
    float along;    // speed along the way at the end
    float climb;    // highest the centre rose above where it started
    CarState end;
};

// A car on the line across the object at `lateral`, along local x (alongX) or z, heading to
// +1 or -1, its nose starting `before` short of `start`.
DriveResult drive(bool alongX, float lateral, int sense, float start, int steps)
{
    Vec3 axis = (alongX ? side : forward) * float(sense);
    float x = alongX ? start - sense * (1.8f + 3) : lateral, z = alongX ? lateral : start - sense * (1.8f + 3);
    ContactWorld::place(0, world(x, z) + Vec3{0, 0.55f, 0}, axis);
    ContactWorld::settle(0, 60);
    game.cars[0].velocity = axis * speed;
    float startY = game.cars[0].positionVector.y;
    DriveResult r{-1e9f, 0, 0, {}};
    for (int s = 0; s < steps; ++s) {
        ContactWorld::step(0);
        Vec3 nose = game.cars[0].positionVector + supportPoint(0, axis * -1.0f);
        r.reach = std::max(r.reach, dot(nose - origin, axis));
        r.climb = std::max(r.climb, game.cars[0].positionVector.y - startY);
    }
    r.along = dot(game.cars[0].velocity, axis);
    r.end = game.cars[0];
    return r;
}

}  // namespace

TEST_F(ContactWorld, EveryObjectStopsACarWhereItIsDrawnAndLetsItPassBeside)
{
    for (const DrawnObject& d : drawn) {
        SCOPED_TRACE("kind " + std::to_string(d.kind));
        const std::vector<TrackObject> object{{uint8_t(d.kind), {origin.x, 0, origin.z}, forward}};

        // Four approaches, each aimed at the drawn faces.
        struct Approach {
            bool alongX;
            float lateral;
            int sense;
            float face;
        };
        const Approach approaches[4] = {{true, d.xLine, 1, d.fromWest}, {true, d.xLine, -1, d.fromEast},
                                        {false, d.zLine, 1, d.fromSouth}, {false, d.zLine, -1, d.fromNorth}};
        for (const Approach& a : approaches) {
            SCOPED_TRACE(std::string(a.alongX ? "along x" : "along z") + (a.sense > 0 ? " up" : " down"));
            placeObjects(object);
            DriveResult r = drive(a.alongX, a.lateral, a.sense, a.face, 150);
            float face = a.face * a.sense;
            ASSERT_TRUE(finite(r.end));
            switch (d.meets) {
            case hard:
            case soft:
                EXPECT_GT(r.reach, face - 0.15f) << "stopped short of the drawing: it hit air";
                EXPECT_LT(r.reach, face + d.sink) << "drove into the drawing";
                EXPECT_LT(r.along, 0.5f * speed) << "neither stopped nor thrown off";
                break;
            case rideOver:
                EXPECT_GT(r.climb, 0.05f) << "the car is lifted over it";
                EXPECT_LT(r.along, 0.97f * speed) << "and slowed";
                break;
            case nothing:
                EXPECT_GT(r.reach, face + 5) << "nothing there to stop it";
                break;
            }
        }

        // Beside the object, 0.3 m and a car length clear, and through its open middle: the
        // same run as on an empty track.
        std::vector<std::pair<bool, float>> clearLines;
        for (float gap : {d.nearGap, 3.6f}) {
            clearLines.push_back({true, d.zMax + 1.5f + gap});
            clearLines.push_back({true, d.zMin - 1.5f - gap});
            clearLines.push_back({false, d.xMax + 1.5f + gap});
            clearLines.push_back({false, d.xMin - 1.5f - gap});
        }
        if (!std::isnan(d.through)) clearLines.push_back({false, d.through});
        for (auto [alongX, lateral] : clearLines) {
            for (int sense : {1, -1}) {
                float start = alongX ? (sense > 0 ? d.xMin : d.xMax) : (sense > 0 ? d.zMin : d.zMax);
                int steps = int((std::fabs(d.xMax - d.xMin) + std::fabs(d.zMax - d.zMin) + 12) * 100 / speed);
                placeObjects(object);
                DriveResult with = drive(alongX, lateral, sense, start, steps);
                placeObjects({});
                DriveResult without = drive(alongX, lateral, sense, start, steps);
                float far = (alongX ? (sense > 0 ? d.xMax : d.xMin) : (sense > 0 ? d.zMax : d.zMin)) * sense;
                EXPECT_GT(without.reach, far + 3.6f) << "the run passes the whole object";
                EXPECT_EQ(with.end.positionVector.x, without.end.positionVector.x)
                    << (alongX ? "along x at z " : "along z at x ") << lateral << " sense " << sense;
                EXPECT_EQ(with.end.positionVector.z, without.end.positionVector.z);
                EXPECT_EQ(with.end.velocity.x, without.end.velocity.x);
            }
        }
    }
}

TEST_F(ContactWorld, GroundsAndFloorsOfObjectsCarryTheWheelsWithTheirOwnGrip)
{
    // Parked on the garage floor: the wheels stand on it and take its contact kind.
    placeObjects({{11, {origin.x, 0, origin.z}, forward}});
    place(0, world(0, 0) + Vec3{0, 0.7f, 0}, forward);
    for (int s = 0; s < 300; ++s) step(0);
    const CarState& c = game.cars[0];
    for (int w = 0; w < 4; ++w) {
        EXPECT_EQ(c.wheelContactKind[w], 2);
        EXPECT_NEAR(c.wheelPoints[w].y, groundY() + 0.08f, 1e-3f);
        EXPECT_GT(c.wheelLoads[w], 0.0f);
    }
    // A car small enough to stand on one of the spectators' tiers stands on rough steps.
    placeObjects({{14, {origin.x, 0, origin.z}, forward}});
    place(0, world(-3.0f, 0) + Vec3{0, 1.5f, 0}, forward);
    game.carModels[0].ellipsoid = {0.4f, 0.3f, 0.4f};
    for (int s = 0; s < 300; ++s) step(0);
    for (int w = 0; w < 4; ++w) {
        EXPECT_EQ(game.cars[0].wheelContactKind[w], 3);
        EXPECT_NEAR(game.cars[0].wheelPoints[w].y, groundY() + 0.8f, 1e-3f);
    }
    // The first six objects are the grid: never solid.
    std::vector<TrackObject> grid(maxCars, TrackObject{1, {origin.x, 0, origin.z}, forward});
    game.trackObjects = grid.data();
    game.objectCount = maxCars;
    place(0, world(0, 0) + Vec3{0, 0.55f, 0}, forward);
    game.cars[0].velocity = side * speed;
    Vec3 before = game.cars[0].positionVector;
    objectContacts(0);
    EXPECT_EQ(game.cars[0].positionVector.x, before.x);
}

// The cheap first test of a part may pass over only what the full test would turn away: cars
// placed all round parts, just inside and just outside their reach, far out on big tracks and
// with odd numbers, every answer "beyond reach" confirmed by boxWithinReach.
TEST_F(ContactWorld, APartPassedOverIsOutOfReachByTheFullTestToo)
{
    std::srand(7);
    auto random = [](float lo, float hi) { return lo + (hi - lo) * float(std::rand()) / float(RAND_MAX); };
    int passedOver = 0, near = 0;
    for (int trial = 0; trial < 20000; ++trial) {
        float far = trial % 4 == 0 ? 9990.0f : 500.0f;
        float turn = random(-4, 4);
        Vec3 ahead = normalised(Vec3{std::cos(turn), 0, std::sin(turn)});
        Vec3 across{ahead.z, 0, -ahead.x};
        Vec3 at{random(-far, far), random(-far, far), random(-far, far)};
        float x = random(-12, 12), y = random(-1, 12), z = random(-12, 12);
        float half[3] = {random(0.02f, 6), random(0.02f, 6), random(0.02f, 6)};
        if (trial % 5 == 1) half[1] = half[2] = 1e-4f;  // a thin rod: its corners as far as its diagonal
        place(0, {}, {0, 0, 1});
        game.carModels[0].ellipsoid = {random(0.1f, 3), random(0.1f, 3), random(0.1f, 3)};
        Vec3 centre = at + across * x + Vec3{0, y, 0} + ahead * z;  // as the part's own test places it
        const Vec3& e = game.carModels[0].ellipsoid;
        float reach = std::max(e.x, std::max(e.y, e.z)) +
                      std::sqrt(half[0] * half[0] + half[1] * half[1] + half[2] * half[2]);
        // Around the full test's edge, and out to the shortcut's own.
        float d = reach + random(-0.02f, 0.02f) + (trial % 3 == 0 ? 0.1f : 0.0f);
        float u = random(-1, 1), phi = random(0, 6.3f), r = std::sqrt(1 - u * u);
        game.cars[0].positionVector = centre + Vec3{r * std::cos(phi), u, r * std::sin(phi)} * d;
        Vec3 local = carInObjectFrame(0, at, across, ahead);
        float radius = partTestRadius(0, at, across, ahead);
        bool beyond = partBeyondReach(local, radius, x, y, z, partHalfDiagonal(half[0], half[1], half[2]));
        bool within = boxWithinReach(0, centre, half);
        ASSERT_FALSE(beyond && within) << "trial " << trial;
        passedOver += beyond;
        near += within;
    }
    EXPECT_GT(passedOver, 2000);  // the shortcut does its work
    EXPECT_GT(near, 2000);

    // Numbers the margin is not made for: nothing is passed over.
    const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
    const Vec3 east{1, 0, 0}, north{0, 0, 1}, there{50, 1, 100};
    place(0, {100, 1, 100}, {0, 0, 1});
    Vec3 local = carInObjectFrame(0, there, north, east);
    float radius = partTestRadius(0, there, north, east);
    EXPECT_TRUE(partBeyondReach(local, radius, 0, 0, 0, partHalfDiagonal(1, 1, 1)));
    EXPECT_FALSE(partBeyondReach(local, radius, 0, 0, 0, partHalfDiagonal(1, nan, 1)));
    EXPECT_FALSE(partBeyondReach(local, radius, 0, 0, 0, partHalfDiagonal(1, inf, 1)));
    EXPECT_FALSE(partBeyondReach(local, radius, 0, 0, 0, partHalfDiagonal(600, 600, 1))) << "a reach beyond the margin's sizes";
    EXPECT_TRUE(std::isnan(partTestRadius(0, there, north * 1.01f, east))) << "an axis off unit length";
    EXPECT_TRUE(std::isnan(partTestRadius(0, {nan, 1, 100}, north, east)));
    EXPECT_TRUE(std::isnan(partTestRadius(0, {5e4f, 1, 100}, north, east))) << "far out";
    game.carModels[0].ellipsoid = {nan, 1, 1};
    EXPECT_TRUE(std::isnan(partTestRadius(0, there, north, east))) << "an odd model";
    game.carModels[0].ellipsoid = {1, 200, 1};
    EXPECT_TRUE(std::isnan(partTestRadius(0, there, north, east))) << "a huge model";
    place(0, {5e4f, 1, 100}, {0, 0, 1});
    EXPECT_TRUE(std::isnan(carInObjectFrame(0, there, north, east).x)) << "the car far out";
}

TEST(ObjectSizes, EverySolidPartIsDrawn)
{
    for (int kind = 0; kind < objectKindCount; ++kind) {
        const ObjectSizes& s = objectSizes(kind);
        EXPECT_GE(modelPrimitiveCounts(kind).boxes, s.blockCount + s.boxCount) << "kind " << kind;
        EXPECT_EQ(s.reach > 0, kind >= 1 && kind <= 32 && kind != 31) << "kind " << kind;
    }
    EXPECT_EQ(objectSizes(-1).reach + objectSizes(objectKindCount).reach, 0.0f);
}
