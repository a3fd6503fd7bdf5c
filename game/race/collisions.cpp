#include "race/collisions.h"

#include "race/car_models.h"
#include "race/object_grid.h"
#include "race/object_shapes.h"
#include "state/game_state.h"
#include "state/particle_ring.h"
#include "track/terrain_height.h"

#include <algorithm>
#include <cmath>

// Contacts act low on the body: this share of a lever's height is removed.
constexpr float leverFlattening = 0.8f;
static const Vec3 worldUp{0, 1, 0};

// A model file may hold anything; a negative or NaN semi-axis collides as a point.
static float positiveOrZero(float a) { return std::max(0.0f, a); }

static float semiAxis(const CarModel& m, int k)
{
    return positiveOrZero(k == 0 ? m.ellipsoid.x : k == 1 ? m.ellipsoid.y : m.ellipsoid.z);
}

static Vec3 carAxis(const CarState& c, int k)
{
    return k == 0 ? c.rightAxis : k == 1 ? c.upAxis : c.forwardAxis;
}

// Asked for by every contact test of every car: inline, and no branch on which axis.
static inline float boundingRadius(int car)
{
    const Vec3& e = game.carModels[car].ellipsoid;
    return std::max(positiveOrZero(e.x), std::max(positiveOrZero(e.y), positiveOrZero(e.z)));
}


Vec3 supportPoint(int car, const Vec3& n)
{
    const CarState& c = game.cars[car];
    const CarModel& m = game.carModels[car];
    Vec3 sum;
    float s2 = 0;
    for (int k = 0; k < 3; ++k) {
        float a = semiAxis(m, k), ne = dot(n, carAxis(c, k));
        sum = sum + carAxis(c, k) * (a * a * ne);
        s2 += a * a * ne * ne;
    }
    // Zero semi-axes or zero axes: the car touches with its centre.
    if (!(s2 > 1e-20f)) return Vec3{};
    return sum * (-1.0f / std::sqrt(s2));
}

// The ellipsoid's surface normal where it faces a point at this offset from the car's centre:
// the offset taken into the car's frame and divided by the squared semi-axes. Unit, or zero
// when the offset or the car gives no direction.
static Vec3 facingDirection(int car, const Vec3& offset)
{
    const CarState& c = game.cars[car];
    const CarModel& m = game.carModels[car];
    Vec3 n;
    for (int k = 0; k < 3; ++k) {
        float a = semiAxis(m, k);
        n = n + carAxis(c, k) * (dot(offset, carAxis(c, k)) / (a * a + 1e-6f));
    }
    return normalised(n);
}

static Vec3 flattenedLever(const CarState& c, const Vec3& r)
{
    return r - c.upAxis * (leverFlattening * dot(r, c.upAxis));
}

// A push on the body, where no wheel stands, also acts at the height of the car's centre: a
// car pressed against a wall or another car by its engine turns about the vertical, where a
// lever tipped with the car would stand it on its tail or roll it onto its side.
static Vec3 bodyLever(const CarState& c, const Vec3& r)
{
    Vec3 l = flattenedLever(c, r);
    l.y *= 1 - leverFlattening;
    return l;
}

// Share of an impulse J at lever r that moves the car's centre; the rest turns it.
static float impulseShare(const CarState& c, const Vec3& r, const Vec3& J)
{
    Vec3 q = r - J * (dot(J, r) / (dot(J, J) + 0.0001f));
    // A negative mass factor (odd model masses) must not bring the divisor to zero.
    return 1.0f / (dot(q, q) * std::max(c.massFactor, 0.0f) + 1.0f);
}

static void turnBy(CarState& c, const Vec3& r, const Vec3& J, float k)
{
    c.angularVelocity = c.angularVelocity + cross(J, r) * (k * c.massFactor);
}

// Sparks, the impact level and damage from one contact's impact energy.
static void impact(int car, const Vec3& point, float e)
{
    if (!(e > 50.0f)) return;
    CarState& c = game.cars[car];
    startParticle(2, uint8_t(int(50.0f - 5000.0f / (e + 50.0f))), point, c.velocity);
    game.impactLevel += (e - 50.0f) * c.mass * 10000.0f;
    float hit = game.options.damage * e;
    if (hit > 5000.0f) {
        float damage = c.damage + std::trunc(hit);
        c.damage = damage < 65535.0f ? uint16_t(damage) : uint16_t(65535);
        c.engineCountdown = 0;
    }
}

// The wheels' share of a load by where the contact lies on the car, and the wheels standing
// on the face (face point f, normal n) marked with the contact kind.
static void shareAmongWheels(int car, float load, const Vec3& r, int wheelFlag, const Vec3& f, const Vec3& n)
{
    CarState& c = game.cars[car];
    const CarModel& m = game.carModels[car];
    float az = semiAxis(m, 2), ax = semiAxis(m, 0);
    float a = az > 0 ? std::clamp((dot(r, c.forwardAxis) / az + 1) / 2, 0.0f, 1.0f) : 0.5f;
    float b = ax > 0 ? std::clamp((dot(r, c.rightAxis) / ax + 1) / 2, 0.0f, 1.0f) : 0.5f;
    c.wheelLoads[0] += a * b * load;
    c.wheelLoads[1] += a * (1 - b) * load;
    c.wheelLoads[2] += (1 - a) * b * load;
    c.wheelLoads[3] += (1 - a) * (1 - b) * load;
    // A face too steep to stand on lies under no wheel.
    if (!(n.y > 0.001f)) return;
    for (int w = 0; w < 4; ++w) {
        Vec3& p = c.wheelPoints[w];
        float y = f.y - (n.x * (p.x - f.x) + n.z * (p.z - f.z)) / n.y;
        if (y > p.y) {
            p.y = y;
            c.wheelContactKind[w] = uint8_t(wheelFlag);
        }
    }
}

// One contact of the car along n (unit, from the obstacle to the car) at lever r, its contact
// point `penetration` behind the obstacle's face, on the body or, with `body` false, under the
// wheels. Returns the contact's load, or a negative number when the contact point moves out of
// the obstacle.
static float respond(int car, const Vec3& n, const Vec3& r, float penetration, const ContactParams& p, bool body)
{
    CarState& c = game.cars[car];
    Vec3 u = c.velocity + cross(r, c.angularVelocity);
    float un = dot(u, n);
    if (!(penetration > 0) || !(un < 0)) return -1.0f;
    c.positionVector = c.positionVector + n * (p.stiffness * penetration);
    float j = p.bounce * -un + (1 - p.stiffness) * penetration * p.stiffness * 100.0f;
    Vec3 w = (u - n * un) * -1.0f;
    float limit = c.speedFactor * p.friction * std::fabs(j), wl = std::sqrt(dot(w, w));
    if (wl > limit) w = wl > 0 ? w * (limit / wl) : Vec3{};
    Vec3 J = n * j + w;
    Vec3 lever = body ? bodyLever(c, r) : flattenedLever(c, r);
    float k = impulseShare(c, lever, J);
    c.velocity = c.velocity + J * k;
    turnBy(c, lever, J, k);
    impact(car, c.positionVector + r, dot(J, J) * k * k);
    return std::max(j * dot(n, c.upAxis), 0.0f);
}

static void bookLoad(int car, float load, const Vec3& r, int wheelFlag, const Vec3& face, const Vec3& n)
{
    CarState& c = game.cars[car];
    // The body rests on a face only as far as the face holds it up: a wall beside a tipped car
    // carries nothing, and lends the tyres no grip to climb it.
    if (!wheelFlag) load *= std::clamp(n.y / std::max(dot(n, c.upAxis), 1e-6f), 0.0f, 1.0f);
    if (wheelFlag) shareAmongWheels(car, load, r, wheelFlag, face, n);
    else c.bodyLoad += load;
    c.loadShare -= load * dot(c.upAxis, flattenedLever(c, r));
}

void slabContact(int car, const Vec3& point, const Vec3& normal, float halfThickness,
                 const ContactParams& params, int wheelFlag)
{
    Vec3 n = normalised(normal);
    if (dot(n, n) == 0) return;
    const CarState& c = game.cars[car];
    float d = dot(n, c.positionVector - point);
    if (d < 0) {
        n = n * -1.0f;
        d = -d;
    }
    if (!(d < halfThickness + boundingRadius(car))) return;
    Vec3 r = supportPoint(car, n);
    float penetration = halfThickness - (d + dot(n, r));
    float load = respond(car, n, r, penetration, params, wheelFlag == 0);
    if (load >= 0) bookLoad(car, load, r, wheelFlag, point + n * halfThickness, n);
}

// The contact against a round obstacle whose nearest surface lies `radius` from `centre`
// along n, once the car's facing direction n is known.
static void roundContact(int car, const Vec3& n, const Vec3& offset, float radius, const ContactParams& params)
{
    Vec3 r = supportPoint(car, n);
    float penetration = radius - dot(n, offset + r);
    float load = respond(car, n, r, penetration, params, true);
    if (load >= 0) bookLoad(car, load, r, 0, Vec3{}, n);
}

// A car whose centre sits on the obstacle's centre or axis is pushed up.
static Vec3 awayFrom(int car, const Vec3& offset, const Vec3& fallback)
{
    Vec3 n = facingDirection(car, offset);
    return dot(n, n) > 0 ? n : fallback;
}

void sphereContact(int car, const Vec3& centre, float radius, const ContactParams& params)
{
    Vec3 offset = game.cars[car].positionVector - centre;
    float reach = boundingRadius(car) + radius;
    if (!(dot(offset, offset) < reach * reach)) return;
    roundContact(car, awayFrom(car, offset, worldUp), offset, radius, params);
}

void cylinderContact(int car, const Vec3& point, const Vec3& axis, float radius, const ContactParams& params)
{
    Vec3 a = normalised(axis);
    if (dot(a, a) == 0) return;
    Vec3 offset = game.cars[car].positionVector - point;
    offset = offset - a * dot(offset, a);
    float reach = boundingRadius(car) + radius;
    if (!(dot(offset, offset) < reach * reach)) return;
    // The normal of an infinite cylinder is square to its axis.
    Vec3 n = facingDirection(car, offset);
    n = normalised(n - a * dot(n, a));
    if (dot(n, n) == 0) n = normalised(offset);
    if (dot(n, n) == 0) n = normalised(cross(a, dot(a, worldUp) > 0.9f ? Vec3{1, 0, 0} : worldUp));
    roundContact(car, n, offset, radius, params);
}

bool boxWithinReach(int car, const Vec3& centre, const float half[3])
{
    Vec3 offset = game.cars[car].positionVector - centre;
    float reach = boundingRadius(car) + std::sqrt(half[0] * half[0] + half[1] * half[1] + half[2] * half[2]);
    return dot(offset, offset) < reach * reach;
}

void boxContact(int car, const Vec3& centre, const Vec3 axes[3], const float half[3],
                const ContactParams& sides, const ContactParams& top, int topWheelFlag, bool topOnly)
{
    if (boxWithinReach(car, centre, half)) boxContactWithinReach(car, centre, axes, half, sides, top, topWheelFlag, topOnly);
}

void boxContactWithinReach(int car, const Vec3& centre, const Vec3 axes[3], const float half[3],
                           const ContactParams& sides, const ContactParams& top, int topWheelFlag, bool topOnly)
{
    const CarState& c = game.cars[car];
    Vec3 offset = c.positionVector - centre;
    // Where the car's centre lies against the box: in front of a face it meets that face; off
    // an edge or a corner it meets the box's point nearest to its centre.
    float local[3], nearest[3];
    int outside = 0, face = -1;
    for (int k = 0; k < 3; ++k) {
        local[k] = dot(offset, axes[k]);
        nearest[k] = std::clamp(local[k], -half[k], half[k]);
        if (nearest[k] != local[k]) {
            ++outside;
            face = k;
        }
    }
    bool above = local[1] > half[1];
    if (topOnly && !above) return;
    if (outside >= 2) {
        Vec3 point = centre + axes[0] * nearest[0] + axes[1] * nearest[1] + axes[2] * nearest[2];
        const ContactParams& params = above ? top : sides;
        // An edge is a line, and pushes square to itself: taken as the point nearest the car,
        // a wall's upright edge would lift a car leaning on it.
        int along = -1;
        for (int k = 0; k < 3; ++k)
            if (nearest[k] == local[k]) along = k;
        if (outside == 2 && along >= 0) cylinderContact(car, point, axes[along], 0, params);
        else sphereContact(car, point, 0, params);
        return;
    }
    if (outside == 0) {
        // Centre inside: out through the face it is nearest to.
        float least = 0;
        for (int k = 0; k < 3; ++k) {
            float depth = half[k] - std::fabs(local[k]);
            if (face < 0 || depth < least) {
                face = k;
                least = depth;
            }
        }
        above = face == 1 && local[1] > 0;
    }
    if (face == 1 && above) slabContact(car, centre, axes[1], half[1], top, topWheelFlag);
    else if (!topOnly) slabContact(car, centre, axes[face], half[face], sides, 0);
}

// The surface byte under a world point; off the square the border cells.
static int surfaceUnder(const Vec3& p)
{
    if (!game.surfaceMap || !(game.surfaceCell > 0)) return 16;
    auto cell = [](float v) {
        float c = v / game.surfaceCell;
        return c >= 0 ? int(std::min(c, float(surfaceMapSide - 1))) : 0;
    };
    return game.surfaceMap[cell(p.z) * surfaceMapSide + cell(p.x)];
}

void groundAndWallContacts(int car)
{
    const Vec3& at = game.cars[car].positionVector;
    float height;
    Vec3 normal = terrainNormalAndHeight(at.x, at.z, height);
    groundAndWallContacts(car, height, normal);
}

void groundAndWallContacts(int car, float groundHeight, const Vec3& n)
{
    const CarState& c = game.cars[car];
    Vec3 at = c.positionVector;
    Vec3 ground{at.x, groundHeight, at.z};
    float friction = contactAt(game.carModels[car], surfaceUnder(at), game.carCount);
    slabContact(car, ground - n * 10.0f, n, 10.0f, {friction, 0.3f, 0.03f}, 1);

    // A wall through `face` facing the square along n. Its slab reaches beyond the car however
    // far out the car is, so a car that got past the face is pushed back in rather than further
    // out. A car farther inside than its reach misses the slab by a clear unit: most cars, most
    // steps, for all four walls.
    float far = game.trackSize + 1, clear = -(boundingRadius(car) + 1);
    const Vec3 walls[4][2] = {{{-1, 0, 0}, {1, 0, 0}}, {{far, 0, 0}, {-1, 0, 0}}, {{0, 0, -1}, {0, 0, 1}}, {{0, 0, far}, {0, 0, -1}}};
    for (const auto& [face, normal] : walls) {
        float outside = -dot(normal, c.positionVector - face);
        if (outside < clear) continue;
        float depth = std::max(1.0f, outside + 1);
        slabContact(car, face - normal * depth, normal, depth, {1.0f, 1.5f, 1.0f}, 0);
    }
}

// Every car passes every object each step, so the reach of each kind is looked up once.
static const float* objectReaches()
{
    static float reach[256];
    static bool filled = false;
    if (!filled) {
        for (int k = 0; k < 256; ++k) reach[k] = objectReach(k);
        filled = true;
    }
    return reach;
}

void objectContacts(int car)
{
    if (!game.trackObjects) return;
    const float* reaches = objectReaches();
    float radius = boundingRadius(car);
    auto tryObject = [&](int i) {
        const TrackObject& o = game.trackObjects[i];
        const Vec3& p = game.cars[car].positionVector;
        float dx = p.x - o.position.x, dz = p.z - o.position.z;
        float reach = radius + reaches[uint8_t(o.kind)];
        if (dx * dx + dz * dz < reach * reach) objectShapeContacts(car, o);
    };
    // The grid is looked up where the car stood before its contacts: a contact moves a car by
    // far less than the grid's margin.
    const Vec3& p = game.cars[car].positionVector;
    const uint16_t* near = nullptr;
    int count = 0;
    if (objectsNear(p.x, p.z, radius, near, count)) {
        for (int k = 0; k < count; ++k) tryObject(near[k]);
    } else {
        for (int i = maxCars; i < game.objectCount; ++i) tryObject(i);
    }
}

// Two cars within each other's reach, d from car j to car i.
[[gnu::noinline]] static void carsTouch(int i, int j, const Vec3& d)
{
    CarState& a = game.cars[i];
    CarState& b = game.cars[j];
    // Each car's view of where the other lies, averaged: n points from car i to car j.
    Vec3 ni = facingDirection(i, d * -1.0f), nj = facingDirection(j, d);
    Vec3 sum = ni - nj;
    Vec3 n = sum * (1.0f / (std::sqrt(dot(sum, sum)) + 0.001f));
    if (dot(n, n) < 0.25f) n = normalised(d * -1.0f);
    if (dot(n, n) == 0) n = worldUp;

    Vec3 ri = supportPoint(i, n * -1.0f), rj = supportPoint(j, n);
    float overlap = dot(n, a.positionVector + ri) - dot(n, b.positionVector + rj);
    Vec3 u = (b.velocity + cross(rj, b.angularVelocity)) - (a.velocity + cross(ri, a.angularVelocity));
    float un = dot(u, n);
    if (!(overlap > 0) || un > 0) return;

    float total = a.mass + b.mass;
    float f = total > 0 ? std::clamp(b.mass / total, 0.0f, 1.0f) : 0.5f;
    b.positionVector = b.positionVector + n * ((1 - f) * overlap);
    a.positionVector = a.positionVector - n * (f * overlap);

    float normal = 5.0f - 1.5f * un;
    Vec3 w = (u - n * un) * -1.0f;
    float limit = 0.5f * (a.speedFactor + b.speedFactor) * normal, wl = std::sqrt(dot(w, w));
    if (wl > limit) w = wl > 0 ? w * (limit / wl) : Vec3{};
    Vec3 J = w + n * normal;

    Vec3 li = bodyLever(a, ri), lj = bodyLever(b, rj);
    float kj = (1 - f) * impulseShare(b, lj, J), ki = f * impulseShare(a, li, J);
    b.velocity = b.velocity + J * kj;
    turnBy(b, lj, J, kj);
    a.velocity = a.velocity - J * ki;
    turnBy(a, li, J * -1.0f, ki);
    impact(j, b.positionVector + rj, dot(J, J) * kj * kj);
    impact(i, a.positionVector + ri, dot(J, J) * ki * ki);
}

// Fifteen pairs a step, nearly all far apart: their test alone, without the contact's setup.
static inline void pairContact(int i, int j, float reach)
{
    Vec3 d = game.cars[i].positionVector - game.cars[j].positionVector;
    if (dot(d, d) < reach * reach) carsTouch(i, j, d);
}

void carCarContact(int i, int j) { pairContact(i, j, boundingRadius(i) + boundingRadius(j)); }

void carCarContacts(int cars)
{
    cars = std::min(cars, int(maxCars));
    float radius[maxCars];
    for (int i = 0; i < cars; ++i) radius[i] = boundingRadius(i);
    for (int i = 0; i < cars; ++i)
        for (int j = i + 1; j < cars; ++j) pairContact(i, j, radius[i] + radius[j]);
}
