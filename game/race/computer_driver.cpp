#include "race/computer_driver.h"

#include "race/car_models.h"
#include "race/car_physics.h"
#include "state/game_state.h"
#include "state/random_table.h"

#include <cmath>

// The driver's memory in its car's record.
enum DriverMode : uint8_t { OnLine = 0, IntoPitLane = 1, OutOfPitLane = 2, FirstBoxMode = 3 };

constexpr float boxApproachDistance = 15.0f;  // a free box this close ahead is driven into, at rest
constexpr float boxBraking = 12.0f;           // units per second squared the approach plans with
constexpr float boxCreep = 2.0f;              // the last units into a box: slow enough to be served
constexpr uint32_t backingUp = 201;            // offset word of a car reversing out of a missed box
constexpr float boxClearance = 1.5f;          // a car passing the boxes keeps this far off their side
// This car step's contacts book about twice the grip demand the look-ahead time and the bend
// speed were measured against; read at that scale the driver brakes in time.
constexpr float engineLoadScale = 2.0f;
// What a car can ask of its tyres per unit of grip, sideways and braking, in units/s².
constexpr float lateralPerGrip = 20.0f;
constexpr float brakingPerGrip = 10.0f;

static int wrap(int i, int n) { return n > 0 ? ((i % n) + n) % n : 0; }

static float flatLength(const Vec3& v) { return std::sqrt(v.x * v.x + v.z * v.z); }

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

static float laneFuelNeed(int laps)
{
    return float(laps) * game.options.fuelConsumption * float(game.lapLength);
}

// At the pit entry: in when marked low on fuel, else by fuel, damage and chance while the race
// is still open.
static bool wantsPitStop(int car)
{
    const CarState& c = game.cars[car];
    if (c.serviceState == 1) return true;
    if (c.serviceState == 2 || game.leaderLaps >= game.raceLaps) return false;
    int lapsLeft = game.raceLaps - c.laps;
    if (lapsLeft <= 0) return false;
    float need = laneFuelNeed(lapsLeft);
    if (need < c.fuel) return float(c.damage) * lapsLeft * float(game.lapLength) > 20000000.0f;
    // Not enough to come round to the pit entry again: in now, flag or no flag (a lap that
    // missed a gate never raised it).
    if (c.fuel < 1.3f * laneFuelNeed(1)) return true;
    // Short of fuel for the rest of the race: the shorter, the likelier a stop now.
    if (c.damage < 1001) return nextRandom() < 0.2f;
    return c.fuel < need * nextRandom();
}

static bool boxUsable(int car, int b)
{
    if (!game.pitBoxes || b < 0 || b >= game.pitBoxCount || b >= maxPitBoxes) return false;
    if (game.ownPitBoxesOnly && b != car) return false;
    uint8_t owner = game.pitBoxes[b].owner;
    if (owner <= 5 && owner != car) return false;
    // Nor one another car is already driving into.
    for (int j = 0; j < game.carCount && j < maxCars; ++j)
        if (j != car && game.cars[j].controls[0] == 0 && game.cars[j].revvingCounter == FirstBoxMode + b) return false;
    return true;
}

static bool pitLaneUsable(int car)
{
    if (!game.pitLane || game.pitLaneCount < 2) return false;
    for (int b = 0; b < game.pitBoxCount && b < maxPitBoxes; ++b)
        if (!game.ownPitBoxesOnly || b == car) return true;
    return false;
}

// On the way in: the car's own box when it is free, else the nearest free one ahead.
static void chooseBox(int car)
{
    CarState& c = game.cars[car];
    int best = -1;
    // Far enough ahead to brake down to a creep on the way.
    float v = std::sqrt(dot(c.velocity, c.velocity));
    float reach = boxApproachDistance + v * v / (2 * boxBraking);
    float bestDistance = reach;
    for (int b = 0; b < game.pitBoxCount && b < maxPitBoxes; ++b) {
        if (!boxUsable(car, b)) continue;
        Vec3 to = game.pitBoxes[b].stopPoint - c.positionVector;
        float d = flatLength(to);
        if (dot(to, c.forwardAxis) < 2.0f || d >= reach) continue;
        if (b == car) {
            best = b;
            break;
        }
        if (d < bestDistance) best = b, bestDistance = d;
    }
    if (best >= 0) c.revvingCounter = uint8_t(FirstBoxMode + best);
}

static bool serviceDone(int car, const PitBox& box)
{
    const CarState& c = game.cars[car];
    for (int m = 2; m <= 5; ++m)
        if (box.task[m] != 255) return false;
    if (box.task[7] != 255) return false;
    return laneFuelNeed(game.raceLaps - c.laps) < c.fuel || box.task[6] == 255;
}

// Unit vector across the lane toward box b: boxes stand to one side of the lane's middle.
static Vec3 boxSideDirection(int b)
{
    const PitBox& box = game.pitBoxes[b];
    Vec3 right{box.axis.z, 0, -box.axis.x};
    float best = 1e30f, across = 0;
    for (int i = 0; i < game.pitLaneCount; ++i) {
        Vec3 d = box.stopPoint - game.pitLane[i];
        float d2 = d.x * d.x + d.z * d.z;
        if (d2 < best) best = d2, across = dot(d, right);
    }
    return across < 0 ? right * -1.0f : right;
}

// The side of the lane a car passing the boxes keeps to: +1 right of the lane's direction.
static float laneClearSide()
{
    if (!game.pitBoxes || game.pitBoxCount == 0 || game.pitLaneCount < 2) return 0;
    Vec3 toBoxes = boxSideDirection(0);
    Vec3 dir = game.pitLane[1] - game.pitLane[0];
    Vec3 right{dir.z, 0, -dir.x};
    return dot(toBoxes, right) > 0 ? -1.0f : 1.0f;
}

// The first pit-lane point still ahead of the car, where it drives on from its box.
static int laneIndexAhead(const CarState& c)
{
    int n = game.pitLaneCount;
    for (int i = 1; i < n; ++i)
        if (dot(game.pitLane[i] - c.positionVector, c.forwardAxis) > 0) return i;
    return n > 1 ? n - 1 : 1;
}

// Rolls along the box's axis and stops on its stop point; false when the box is lost and the
// car goes on down the lane.
static bool driveIntoBox(int car, int b, int& throttle, float& steering)
{
    CarState& c = game.cars[car];
    if (b >= game.pitBoxCount || b >= maxPitBoxes || !game.pitBoxes) return false;
    const PitBox& box = game.pitBoxes[b];
    if (box.owner <= 5 && box.owner != car) return false;
    float s = dot(c.positionVector - box.stopPoint, box.axis);
    // Past the stop point or level with it but too far beside it to be served (pushed out by
    // a passing car, or a bad line in): back up along the box for another go, unless far past.
    // The offset word, unused in box mode, marks the reversing until the car is well short.
    if (c.controls[3] == backingUp && s < -6.0f) c.controls[3] = 100;
    bool missed = s > 3.0f || (s > -0.7f && flatLength(box.stopPoint - c.positionVector) >= 5.0f);
    if (c.controls[3] == backingUp || missed) {
        if (s > 10.0f) return false;
        c.controls[3] = backingUp;
        throttle = -1;
        steering = 0;
        return true;
    }
    // Along the lane clear of the boxes before it, then onto the box's own line.
    float ahead = s + 4.0f < 1.5f ? s + 4.0f : 1.5f;
    Vec3 aim = box.stopPoint + box.axis * ahead;
    if (s < -8.0f) aim = aim - boxSideDirection(b) * boxClearance;
    float side = dot(c.rightAxis, aim - (c.positionVector + c.forwardAxis));
    steering = side > 0.3f ? -1.0f : side < -0.3f ? 1.0f : 0.0f;
    // Braked to a creep by the box's edge, so that the car is still when the crew take it.
    float forwardSpeed = dot(c.velocity, c.forwardAxis);
    float remaining = -s;
    float wanted = remaining > 5.5f ? boxCreep + std::sqrt(2 * boxBraking * (remaining - 5.5f)) : boxCreep;
    if (remaining < 0.7f) throttle = 0;
    else if (forwardSpeed > wanted + 0.5f) throttle = 0;
    else if (forwardSpeed < wanted - 1.0f) throttle = 2;
    else throttle = 1;
    return true;
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
static float gripNear(int car, const Vec3& p)
{
    const CarModel& m = game.carModels[car];
    const float d = 1.0f;
    const float at[5][2] = {{0, 0}, {d, 0}, {-d, 0}, {0, d}, {0, -d}};
    float sum = 0;
    for (const auto& o : at) sum += gripAt(m, surfaceUnder(p.x + o[0], p.z + o[1]), game.carCount);
    return sum / 5;
}

// The speed the path ahead allows now: every bend within braking distance, taken at the
// lateral grip the ground there gives, braked for at the least grip on the way.
static float bendAheadLimit(int car, bool lane, int next)
{
    const CarState& c = game.cars[car];
    float tyre = c.tyres * 0.36f / 65536.0f + 0.64f;
    float grip = gripNear(car, c.positionVector) * tyre;
    float speed2 = dot(c.velocity, c.velocity);
    float limit2 = 1e6f;
    Vec3 prev = c.positionVector;
    float along = 0;
    for (int k = next; k < next + 60; ++k) {
        // The ground between here and the bend is what the car brakes on.
        float braking = brakingPerGrip * grip;
        if (!(braking > 0.5f)) braking = 0.5f;
        if (along > speed2 / (2 * braking) + 10.0f) break;
        Vec3 a = pathPoint(lane, k), b = pathPoint(lane, k + 1), d = pathPoint(lane, k + 2);
        along += flatLength(a - prev);
        prev = a;
        float there = gripNear(car, b) * tyre;
        if (there < grip) grip = there;
        Vec3 u = b - a, v = d - b;
        float lu = flatLength(u), lv = flatLength(v);
        if (lu < 1e-3f || lv < 1e-3f) continue;
        float cosTurn = (u.x * v.x + u.z * v.z) / (lu * lv);
        float turn = std::acos(cosTurn > 1 ? 1 : cosTurn < -1 ? -1 : cosTurn);
        if (turn < 1e-3f) continue;
        float radius = 0.5f * (lu + lv) / turn;
        float lateral = lateralPerGrip * there;
        if (!(lateral > 0.5f)) lateral = 0.5f;
        float allowed2 = lateral * radius + 2 * braking * along;
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
    if (c.controls[3] > 200 && !(c.controls[3] == backingUp && c.revvingCounter >= FirstBoxMode)) c.controls[3] = 200;
    int mode = c.revvingCounter;
    if (mode >= FirstBoxMode && game.pitBoxes && mode - FirstBoxMode < game.pitBoxCount &&
        game.pitBoxes[mode - FirstBoxMode].owner == car) {
        if (serviceDone(car, game.pitBoxes[mode - FirstBoxMode])) {
            c.revvingCounter = OutOfPitLane;
            c.controls[2] = uint32_t(laneIndexAhead(c));
            c.controls[3] = 100;
        }
        // Rolls on in neutral toward the stop point; brakes when rolling so fast that its wheels
        // would free the box, or once there.
        float f = dot(c.velocity, c.forwardAxis);
        float remaining = dot(game.pitBoxes[mode - FirstBoxMode].stopPoint - c.positionVector, game.pitBoxes[mode - FirstBoxMode].axis);
        throttle = std::fabs(f) > 3.0f || (remaining < 1.0f && std::fabs(f) > 0.5f) ? 0 : 1;
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

    bool pulling = true;
    if (mode >= FirstBoxMode) {
        pulling = driveIntoBox(car, mode - FirstBoxMode, throttle, steering);
        if (!pulling) c.revvingCounter = mode = IntoPitLane;
    }
    if (!pulling || mode < FirstBoxMode) {
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
                next = game.pitExitIndex;
            } else if (!lane) {
                next = wrap(next, n);
                if (next == game.pitEntryIndex && pitLaneUsable(car) && wantsPitStop(car)) {
                    c.revvingCounter = mode = IntoPitLane;
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
        bool nowLane = onPitLane(mode);
        float ahead = 0.016f * speed * speed * tau * tau;
        int step = ahead < 1e6f ? int(ahead) : 1000000;
        Vec3 P = pathPoint(nowLane, next + 1 + step) + shift;
        throttle = throttleToward(car, nowLane, next, P);
        c.controls[2] = uint32_t(next);

        if (mode == IntoPitLane) chooseBox(car);
    }

    if (speed < 3 && (throttle == -1 || throttle == 2)) ++c.upsideDownCounter;
    else c.upsideDownCounter = 0;
}
