#include "race/race_rules.h"

#include "state/game_state.h"
#include "state/particle_ring.h"
#include "state/random_table.h"
#include "track/terrain_height.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

constexpr uint8_t taskDone = 255;
constexpr int tyreChangeSteps = 250;
constexpr int repairSteps = 50;
constexpr float crewHeight = 0.7f;   // a crew member's centre above the ground
constexpr float crewSpacing = 0.8f;  // closest two crew members stand
constexpr float walkSpeed = 4.0f;    // units per second

static int carsInRace() { return game.carCount < 1 ? 1 : game.carCount > maxCars ? maxCars : game.carCount; }

// Where a member waits while the box is empty: its place from the track, around the stop point.
static Vec3 homePlace(const PitBox& box, int m)
{
    Vec3 right{box.axis.z, 0, -box.axis.x};
    return box.stopPoint + box.axis * box.crew[m].forward + right * box.crew[m].side;
}

// Where a member works on the car: jacks at the nose and tail, a changer at each wheel, the
// fuel on the right and the repair on the left.
static Vec3 workPlace(int car, int m)
{
    const CarState& c = game.cars[car];
    const Vec3& e = game.carModels[car].ellipsoid;
    float sx = std::fabs(e.x) + 0.6f, sz = std::fabs(e.z) + 0.6f;
    Vec3 r = c.rightAxis, f = c.forwardAxis;
    switch (m) {
    case 0: return c.positionVector + f * sz;
    case 1: return c.positionVector - f * sz;
    case 2: return c.positionVector + f * (0.6f * sz) + r * sx;
    case 3: return c.positionVector + f * (0.6f * sz) - r * sx;
    case 4: return c.positionVector - f * (0.6f * sz) + r * sx;
    case 5: return c.positionVector - f * (0.6f * sz) - r * sx;
    case 6: return c.positionVector + r * (sx + 0.4f);
    default: return c.positionVector - r * (sx + 0.4f);
    }
}

static void sendCrewHome(PitBox& box)
{
    for (int m = 0; m < pitCrewSize; ++m) box.crew[m].target = homePlace(box, m);
}

static bool ownsOtherBox(int car, int except)
{
    for (int b = 0; b < game.pitBoxCount; ++b)
        if (b != except && game.pitBoxes[b].owner == car) return true;
    return false;
}

static void takeBox(PitBox& box, int car)
{
    CarState& c = game.cars[car];
    box.owner = uint8_t(car);
    for (auto& t : box.task) t = 0;
    if (c.tyres > 65000)
        for (int m = 2; m <= 5; ++m) box.task[m] = taskDone;
    if (c.serviceState != 2) {
        c.serviceState = 0;
        showPlace(car);
    }
}

static void leaveBox(PitBox& box, int car)
{
    box.owner = 100;
    sendCrewHome(box);
    if (shortOfFuel(car)) {
        game.cars[car].serviceState = 1;
        std::snprintf(game.carPanels[car].place, sizeof game.carPanels[car].place, "F");
        game.carPanels[car].changed = 1;
    }
}

static void changeTyres(PitBox& box, CarState& c)
{
    // Each jack holds its end up while that end's two wheels are open.
    for (int jack = 0; jack < 2; ++jack)
        if (box.task[jack] == 0) box.task[jack] = 1;
    for (int m = 2; m <= 5; ++m) {
        if (box.task[m] == taskDone || box.task[m <= 3 ? 0 : 1] != 1) continue;
        if (++box.task[m] < tyreChangeSteps) continue;
        box.task[m] = taskDone;
        int open = 0;
        for (int k = 2; k <= 5; ++k) open += box.task[k] != taskDone;
        c.tyres = uint16_t(c.tyres + (65535 - c.tyres) / (open + 1));
    }
    for (int jack = 0; jack < 2; ++jack)
        if (box.task[2 + 2 * jack] == taskDone && box.task[3 + 2 * jack] == taskDone) box.task[jack] = taskDone;
}

static void refuel(PitBox& box, CarState& c)
{
    if (box.task[6] == taskDone) return;
    if (box.task[6] < taskDone - 1) ++box.task[6];
    if (c.fuel + 128 > 65407) {
        c.fuel = 65535;
        box.task[6] = taskDone;
    } else {
        c.fuel = uint16_t(c.fuel + 128);
    }
}

static void repair(PitBox& box, CarState& c)
{
    if (box.task[7] == taskDone) return;
    if (c.damage == 0) {
        box.task[7] = taskDone;
        return;
    }
    if (++box.task[7] < repairSteps) return;
    const PitCrewMember& m = box.crew[7];
    Vec3 at = c.positionVector + c.rightAxis * (0.3f * m.side) + c.forwardAxis * (0.3f * m.forward) + c.upAxis * 0.5f;
    Vec3 v{4 * nextRandom() - 2, 3 + 3 * nextRandom(), 4 * nextRandom() - 2};
    startParticle(2, 20, at, v);
    c.damage = uint16_t((c.damage - 1) / 6600 * 6600);
    box.task[7] = c.damage == 0 ? taskDone : 0;
}

// Keeps a member outside every car's ellipse, widened by half a unit.
static void pushOutOfCars(PitCrewMember& m)
{
    for (int car = 0; car < carsInRace(); ++car) {
        const CarState& c = game.cars[car];
        if (flatLength2(m.position - c.positionVector) > 100) continue;
        const Vec3& e = game.carModels[car].ellipsoid;
        float A = std::fabs(e.x) + 0.5f, B = std::fabs(e.z) + 0.5f;
        Vec3 d = m.position - c.positionVector;
        d.y = 0;
        float a = dot(d, c.rightAxis), b = dot(d, c.forwardAxis);
        float q = (a * a) / (A * A) + (b * b) / (B * B);
        if (q >= 1) continue;
        if (q < 1e-6f) a = A, b = 0, q = 1;  // dead centre: out to the right
        float k = 1.0f / std::sqrt(q);
        Vec3 out = c.rightAxis * (a * k) + c.forwardAxis * (b * k);
        m.position.x = c.positionVector.x + out.x;
        m.position.z = c.positionVector.z + out.z;
        // No walking on into the car.
        if (m.velocity.x * out.x + m.velocity.z * out.z < 0) {
            m.velocity.x = 0;
            m.velocity.z = 0;
        }
    }
}

// The ground under each member where it last stood: a crew settling after a car passed stands
// on the same spot step after step while its velocity dies away. Valid in the world it was read
// in (track, height grid and its scale).
struct CrewGround {
    uint32_t trackGeneration = 0;
    const uint8_t* heightMap = nullptr;
    float heightCell = 0, trackSize = 0;
    bool known[pitCrewSize] = {};
    uint32_t x[pitCrewSize], z[pitCrewSize];
    float height[pitCrewSize];
    // Where the members stood (x and z, bit for bit) when every two were found apart: standing
    // there again they need not be looked at in pairs.
    bool spaced = false;
    uint32_t spacedAt[pitCrewSize][2];
};
static CrewGround crewGrounds[maxPitBoxes];

static float groundUnder(CrewGround& g, int m, const Vec3& p)
{
    uint32_t x, z;
    std::memcpy(&x, &p.x, sizeof x);
    std::memcpy(&z, &p.z, sizeof z);
    if (!g.known[m] || g.x[m] != x || g.z[m] != z) {
        g.known[m] = true;
        g.x[m] = x;
        g.z[m] = z;
        g.height[m] = terrainHeight(p.x, p.z);
    }
    return g.height[m];
}

// Whether any car may come within 10 units of a member across the ground, which is as near as
// pushOutOfCars looks. A car more than 10.5 beyond the crew's bounding square along x or z is
// farther than 10 from each member, rounding and all, for coordinates below 1e5.
static bool carNearCrew(const PitBox& box)
{
    float x0 = 1e5f, x1 = -1e5f, z0 = 1e5f, z1 = -1e5f;
    for (const PitCrewMember& m : box.crew) {
        const Vec3& p = m.position;
        if (!(std::fabs(p.x) < 1e5f && std::fabs(p.z) < 1e5f)) return true;
        x0 = std::min(x0, p.x), x1 = std::max(x1, p.x);
        z0 = std::min(z0, p.z), z1 = std::max(z1, p.z);
    }
    x0 -= 10.5f, x1 += 10.5f, z0 -= 10.5f, z1 += 10.5f;
    for (int car = 0; car < carsInRace(); ++car) {
        const Vec3& at = game.cars[car].positionVector;
        if (!(at.x < x0 || at.x > x1 || at.z < z0 || at.z > z1)) return true;
    }
    return false;
}

// No two members closer than crewSpacing: each pair too close is moved apart.
static void keepApart(PitBox& box, CrewGround& ground, const uint32_t at[pitCrewSize][2])
{
    bool apart = true;
    for (int i = 0; i < pitCrewSize; ++i) {
        for (int j = i + 1; j < pitCrewSize; ++j) {
            Vec3& a = box.crew[i].position;
            Vec3& b = box.crew[j].position;
            float d2 = flatLength2(a - b);
            if (d2 >= crewSpacing * crewSpacing) continue;
            apart = false;
            float d = std::sqrt(d2);
            float nx = 1, nz = 0;
            if (d > 1e-4f) nx = (a.x - b.x) / d, nz = (a.z - b.z) / d;
            float half = 0.5f * (crewSpacing - d);
            a.x += nx * half, a.z += nz * half;
            b.x -= nx * half, b.z -= nz * half;
        }
    }
    ground.spaced = apart;
    if (apart) std::memcpy(ground.spacedAt, at, sizeof ground.spacedAt);
}

static void moveCrew(PitBox& box, CrewGround& ground)
{
    if (ground.trackGeneration != game.trackGeneration || ground.heightMap != game.heightMap ||
        std::memcmp(&ground.heightCell, &game.heightCell, sizeof(float)) != 0 ||
        std::memcmp(&ground.trackSize, &game.trackSize, sizeof(float)) != 0) {
        ground = CrewGround{};
        ground.trackGeneration = game.trackGeneration;
        ground.heightMap = game.heightMap;
        ground.heightCell = game.heightCell;
        ground.trackSize = game.trackSize;
    }
    for (int i = 0; i < pitCrewSize; ++i) {
        PitCrewMember& m = box.crew[i];
        Vec3 to = m.target - m.position;
        to.y = 0;
        float d = std::sqrt(dot(to, to));
        float want = d > 0.05f ? std::fmin(walkSpeed, 3 * d) / d : 0;
        m.velocity = m.velocity * 0.98f + game.gravity * 0.01f;
        m.velocity.x += (to.x * want - m.velocity.x) * 0.1f;
        m.velocity.z += (to.z * want - m.velocity.z) * 0.1f;
        // A mate at rest keeps a velocity that shrinks towards nothing, and sums on such tiny
        // numbers run many times slower; this far below a position's last digit it is nothing.
        if (std::fabs(m.velocity.x) < 1e-20f) m.velocity.x = 0;
        if (std::fabs(m.velocity.z) < 1e-20f) m.velocity.z = 0;
        m.position = m.position + m.velocity * 0.01f;
        float stand = groundUnder(ground, i, m.position) + crewHeight;
        if (m.position.y < stand) {
            m.position.y = stand;
            if (m.velocity.y < 0) m.velocity.y = 0;
        }
    }
    uint32_t at[pitCrewSize][2];
    for (int i = 0; i < pitCrewSize; ++i) {
        std::memcpy(&at[i][0], &box.crew[i].position.x, sizeof(uint32_t));
        std::memcpy(&at[i][1], &box.crew[i].position.z, sizeof(uint32_t));
    }
    if (!ground.spaced || std::memcmp(at, ground.spacedAt, sizeof at) != 0) keepApart(box, ground, at);
    // The car wins over a crew mate: nobody is left standing inside it.
    if (carNearCrew(box))
        for (auto& m : box.crew) pushOutOfCars(m);
}


// A crew standing still with no car near comes out of its move exactly as it went in, step
// after step. Each box keeps the crew it last saw come out unchanged, with what the move reads
// besides (the terrain, gravity); while nothing of that differs and no car comes near, the move
// is skipped, since it would give the same bits once more.
struct CrewAtRest {
    bool known = false;
    uint32_t trackGeneration;
    const uint8_t* heightMap;
    float heightCell, trackSize;
    Vec3 gravity;
    PitCrewMember crew[pitCrewSize];
    float clear2;  // a car farther than sqrt(clear2) from the stop point is far from every member
};
static CrewAtRest crewsAtRest[maxPitBoxes];

// No car close enough for pushOutOfCars to look at any member. A car beyond clear2 from the
// stop point (the farthest member's distance plus 10.5 units, squared) is surely more than
// 10 units from each member, rounding and all, and is passed without looking at them.
// d2: each car's flatLength2 from the stop point, as servePitBoxes worked it out this step.
static bool noCarNear(const PitBox& box, float clear2, const float d2[maxCars])
{
    for (int car = 0; car < carsInRace(); ++car) {
        const Vec3& at = game.cars[car].positionVector;
        if (d2[car] > clear2 && d2[car] < 1e10f) continue;
        for (const PitCrewMember& m : box.crew)
            if (!(flatLength2(m.position - at) > 100)) return false;
    }
    return true;
}

// clear2 for a crew as it stands; never passing a car when the numbers are too large for the
// margin to cover their rounding.
static float clearDistance2(const PitBox& box)
{
    float reach2 = 0;
    for (const PitCrewMember& m : box.crew) reach2 = std::fmax(reach2, flatLength2(m.position - box.stopPoint));
    bool small = reach2 < 1e6f && std::fabs(box.stopPoint.x) < 1e5f && std::fabs(box.stopPoint.z) < 1e5f;
    float reach = std::sqrt(reach2) + 10.5f;
    return small ? reach * reach : INFINITY;
}

static bool sameWorld(const CrewAtRest& r)
{
    return r.trackGeneration == game.trackGeneration && r.heightMap == game.heightMap &&
           std::memcmp(&r.heightCell, &game.heightCell, sizeof(float)) == 0 &&
           std::memcmp(&r.trackSize, &game.trackSize, sizeof(float)) == 0 &&
           std::memcmp(&r.gravity, &game.gravity, sizeof(Vec3)) == 0;
}

static void moveCrewUnlessAtRest(int b, PitBox& box, const float d2[maxCars])
{
    CrewAtRest& r = crewsAtRest[b];
    if (r.known && sameWorld(r) && std::memcmp(r.crew, box.crew, sizeof r.crew) == 0 && noCarNear(box, r.clear2, d2))
        return;
    PitCrewMember before[pitCrewSize];
    std::memcpy(before, box.crew, sizeof before);
    moveCrew(box, crewGrounds[b]);
    r.known = std::memcmp(before, box.crew, sizeof before) == 0 && noCarNear(box, INFINITY, d2);
    if (!r.known) return;
    std::memcpy(r.crew, box.crew, sizeof r.crew);
    r.trackGeneration = game.trackGeneration;
    r.heightMap = game.heightMap;
    r.heightCell = game.heightCell;
    r.trackSize = game.trackSize;
    r.gravity = game.gravity;
    r.clear2 = clearDistance2(box);
}

static bool mayUse(int box, int car) { return !game.ownPitBoxesOnly || box == car; }

void servePitBoxes()
{
    if (!game.pitBoxes) return;
    int cars = carsInRace();
    int boxes = game.pitBoxCount > maxPitBoxes ? maxPitBoxes : game.pitBoxCount;
    for (int b = 0; b < boxes; ++b) {
        PitBox& box = game.pitBoxes[b];
        // Serving moves no car: the crew's test for cars near reads these distances too.
        float carD2[maxCars];
        for (int car = 0; car < cars; ++car) {
            const CarState& c = game.cars[car];
            float d2 = carD2[car] = flatLength2(c.positionVector - box.stopPoint);
            if (!(d2 < 100) || !mayUse(b, car)) continue;
            // Locked wheels turn slowly while the car slides on: a car counts as standing
            // only when the car itself is slow too.
            if (d2 >= 25 || std::fabs(c.wheelSpeed) >= 3 || dot(c.velocity, c.velocity) >= 9) {
                if (box.owner == car) leaveBox(box, car);
            } else if (box.owner > 5 && !ownsOtherBox(car, b)) {
                takeBox(box, car);
            }
        }
        if (box.owner < cars) {
            CarState& c = game.cars[box.owner];
            changeTyres(box, c);
            refuel(box, c);
            repair(box, c);
            for (int m = 0; m < pitCrewSize; ++m) box.crew[m].target = workPlace(box.owner, m);
        } else if (box.owner <= 5) {
            // An owner beyond the race's cars (an odd saved game) frees the box.
            box.owner = 100;
        }
        moveCrewUnlessAtRest(b, box, carD2);
    }
}

void resetPitBoxes()
{
    if (!game.pitBoxes) return;
    for (int b = 0; b < game.pitBoxCount && b < maxPitBoxes; ++b) {
        PitBox& box = game.pitBoxes[b];
        box.owner = 6;
        for (int m = 0; m < pitCrewSize; ++m) {
            box.task[m] = 0;
            Vec3 p = homePlace(box, m);
            p.y = terrainHeight(p.x, p.z) + crewHeight;
            box.crew[m].position = box.crew[m].target = p;
            box.crew[m].velocity = Vec3{};
        }
    }
}
