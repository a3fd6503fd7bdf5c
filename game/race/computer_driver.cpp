#include "race/computer_driver.h"

#include "race/car_models.h"
#include "race/car_physics.h"
#include "race/pit_lane_driver.h"
#include "state/game_state.h"
#include "state/random_table.h"

#include <cmath>
#include <cstring>
#include <type_traits>

constexpr float boxClearance = 2.3f;          // a car passing the boxes keeps this far off the lane's middle
// This car step's contacts book about twice the grip demand the look-ahead time and the bend
// speed were measured against; read at that scale the driver brakes in time.
constexpr float engineLoadScale = 2.0f;
// What a car can ask of its tyres per unit of grip, sideways and braking, in units/s².
constexpr float lateralPerGrip = 20.0f;
constexpr float brakingPerGrip = 10.0f;

// Most indices already lie in range: the divisions are skipped for them.
static int wrap(int i, int n)
{
    if (i >= 0 && i < n) return i;
    return n > 0 ? ((i % n) + n) % n : 0;
}

static bool onPitLane(int mode) { return mode == IntoPitLane || mode == OutOfPitLane; }

// A point of the path the car follows. On the pit lane the points run on into the driving line
// at the pit exit, so the look-ahead never falls off the lane's end.
static Vec3 pathPoint(bool lane, int i)
{
    int n = game.drivingLineCount;
    if (lane) {
        if (i < 0) i = 0;
        if (i < game.pitLaneCount) return game.pitLane[i];
        return game.drivingLine[wrap(i - game.pitLaneCount + game.pitExitIndex, n)];
    }
    return game.drivingLine[wrap(i, n)];
}

// The sideways offset of the stored control word as a displacement right of the segment a -> b.
static Vec3 sideShift(bool lane, uint32_t offset, const Vec3& a, const Vec3& b)
{
    float dx = b.x - a.x, dz = b.z - a.z;
    float len = std::sqrt(dx * dx + dz * dz);
    if (len < 1e-6f) return Vec3{};
    float d = lane ? offset * 0.02f - 2.0f : offset * 0.05f - 5.0f;
    return Vec3{dz, 0, -dx} * (d / len);
}

static float drivingLoad(const CarState& c) { return c.engineLoad / engineLoadScale; }

static float lookAheadTime(const CarState& c, float ability)
{
    // A car that has touched nothing yet has no grip demand: keep the look-ahead finite.
    float load = 100.0f * drivingLoad(c);
    if (!(load > 1.0f)) load = 1.0f;
    return 2.5f * ability / std::sqrt(load);
}

// Target offset before the line index moves on: toward the car's own side of the line, a
// random spread, and out of the way of the cars about to be reached.
static uint32_t targetOffset(int car, bool lane, const Vec3& segStart, const Vec3& seg, float tau)
{
    const CarState& c = game.cars[car];
    float o;
    if (lane) {
        // Passing the boxes on the far side of the lane from them, clear of cars being served.
        o = 3.0f * nextRandom() + 3.5f + laneClearSide() * boxClearance / 0.4f;
    } else {
        Vec3 rel = c.positionVector - segStart;
        float len = std::sqrt(seg.x * seg.x + seg.z * seg.z);
        float d = len > 1e-6f ? (rel.x * seg.z - rel.z * seg.x) / len : 0.0f;
        float near = 0.75f * d + 1.5f;
        near = near < 0 ? 0 : near > 3 ? 3 : near;
        o = near + 3.0f * nextRandom() + 2.0f;
    }
    const Vec3& mine = game.carModels[car].ellipsoid;
    for (int j = 0; j < game.carCount && j < maxCars; ++j) {
        if (j == car) continue;
        const CarState& other = game.cars[j];
        const Vec3& theirs = game.carModels[j].ellipsoid;
        Vec3 rel = other.positionVector - c.positionVector;
        float a = dot(rel, c.forwardAxis);
        float R = mine.z + 0.5f + theirs.z;
        if (!(-a < R && a + dot(other.velocity - c.velocity, c.forwardAxis) * tau < R)) continue;
        float b = dot(rel, c.rightAxis);
        float S = mine.x + 0.5f + theirs.x;
        if (b > 0 && b - S < 0) o += b - S;
        if (b <= 0 && S + b > 0) o += S + b;
    }
    if (!(o >= 0)) return 0;
    if (o > 10) return 200;
    return uint32_t(o / 0.05f);
}

// The tyres' grip on the ground around a point: a few cells, since marks and patches are
// scattered cell by cell.
static float gripNear(const float* grips, const Vec3& p)
{
    // Here, a unit east, west, north and south, summed in that order. The five share three
    // rows and three columns, each worked out once: x + 0 lies in x's column, -0 as well.
    const float d = 1.0f;
    int x = surfaceMapIndex(p.x), z = surfaceMapIndex(p.z) * surfaceMapSide;
    const int cells[5] = {z + x, z + surfaceMapIndex(p.x + d), z + surfaceMapIndex(p.x - d),
                          surfaceMapIndex(p.z + d) * surfaceMapSide + x, surfaceMapIndex(p.z - d) * surfaceMapSide + x};
    const uint8_t* map = game.surfaceMap;
    float sum = 0;
    if (map)
        for (int c : cells) sum += grips[map[c]];
    else
        for (int k = 0; k < 5; ++k) sum += grips[0];
    return sum / 5;
}

// Slots for every point the paths can hold: the driving line's first, then the pit lane's.
constexpr int linePointSlots = 65536, pathPointSlots = linePointSlots + 256;

// What a car's look-ahead reads of the ground, which is the same path points step after step.
// grip: the car's grip on every surface byte (surfaceGrips). near: gripNear at each
// path point, in the point's slot. A slot counts only while its stamp is the current one; the
// stamp moves on when the car's table, the number of cars, the track, any cell of the ground
// or the paths' points change, so a slot gives exactly what gripNear would give again.
struct GroundGrips {
    const float* grip = nullptr;
    uint32_t gripsVersion = 0;
    uint32_t trackGeneration = 0, surfaceMarks = 0;
    const uint8_t* surfaceMap = nullptr;
    float surfaceCell = 0;
    uint32_t stamp = 0, bendsBuilt = 0;  // all zero: the six caches cost no room in the program
    struct Slot {
        uint32_t stamp;
        float grip;
    } near[pathPointSlots] = {};
};

static GroundGrips& groundGrips(int car)
{
    static GroundGrips cache[maxCars];
    GroundGrips& g = cache[car];
    if (g.stamp == 0) g.stamp = 1;  // the slots start at stamp 0: none counts
    const SurfaceGrips& grips = surfaceGrips(car);
    g.grip = grips.grip;
    if (g.gripsVersion != grips.version) {
        g.gripsVersion = grips.version;
        ++g.stamp;
    }
    if (g.trackGeneration != game.trackGeneration || g.surfaceMarks != game.surfaceMarks ||
        g.surfaceMap != game.surfaceMap || std::memcmp(&g.surfaceCell, &game.surfaceCell, sizeof(float)) != 0) {
        g.trackGeneration = game.trackGeneration;
        g.surfaceMarks = game.surfaceMarks;
        g.surfaceMap = game.surfaceMap;
        g.surfaceCell = game.surfaceCell;
        ++g.stamp;
    }
    return g;
}

// slot: the point's slot, or -1 for a point worked out on the spot.
static float gripNearPathPoint(GroundGrips& g, int slot, const Vec3& p)
{
    if (slot < 0) return gripNear(g.grip, p);
    GroundGrips::Slot& s = g.near[slot];
    if (s.stamp != g.stamp) s = {g.stamp, gripNear(g.grip, p)};
    return s.grip;
}

// What the look-ahead needs of path point k, a property of the path alone: the next point b,
// the length of the segment to it, and the radius of the bend at b (from b's segment to the one
// after it), when there is one.
// Plain floats, not a Vec3, so that the tables below stay untouched (and take no memory) past
// the points a track has.
struct PathBend {
    float bx, by, bz;
    float length;
    float radius;
    bool bend;
};

static PathBend bendOfPath(bool lane, int k)
{
    Vec3 a = pathPoint(lane, k), b = pathPoint(lane, k + 1), d = pathPoint(lane, k + 2);
    Vec3 u = b - a, v = d - b;
    float lu = flatLength(u), lv = flatLength(v);
    PathBend e{b.x, b.y, b.z, lu, 0, false};
    if (lu < 1e-3f || lv < 1e-3f) return e;
    float cosTurn = (u.x * v.x + u.z * v.z) / (lu * lv);
    float turn = std::acos(cosTurn > 1 ? 1 : cosTurn < -1 ? -1 : cosTurn);
    if (turn < 1e-3f) return e;
    e.radius = 0.5f * (lu + lv) / turn;
    e.bend = true;
    return e;
}

// Every car looks up to 60 points ahead every step: the bends of both paths are worked out once
// per track and kept while the paths are the ones they were worked out for.
class PathBends {
public:
    // Brought up to date with the paths; once per look-ahead.
    static const PathBends& now();
    // Counts the times the tables were worked out: the points in the slots changed each time.
    uint32_t builds() const { return buildCount; }

    // slot: where the point's ground grip is kept (see GroundGrips), -1 for none.
    const PathBend& at(bool lane, int k, int& slot) const
    {
        if (lineKnown > 0) {
            if (!lane) return lineBends[slot = wrap(k, lineKnown)];
            if (k >= 0 && k < laneKnown) {
                slot = linePointSlots + k;
                return laneBends[k];
            }
            // Past the lane's end its points are the driving line's from the pit exit on.
            if (k >= key.laneCount) return lineBends[slot = wrap(k - key.laneCount + key.pitExit, lineKnown)];
        }
        slot = -1;
        return scratch = bendOfPath(lane, k);
    }

private:
    // Laid out without padding, so that one memcmp tells whether anything changed.
    struct Key {
        const Vec3 *line, *pitLane;
        uint32_t trackGeneration;
        int32_t lineCount, laneCount, pitExit;
        Vec3 lineEnds[2], laneEnds[2];
    };
    static_assert(sizeof(Key) == 2 * sizeof(void*) + 16 + 4 * sizeof(Vec3), "Key has padding");
    static_assert(std::is_trivially_default_constructible_v<PathBend>, "the tables would be written at start");
    Key key{};
    bool built = false;
    uint32_t buildCount = 0;
    int lineKnown = 0, laneKnown = 0;
    // As many as a track can hold, so that no race step allocates.
    PathBend lineBends[linePointSlots], laneBends[pathPointSlots - linePointSlots];
    mutable PathBend scratch;
};

const PathBends& PathBends::now()
{
    static PathBends p;
    Key k{};
    int n = game.drivingLineCount, lanePoints = game.pitLaneCount;
    k.line = game.drivingLine;
    k.pitLane = game.pitLane;
    k.trackGeneration = game.trackGeneration;
    k.lineCount = n;
    k.laneCount = lanePoints;
    k.pitExit = game.pitExitIndex;
    if (n > 0 && game.drivingLine) k.lineEnds[0] = game.drivingLine[0], k.lineEnds[1] = game.drivingLine[n - 1];
    if (lanePoints > 0 && game.pitLane) k.laneEnds[0] = game.pitLane[0], k.laneEnds[1] = game.pitLane[lanePoints - 1];
    if (p.built && std::memcmp(&k, &p.key, sizeof k) == 0) return p;
    bool whole = n > 0 && game.drivingLine;
    p.lineKnown = whole ? n : 0;
    p.laneKnown = whole && game.pitLane ? lanePoints : 0;
    for (int i = 0; i < p.lineKnown; ++i) p.lineBends[i] = bendOfPath(false, i);
    for (int i = 0; i < p.laneKnown; ++i) p.laneBends[i] = bendOfPath(true, i);
    p.key = k;
    p.built = true;
    ++p.buildCount;
    return p;
}

// The speed the path ahead allows now: every bend within braking distance, taken at the
// lateral grip the ground there gives, braked for at the least grip on the way.
static float bendAheadLimit(int car, bool lane, int next)
{
    const CarState& c = game.cars[car];
    float tyre = c.tyres * 0.36f / 65536.0f + 0.64f;
    GroundGrips& ground = groundGrips(car);
    float grip = gripNear(ground.grip, c.positionVector) * tyre;
    float speed2 = dot(c.velocity, c.velocity);
    float limit2 = 1e6f;
    float along = 0;
    // step is how far the bend's start lies from the last bend's start.
    float step = flatLength(pathPoint(lane, next) - c.positionVector);
    const PathBends& bends = PathBends::now();
    if (ground.bendsBuilt != bends.builds()) ground.bendsBuilt = bends.builds(), ++ground.stamp;
    // The ground between here and the bend is what the car brakes on: the braking and the
    // distance it needs change only with the least grip on the way.
    float braking = 0, stopping = 0;
    bool gripFell = true;
    for (int k = next; k < next + 60; ++k) {
        if (gripFell) {
            braking = brakingPerGrip * grip;
            if (!(braking > 0.5f)) braking = 0.5f;
            stopping = speed2 / (2 * braking) + 10.0f;
            gripFell = false;
        }
        if (along > stopping) break;
        along += step;
        int slot;
        const PathBend& e = bends.at(lane, k, slot);
        step = e.length;
        float there = gripNearPathPoint(ground, slot, Vec3{e.bx, e.by, e.bz}) * tyre;
        if (there < grip) grip = there, gripFell = true;
        if (!e.bend) continue;
        float lateral = lateralPerGrip * there;
        if (!(lateral > 0.5f)) lateral = 0.5f;
        float allowed2 = lateral * e.radius + 2 * braking * along;
        if (allowed2 < limit2) limit2 = allowed2;
    }
    return std::sqrt(limit2);
}

// Throttle from the bend toward point P and from the bends within braking distance.
static int throttleToward(int car, bool lane, int next, const Vec3& P)
{
    const CarState& c = game.cars[car];
    Vec3 T = P - c.positionVector;
    float forwardSpeed = dot(c.velocity, c.forwardAxis);
    if (dot(T, c.forwardAxis) < 0) return -1;
    if (forwardSpeed < 0) return 2;
    float speed = std::sqrt(dot(c.velocity, c.velocity));
    Vec3 w = cross(c.upAxis, c.velocity);
    float bend = dot(w, T);
    float vmax = 1000.0f;
    if (!(bend > -1 && bend < 1)) vmax = std::sqrt(std::sqrt(dot(T, T)) * dot(w, w) * 50.0f * drivingLoad(c) / std::fabs(bend));
    float ahead = bendAheadLimit(car, lane, next);
    if (ahead < vmax) vmax = ahead;
    if (c.serviceState == 2) return speed < vmax && forwardSpeed < 10 ? 2 : 1;
    if (speed < vmax) return 2;
    return forwardSpeed >= vmax ? 0 : 1;
}

// Reversing out turns the nose back along the path.
static float reverseSteering(const CarState& c, bool lane)
{
    int i = int(c.controls[2]);
    Vec3 along = pathPoint(lane, i) - pathPoint(lane, i - 1);
    return dot(c.rightAxis, along) >= 0 ? -1.0f : 1.0f;
}

void computerDriver(int car, float ability, int& throttle, float& steering)
{
    throttle = 0;
    steering = 0;
    if (car < 0 || car >= maxCars) return;
    CarState& c = game.cars[car];
    if (game.raceClock < c.upsideDownCounter) return;

    // A saved game may carry any word here; the offset lives in 0..200.
    if (c.controls[3] > 200) c.controls[3] = 200;
    int mode = c.revvingCounter;
    if (mode >= FirstBoxMode && game.pitBoxes && mode - FirstBoxMode < game.pitBoxCount &&
        game.pitBoxes[mode - FirstBoxMode].owner == car) {
        if (serviceDone(car, mode - FirstBoxMode)) {
            c.revvingCounter = OutOfPitLane;
            c.controls[2] = uint32_t(laneIndexAhead(c));
            c.controls[3] = 100;
        }
        standInBox(car, mode - FirstBoxMode, throttle, steering);
        return;
    }

    bool hasLine = game.drivingLine && game.drivingLineCount > 0;
    if (mode != OnLine && (!game.pitLane || game.pitLaneCount < 2)) {
        // Without a lane to drive the car goes back to the line at the exit.
        c.revvingCounter = mode = OnLine;
        c.controls[2] = game.pitExitIndex;
    }
    bool lane = onPitLane(mode) || mode >= FirstBoxMode;
    float speed = std::sqrt(dot(c.velocity, c.velocity));
    if (!std::isfinite(speed)) return;

    int k = c.upsideDownCounter % 400;
    if (k < 0) k += 400;
    if (k >= 200) {
        throttle = 2;
        // Free again. Back to 0 rather than on to the next 400, which the start-delay test would
        // read as a wait for the clock to catch up.
        if (speed > 20) c.upsideDownCounter = 0;
        else ++c.upsideDownCounter;
        return;
    }
    if (k >= 140) {
        throttle = -1;
        if (hasLine) steering = reverseSteering(c, lane);
        ++c.upsideDownCounter;
        return;
    }
    if (!hasLine) {
        throttle = 1;
        return;
    }

    // Bound for a box: the lane is followed until the box is near, then the box's own line, at
    // the speed that brings the car to rest on its stop point.
    int boxThrottle = 2;
    float boxSteering = 0;
    bool nearBox = false;
    if (mode >= FirstBoxMode && !approachBox(car, mode - FirstBoxMode, boxThrottle, boxSteering, nearBox))
        c.revvingCounter = mode = IntoPitLane;
    bool boxBound = mode >= FirstBoxMode;

    int n = lane ? game.pitLaneCount : game.drivingLineCount;
    int index = int(c.controls[2]);
    if (lane) index = index < 1 ? 1 : index >= n ? n - 1 : index;
    else index = wrap(index, n);
    Vec3 segStart = lane ? game.pitLane[index - 1] : game.drivingLine[index == 0 ? n - 1 : index - 1];
    Vec3 seg = (lane ? game.pitLane[index] : game.drivingLine[index]) - segStart;
    float tau = lookAheadTime(c, ability);
    float t = dot(c.positionVector - segStart, seg) / (dot(seg, seg) + 0.0001f);

    int next = index;
    if (t > 0) {
        c.controls[3] = targetOffset(car, lane, segStart, seg, tau);
        next = index + 1;
        if (lane && next >= n) {
            c.revvingCounter = mode = OnLine;
            boxBound = false;
            next = game.pitExitIndex;
        } else if (!lane) {
            next = wrap(next, n);
            if (next == game.pitEntryIndex && pitLaneUsable(car) && wantsPitStop(car)) {
                c.revvingCounter = mode = IntoPitLane;
                game.boxApproachSteps[car] = 0;
                next = 1;
            }
        }
    }

    // Steering toward the shifted point a moment ahead, probed from where the car will be.
    float a = t + 1.0f + speed * tau / 5.0f;
    if (lane && a < 0) a = 0;
    if (!std::isfinite(a)) a = 1;
    if (a > 1e6f) a = 1e6f;
    if (a < -1e6f) a = -1e6f;
    int whole = int(a);
    float phi = a - whole;
    int j = lane ? index + whole : index - 1 + whole;
    Vec3 p0 = pathPoint(lane, j), p1 = pathPoint(lane, j + 1);
    Vec3 shift = sideShift(lane, c.controls[3], p0, p1);
    Vec3 target = p0 + (p1 - p0) * phi + shift;
    float theta = dot(c.angularVelocity, c.upAxis) * tau;
    float look = game.carModels[car].lookAhead;
    if (!(look > 0 && look < 100)) look = 3.7f;
    Vec3 probe = c.positionVector + c.velocity * tau + (c.forwardAxis * std::cos(theta) - c.rightAxis * std::sin(theta)) * look;
    steering = dot(c.rightAxis, target - probe) >= 0 ? -1.0f : 1.0f;

    // The index has moved on; a car that just left the lane reads the line again.
    bool nowLane = mode != OnLine;
    float ahead = 0.016f * speed * speed * tau * tau;
    int step = ahead < 1e6f ? int(ahead) : 1000000;
    Vec3 P = pathPoint(nowLane, next + 1 + step) + shift;
    throttle = throttleToward(car, nowLane, next, P);
    c.controls[2] = uint32_t(next);

    if (boxBound) {
        if (nearBox) steering = boxSteering;
        throttle = std::min(throttle, boxThrottle);
    }
    // On the lane nobody overtakes: a car keeps its distance to the one ahead in its path.
    // A line car held standing by a car turning into the lane counts as stuck: the two can
    // hold each other for good, and backing away frees both.
    int pushing = throttle;
    if (nowLane) pushing = throttle = keepGap(car, throttle);
    else throttle = yieldToPitting(car, throttle);

    if (mode == IntoPitLane) chooseBox(car);

    // Rolling slowly into a box is no sign of being stuck; the box has its own patience.
    if (boxBound) c.upsideDownCounter = 0;
    else if (speed < 3 && (pushing == -1 || pushing == 2)) ++c.upsideDownCounter;
    else c.upsideDownCounter = 0;
}
