#include "race/pit_lane_driver.h"

#include "state/game_state.h"
#include "state/random_table.h"

#include <algorithm>
#include <cmath>

namespace {

// What a car plans to brake with into its box, in units/s²: late enough far out that it brakes in
// the lane, not in the entry ramp beside the racing cars; gently over the last units, well inside
// what worn tyres give, so that it comes to rest where it meant to.
constexpr float laneBraking = 18.0f;
constexpr float boxBraking = 10.0f;
constexpr float boxBrakingReach = 15.0f;  // the last units, planned at boxBraking
// ... and behind a car in its way, with room to spare.
constexpr float gapBraking = 12.0f;
constexpr float boxArrival = 1.5f;        // speed a car rolls onto its stop point with
constexpr float boxStopShort = 0.8f;      // from here on the car brakes to a stand
constexpr float boxNear = 15.0f;          // before the stop point the car leaves the lane's line for the box
// A served car stands this much beyond its stop point, away from the lane's middle, so that the
// cars bound for the boxes further on pass it (the crew reach it anywhere near the point).
constexpr float boxSideShift = 1.5f;
constexpr float boxPassed = 4.0f;         // this far past its stop point a car has missed its box
constexpr float boxInLane = 6.0f;         // nearer than this beside a box's line the car is in the lane proper
constexpr uint16_t boxPatience = 500;     // steps a car bound for its box may stand held up on the way
constexpr uint16_t boxGivenUp = 0xFFFF;   // no other box on this visit to the lane
constexpr float bumperGap = 1.0f;         // between a car and the one it queues behind
constexpr float laneLookAhead = 40.0f;
constexpr float laneSpeed = 20.0f;        // the lane's limit: crews and cars stand beside it
constexpr float boxSearchSpeed = 14.0f;   // a car in for service and still without a box looks out for one
constexpr int laneRampPoints = 3;         // lane points of each ramp, beside the road

float laneFuelNeed(int laps) { return float(laps) * game.options.fuelConsumption * float(game.lapLength); }

bool boxExists(int b) { return game.pitBoxes && b >= 0 && b < game.pitBoxCount && b < maxPitBoxes; }

bool boxUsable(int car, int b)
{
    if (!boxExists(b)) return false;
    if (game.ownPitBoxesOnly && b != car) return false;
    uint8_t owner = game.pitBoxes[b].owner;
    if (owner <= 5 && owner != car) return false;
    // Nor one another car is already driving into.
    for (int j = 0; j < game.carCount && j < maxCars; ++j)
        if (j != car && game.cars[j].controls[0] == 0 && game.cars[j].revvingCounter == FirstBoxMode + b) return false;
    return true;
}

// Unit vector across the lane toward box b: boxes stand to one side of the lane's middle.
Vec3 boxSideDirection(int b)
{
    const PitBox& box = game.pitBoxes[b];
    Vec3 right{box.axis.z, 0, -box.axis.x};
    float best = 1e30f, across = 0;
    for (int i = 0; i < game.pitLaneCount; ++i) {
        Vec3 d = box.stopPoint - game.pitLane[i];
        float d2 = flatLength2(d);
        if (d2 < best) best = d2, across = dot(d, right);
    }
    return across < 0 ? right * -1.0f : right;
}

// The direction of the lane where it passes nearest to p.
Vec3 laneDirectionNear(const Vec3& p)
{
    int best = 1;
    float least = 1e30f;
    for (int i = 1; i < game.pitLaneCount; ++i) {
        Vec3 d = game.pitLane[i] - p;
        float d2 = flatLength2(d);
        if (d2 < least) least = d2, best = i;
    }
    Vec3 dir = game.pitLane[best] - game.pitLane[best - 1];
    dir.y = 0;
    return normalised(dir);
}

// The speed that still comes to rest `d` units on: gently over the last units, harder before.
float approachSpeed(float d)
{
    float near = std::min(d, boxBrakingReach), far = std::max(d - boxBrakingReach, 0.0f);
    return std::sqrt(boxArrival * boxArrival + 2 * boxBraking * near + 2 * laneBraking * far);
}

// The units a car at speed v needs to come to rest braking as approachSpeed plans.
float stoppingDistance(float v)
{
    float v2 = v * v - boxArrival * boxArrival, nearPart = 2 * boxBraking * boxBrakingReach;
    if (v2 <= nearPart) return std::max(v2, 0.0f) / (2 * boxBraking);
    return boxBrakingReach + (v2 - nearPart) / (2 * laneBraking);
}

// The throttle state that brings the car's forward speed to `wanted`.
int throttleFor(float forwardSpeed, float wanted)
{
    if (forwardSpeed > wanted + 0.5f) return 0;
    if (forwardSpeed < wanted - 1.0f) return 2;
    return 1;
}

}  // namespace

// At the pit entry: in when marked low on fuel, else by fuel, damage and chance while the race
// is still open.
bool wantsPitStop(int car)
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
    // (A lap burns a tenth less than the lap length's worth: the line cuts the corners.)
    if (c.fuel < 1.1f * laneFuelNeed(1)) return true;
    // Short of fuel for the rest of the race: only a tank near that reserve may stop early; one
    // that comes round again stays out, as every stop costs a lap's pace.
    if (c.damage < 1001) return c.fuel < laneFuelNeed(1) * (1.1f + 0.1f * nextRandom());
    return c.fuel < need * nextRandom();
}

bool pitLaneUsable(int car)
{
    if (!game.pitLane || game.pitLaneCount < 2) return false;
    for (int b = 0; b < game.pitBoxCount && b < maxPitBoxes; ++b)
        if (!game.ownPitBoxesOnly || b == car) return true;
    return false;
}

void chooseBox(int car)
{
    CarState& c = game.cars[car];
    if (c.serviceState == 2 || game.boxApproachSteps[car] == boxGivenUp) return;
    int best = -1;
    float v = std::sqrt(dot(c.velocity, c.velocity));
    float stopping = stoppingDistance(v);
    float bestDistance = -1e30f;
    for (int b = 0; b < game.pitBoxCount && b < maxPitBoxes; ++b) {
        if (!boxUsable(car, b)) continue;
        Vec3 to = game.pitBoxes[b].stopPoint - c.positionVector;
        // Only a box the car can still stop at, braking as it plans to.
        float ahead = dot(to, game.pitBoxes[b].axis);
        if (ahead < stopping + 2.0f) continue;
        // The farthest free box: the car brakes in the lane, not in the ramp beside the racing
        // cars, and the cars behind it stop short of it instead of passing it.
        if (ahead > bestDistance) best = b, bestDistance = ahead;
    }
    if (best < 0) return;
    c.revvingCounter = uint8_t(FirstBoxMode + best);
    game.boxApproachSteps[car] = 0;
}

bool serviceDone(int car, int b)
{
    const CarState& c = game.cars[car];
    const PitBox& box = game.pitBoxes[b];
    for (int m = 2; m <= 5; ++m)
        if (box.task[m] != 255) return false;
    if (box.task[7] != 255) return false;
    return laneFuelNeed(game.raceLaps - c.laps) < c.fuel || box.task[6] == 255;
}

int laneIndexAhead(const CarState& c)
{
    int n = game.pitLaneCount;
    for (int i = 1; i < n; ++i)
        if (dot(game.pitLane[i] - c.positionVector, c.forwardAxis) > 0) return i;
    return n > 1 ? n - 1 : 1;
}

float laneClearSide()
{
    if (!game.pitBoxes || game.pitBoxCount == 0 || game.pitLaneCount < 2) return 0;
    Vec3 toBoxes = boxSideDirection(0);
    Vec3 dir = game.pitLane[1] - game.pitLane[0];
    Vec3 right{dir.z, 0, -dir.x};
    return dot(toBoxes, right) > 0 ? -1.0f : 1.0f;
}

// Steering onto the line the car is to stand on, aimed a few units ahead of the car along it,
// so that the car is on the line well before it stops.
float boxSteering(const CarState& c, int b)
{
    const PitBox& box = game.pitBoxes[b];
    Vec3 line = box.stopPoint + boxSideDirection(b) * boxSideShift;
    Vec3 aim = line + box.axis * (dot(c.positionVector - line, box.axis) + 4.0f);
    float side = dot(c.rightAxis, aim - (c.positionVector + c.forwardAxis));
    return side > 0.1f ? -1.0f : side < -0.1f ? 1.0f : 0.0f;
}

bool approachBox(int car, int b, int& throttle, float& steering, bool& near)
{
    CarState& c = game.cars[car];
    near = false;
    if (!boxExists(b)) return false;
    const PitBox& box = game.pitBoxes[b];
    bool gaveUp = (box.owner <= 5 && box.owner != car) || c.serviceState == 2;
    float s = dot(c.positionVector - box.stopPoint, box.axis);
    Vec3 off = c.positionVector - box.stopPoint - box.axis * s;
    // Past the box or knocked out of the lane by it: backing up along the lane would only meet
    // the cars behind, so the car drives on and comes back on a later lap if it still must.
    float beside = flatLength(off);
    gaveUp = gaveUp || s > boxPassed || (s > -boxStopShort - 2 && beside > boxInLane);
    if (dot(c.velocity, c.velocity) < 4.0f) ++game.boxApproachSteps[car];
    gaveUp = gaveUp || game.boxApproachSteps[car] > boxPatience;
    if (gaveUp) {
        game.boxApproachSteps[car] = boxGivenUp;
        return false;
    }
    float forwardSpeed = dot(c.velocity, c.forwardAxis);
    float remaining = -s;
    float wanted = remaining > boxStopShort ? approachSpeed(remaining - boxStopShort) : 0.0f;
    throttle = throttleFor(forwardSpeed, wanted);
    // Still in the ramp from the road: the lane's own line leads round the divider.
    if (s < -boxNear || beside > boxInLane) return true;
    // Along the box's own line onto the stop point.
    near = true;
    steering = boxSteering(c, b);
    return true;
}

void standInBox(int car, int b, int& throttle, float& steering)
{
    const CarState& c = game.cars[car];
    const PitBox& box = game.pitBoxes[b];
    float f = dot(c.velocity, c.forwardAxis);
    float remaining = dot(box.stopPoint - c.positionVector, box.axis);
    // Rolling only: the first push of the engine spins the wheels fast enough to free the box.
    throttle = remaining < boxStopShort || std::fabs(f) > 1.5f ? 0 : 1;
    steering = f > 0.3f ? boxSteering(c, b) : 0;
}

// The speed that keeps the car behind every car in its path ahead (read along `along`) that
// `counts`; 1e30 when there is none.
template <typename Counts>
static float gapSpeed(int car, const Vec3& along, Counts counts)
{
    const CarState& c = game.cars[car];
    const Vec3& mine = game.carModels[car].ellipsoid;
    Vec3 across{along.z, 0, -along.x};
    float allowed = 1e30f;
    for (int j = 0; j < game.carCount && j < maxCars; ++j) {
        if (j == car || !counts(j)) continue;
        const CarState& other = game.cars[j];
        const Vec3& theirs = game.carModels[j].ellipsoid;
        Vec3 rel = other.positionVector - c.positionVector;
        float a = dot(rel, along);
        if (!(a > 0 && a < laneLookAhead)) continue;
        // Only a car in the way: one beside the car's path is passed.
        if (std::fabs(dot(rel, across)) >= std::fabs(mine.x) + std::fabs(theirs.x) + 0.2f) continue;
        float gap = a - std::fabs(mine.z) - std::fabs(theirs.z) - bumperGap;
        float theirSpeed = std::max(dot(other.velocity, along), 0.0f);
        allowed = std::min(allowed, theirSpeed + std::sqrt(2 * gapBraking * std::max(gap, 0.0f)));
    }
    return allowed;
}

int keepGap(int car, int throttle)
{
    const CarState& c = game.cars[car];
    // Ahead and beside are read along the lane, the same for every car on it, so that of two
    // cars side by side only the one behind waits.
    float allowed = gapSpeed(car, laneDirectionNear(c.positionVector), [](int) { return true; });
    // The limit holds between the ramps: braking or accelerating beside the racing cars on the
    // road is what gets a car hit.
    int index = int(c.controls[2]);
    if (index >= laneRampPoints && index < game.pitLaneCount - laneRampPoints)
        allowed = std::min(allowed, c.revvingCounter == IntoPitLane ? boxSearchSpeed : laneSpeed);
    if (allowed > 1e29f) return throttle;
    return std::min(throttle, throttleFor(dot(c.velocity, c.forwardAxis), allowed));
}

int yieldToPitting(int car, int throttle)
{
    const CarState& c = game.cars[car];
    float allowed = gapSpeed(car, c.forwardAxis, [](int j) {
        return game.cars[j].controls[0] == 0 && game.cars[j].revvingCounter != OnLine;
    });
    if (allowed > 1e29f) return throttle;
    return std::min(throttle, throttleFor(dot(c.velocity, c.forwardAxis), allowed));
}
