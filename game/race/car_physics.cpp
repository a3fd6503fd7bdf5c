#include "race/car_physics.h"

#include "audio/sound.h"
#include "race/car_models.h"
#include "race/collisions.h"
#include "race/computer_driver.h"
#include "race/controls.h"
#include "race/race_rules.h"
#include "race/wheel_marks.h"
#include "state/game_state.h"
#include "state/particle_ring.h"
#include "state/random_table.h"
#include "track/terrain_height.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>

namespace {

// A model may carry any mass; below this the mass factor and the divisions by the mass lose
// their meaning (at -200 with an empty tank the factor divides by zero) and the drag of one
// step would overshoot.
constexpr float lightestMass = 50.0f;
constexpr float slowestTopSpeed = 0.001f;

float length(Vec3 v) { return std::sqrt(dot(v, v)); }
bool finite(Vec3 v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

// Steps 2 to 5: mass, the loads of the last contacts weighed by the grip under each wheel,
// and the steering grip and traction they give.
struct Grip {
    float steering;  // Gs
    float traction;  // Gt
};

Grip gripFromLoads(CarState& c, const CarModel& m, const float grips[256], const int wheelCells[4])
{
    float mass = m.mass + game.options.fuelMass * float(c.fuel) / 65536.0f;
    c.mass = std::isfinite(mass) && mass > lightestMass ? mass : lightestMass;
    c.massFactor = 1200.0f / (c.mass + 200.0f);

    float sum = c.wheelLoads[0] + c.wheelLoads[1] + c.wheelLoads[2] + c.wheelLoads[3] + c.bodyLoad;
    if (sum > 1e-6f) c.loadShare /= sum;
    c.bodyLoad *= m.gripTable[7];
    for (int w = 0; w < 4; ++w) {
        float grip;
        if (c.wheelContactKind[w] == 2) grip = m.gripTable[1];
        else if (c.wheelContactKind[w] == 3) grip = m.gripTable[9];
        else grip = grips[game.surfaceMap ? game.surfaceMap[wheelCells[w]] : 0];
        c.wheelLoads[w] *= grip;
    }

    float tyre = c.tyres * 0.36f / 65536.0f + 0.64f;
    float front = c.wheelLoads[0] + c.wheelLoads[1];
    Grip g;
    g.steering = (c.bodyLoad + 2 * front) * tyre * m.corneringFactor * 0.45f + 0.2f;
    g.traction = (front + c.wheelLoads[2] + c.wheelLoads[3] + c.bodyLoad) * tyre;
    return g;
}

// Step 8, a car on its roof: turned about the horizontal axis that lifts its up axis.
void turnBack(CarState& c)
{
    if (c.upAxis.y > 0) {
        c.upsideDownCounter = 0;
        return;
    }
    Vec3 h{-c.upAxis.z, 0, c.upAxis.x};
    float l = length(h);
    c.angularVelocity = c.angularVelocity - (l > 0.001f ? h * (1.0f / l) : c.forwardAxis);
}

// Step 11: damage above 5000 puffs smoke, the engine missing while the countdown is low.
void engineSmoke(CarState& c, const CarModel& m, float revs)
{
    if (c.damage < 5000) {
        c.engineCountdown = 10;
        return;
    }
    if (c.engineCountdown != 0) {
        --c.engineCountdown;
        return;
    }
    startParticle(0, 100, c.positionVector - c.forwardAxis * m.ellipsoid.z, c.velocity);
    double next = std::trunc((4.0 * nextRandom() + 2.0) * 655350.0 / (c.damage * double(revs)));
    // The low eight bits, for any size of quotient.
    c.engineCountdown = std::isfinite(next) ? uint8_t(std::fmod(next, 256.0)) : 0;
}

// Step 12. True while the engine pulls (accelerating or reversing).
bool driveWheels(CarState& c, const CarModel& m, int throttle, float f)
{
    float w = c.wheelSpeed;
    bool engine = c.engineCountdown > 9;
    bool pulls = false;
    if (throttle == 2 && engine) {
        float push = c.fuel > 0 ? 147.1f * m.enginePower / c.mass : 14.71f;
        w = std::sqrt(std::max(w * w + push, 0.0f));
        pulls = true;
    } else if (throttle == -1 && 9.25f * f > 2) {
        w = 0.25f * f - 2;
    } else if (throttle == -1 && engine) {
        w = -std::sqrt(w * w + 14.71f);
        pulls = true;
    } else if (throttle == 0) {
        if (9.25f * f > 2) w = 0.25f * f - 2;
        else if (9.25f * f < -2) w = 0.25f * f + 2;
        else w = -9 * f;
    } else {
        if (9.9f * f > 0.5f) w = 0.9f * f - 0.5f;
        else if (9.9f * f < -0.5f) w = 0.9f * f + 0.5f;
        else w = -9 * f;
    }
    float top = std::max(std::fabs(m.topSpeed), slowestTopSpeed);
    c.wheelSpeed = std::clamp(w, -top, top);
    return pulls;
}

float engineRevs(const CarState& c, const CarModel& m)
{
    return (50 + 4 * std::fabs(c.wheelSpeed)) / std::max(std::fabs(m.topSpeed), slowestTopSpeed);
}

// Step 13.
void engineSound(int car, bool pulls, float revs)
{
    int32_t handle = game.engineSound[car];
    if (!handle) return;
    double e = 1000.0 * std::log10(1.0 + game.options.engineVolume * 1e8);
    int32_t level = pulls ? int32_t(e) - 10000 : -10000 + int32_t(0.93 * e);
    setSoundVolume(handle, volumeFromLevel(level));
    // Muffled an octave down under water.
    double scale = game.cars[car].positionVector.y < game.waterLevel ? 5000.0 : 10000.0;
    double rate = std::trunc(std::min(double(revs) * scale, 1e9));
    setSoundRate(handle, float(rate / 22050.0));
}

// Step 14: one combined tyre force held inside the friction ellipse of the traction.
struct TyreForce {
    float lateral = 0;  // T
    float slip1 = 0, slip2 = 0;
};

TyreForce tyreForce(CarState& c, const CarModel& m, float gt, float f, bool pulls)
{
    TyreForce out;
    if (!(gt > 0.0001f)) return out;
    float w = c.wheelSpeed;
    float dw = w - f;
    float lat = -dot(c.rightAxis, c.velocity);
    float a = std::fabs(m.slipStiffness * (0.1f * dw + f));
    float k = 1;
    float gt2 = gt * gt;
    if (lat * lat / ((a + 1) * (a + 1)) + dw * dw / 100 > gt2) {
        // Halving search for the softening that brings the force onto the ellipse; s x k
        // never exceeds 0.5, so k stays positive.
        k = 2;
        float s = 0.25f;
        do {
            float q = s * k;
            if (dw * dw / ((k + 9) * (k + 9)) + lat * lat / ((k + a) * (k + a)) <= gt2) k = k / (1 + q);
            else k = k / (1 - q);
            s *= 0.5f;
        } while (s > 0.0001f);
    }
    float longitudinal = dw / (k + 9);
    out.lateral = lat / (k + a);
    c.wheelSpeed = w - 9 * longitudinal;

    out.slip1 = (k - 1) * 0.1f;
    out.slip2 = pulls ? out.slip1 * std::fabs(out.lateral) / gt : out.slip1;
    // The search may settle a hair below 1: no wear from a negative slip.
    double wear = 1.0 + game.options.tyreWear * 2e-5 * double(gt2) * std::sqrt(std::max(out.slip1 + out.slip2, 0.0f));
    if (std::isfinite(wear) && wear >= 1.0) c.tyres = uint16_t(c.tyres / wear);
    else if (!std::isfinite(wear)) c.tyres = 0;

    c.velocity = c.velocity + c.forwardAxis * longitudinal + c.rightAxis * out.lateral;
    Vec3 torque = c.rightAxis * longitudinal - c.forwardAxis * out.lateral;
    c.angularVelocity = c.angularVelocity + torque * (c.massFactor * c.loadShare);
    return out;
}

// Step 15.
void steer(CarState& c, float steering, float lateral, float gs, float speed, float f, bool computer)
{
    float mf = c.massFactor;
    float turn;
    if (!game.options.goofyReverse) {
        if (speed < 5) lateral *= speed / 5;
        float q = (speed * speed - f * f) * 0.2f;
        float g = (q + f) / (q + 5);
        // Steering reverses with the direction of travel; the computer steers by where it
        // wants to go and flips it back.
        if (g < -1) steering = -steering;
        else if (g < 1) steering *= g;
        if (computer && g < 0) steering = -steering;
        turn = mf * 5 * (2 * steering * gs + lateral) / (15 - mf);
    } else {
        turn = mf * std::min(speed, 5.0f) * (2 * steering * gs + lateral) / (15 - mf);
    }
    c.angularVelocity = c.angularVelocity + c.upAxis * turn;
}

// Step 16: 8 % lost per step about the horizontal axes, mass factor / 15 about the up axis.
void damp(CarState& c)
{
    float spin = dot(c.angularVelocity, c.upAxis);
    c.angularVelocity = c.angularVelocity * 0.92f + c.upAxis * ((0.08f - c.massFactor / 15) * spin);
}

// v turned about the unit axis k by the angle whose cosine and sine are cs and sn, in the sense
// that keeps axis += axis x w.
[[gnu::always_inline]] inline Vec3 turned(Vec3 v, Vec3 k, float cs, float sn)
{
    return v * cs + cross(v, k) * sn + k * (dot(k, v) * (1 - cs));
}

// Step 18, and the axes kept square and of unit length against rounding over a long race.
void integrate(CarState& c)
{
    c.positionVector = c.positionVector + c.velocity * 0.01f;
    float rate = length(c.angularVelocity);
    if (rate > 1e-9f) {
        Vec3 k = c.angularVelocity * (1.0f / rate);
        float angle = rate * 0.01f;
        float cs = std::cos(angle), sn = std::sin(angle);
        c.rightAxis = turned(c.rightAxis, k, cs, sn);
        c.upAxis = turned(c.upAxis, k, cs, sn);
        c.forwardAxis = turned(c.forwardAxis, k, cs, sn);
    }
    c.forwardAxis = normalised(c.forwardAxis);
    c.rightAxis = normalised(c.rightAxis - c.forwardAxis * dot(c.rightAxis, c.forwardAxis));
    c.upAxis = normalised(c.upAxis - c.forwardAxis * dot(c.upAxis, c.forwardAxis) - c.rightAxis * dot(c.upAxis, c.rightAxis));
}

// Step 19: gravity, air drag and downforce, and the water, which slows the car nine times as
// much and lets it skim at speed.
void airAndWater(int car, float speed)
{
    CarState& c = game.cars[car];
    const CarModel& m = game.carModels[car];
    Vec3 drag = c.velocity * m.airDrag + c.upAxis * m.downforce;
    Vec3 fall = game.gravity * 0.01f;
    float water = game.waterLevel, y = c.positionVector.y, h = m.ellipsoid.y;
    float perMass = speed / c.mass / 100;
    if (y > water) {
        c.velocity = c.velocity + fall - drag * perMass;
    } else if (y + h <= water) {
        for (auto& d : c.wheelDirt) d = 0;
        c.velocity = c.velocity + fall - drag * (9 * perMass);
    } else {
        // Only here does the car straddle the surface, so h > 0.
        float d = (water - y) / h;
        float lift = (1 - d * d) * 8 * m.airDrag * speed * speed / c.mass / 100;
        c.velocity.y += lift;
        // The lift also levels the car on the water.
        Vec3 level{-c.upAxis.z, 0, c.upAxis.x};
        c.angularVelocity = c.angularVelocity - level * (c.massFactor * lift);
        if (c.splashCounter * lift > 1.5f) {
            startParticle(1, 100, {c.positionVector.x, water, c.positionVector.z},
                          {c.velocity.x, 30 * lift * nextRandom(), c.velocity.z});
            c.splashCounter = 0;
        } else if (c.splashCounter < 255) {
            ++c.splashCounter;
        }
        c.velocity = c.velocity + fall - drag * ((4 * d + 5) * perMass);
    }
}

// Step 20: the wheel points under the car for the contacts to raise, and cleared loads.
void prepareContacts(CarState& c, const CarModel& m, float speed)
{
    for (int w = 0; w < 4; ++w) {
        const Vec3& p = m.wheelPositions[w];
        Vec3 at = c.positionVector + c.rightAxis * p.x + c.upAxis * p.y + c.forwardAxis * p.z;
        c.wheelPoints[w] = {at.x, 0, at.z};
        c.wheelLoads[w] = 0;
        // The contacts mark the kind afresh; a kind left from an object must not outlive it.
        c.wheelContactKind[w] = 0;
    }
    c.bodyLoad = 0;
    c.loadShare = 0;
    c.speedFactor = 1 - 3 / (speed + 3);
}

// A car the walls can no longer reach (through them in one step, or sunk through the ground
// beyond the ground slab) comes back inside at rest on that side. Returns the ground height
// under the car's centre, read at x and z as they are now, and the ground's normal there.
float keepOnTrack(CarState& c, Vec3& normal)
{
    float top = game.trackSize + 1;
    Vec3& p = c.positionVector;
    if (p.x < -1) p.x = 0, c.velocity.x = std::max(c.velocity.x, 0.0f);
    if (p.x > top) p.x = game.trackSize, c.velocity.x = std::min(c.velocity.x, 0.0f);
    if (p.z < -1) p.z = 0, c.velocity.z = std::max(c.velocity.z, 0.0f);
    if (p.z > top) p.z = game.trackSize, c.velocity.z = std::min(c.velocity.z, 0.0f);
    float ground;
    normal = terrainNormalAndHeight(p.x, p.z, ground);
    if (p.y < ground - 10) p.y = ground + 1, c.velocity.y = std::max(c.velocity.y, 0.0f);
    return ground;
}

// What the step started from, to fall back on when an odd model or track produced NaN or
// infinity.
struct Pose {
    Vec3 position, right, up, forward;
};

// Three finite, square axes of about unit length: what a frame that collapsed or blew up is not.
// knownFinite: the axes were found finite already.
bool unitFrame(const CarState& c, bool knownFinite = false)
{
    for (const Vec3* a : {&c.rightAxis, &c.upAxis, &c.forwardAxis})
        if ((!knownFinite && !finite(*a)) || !(std::fabs(dot(*a, *a) - 1) < 0.5f)) return false;
    return std::fabs(dot(c.rightAxis, c.upAxis)) < 0.1f && std::fabs(dot(c.upAxis, c.forwardAxis)) < 0.1f &&
           std::fabs(dot(c.forwardAxis, c.rightAxis)) < 0.1f;
}

// frameChecked: the axes have not been written since the last call, which left them a frame.
void keepFinite(CarState& c, const Pose& start, bool frameChecked = false)
{
    // Nearly always all is well: one test for that, the field by field repair otherwise.
    bool numbersFinite = carNumbersFinite(c);
    if (!numbersFinite && !finite(c.positionVector)) {
        c.positionVector = finite(start.position) ? start.position
                                                  : Vec3{game.trackSize * 0.5f, 0, game.trackSize * 0.5f};
        if (!std::isfinite(c.positionVector.x + c.positionVector.z)) c.positionVector = Vec3{};
        c.positionVector.y = std::max(c.positionVector.y, terrainHeight(c.positionVector.x, c.positionVector.z));
    }
    if (!frameChecked && !unitFrame(c, numbersFinite)) {
        c.rightAxis = start.right, c.upAxis = start.up, c.forwardAxis = start.forward;
        if (!unitFrame(c)) c.rightAxis = {1, 0, 0}, c.upAxis = {0, 1, 0}, c.forwardAxis = {0, 0, 1};
    }
    if (numbersFinite) return;
    if (!finite(c.velocity)) c.velocity = Vec3{};
    if (!finite(c.angularVelocity)) c.angularVelocity = Vec3{};
    if (!std::isfinite(c.wheelSpeed)) c.wheelSpeed = 0;
    if (!std::isfinite(c.engineLoad)) c.engineLoad = 0;
    for (float& l : c.wheelLoads)
        if (!std::isfinite(l)) l = 0;
    if (!std::isfinite(c.bodyLoad)) c.bodyLoad = 0;
    if (!std::isfinite(c.loadShare)) c.loadShare = 0;
    for (float& s : c.slip)
        if (!std::isfinite(s)) s = 0;
    for (Vec3& w : c.wheelPoints)
        if (!finite(w)) w = {c.positionVector.x, 0, c.positionVector.z};
}

}  // namespace

bool carNumbersFinite(const CarState& c)
{
    // A sum of finite numbers is finite unless it overflows; a NaN or an infinity among them
    // leaves it NaN or infinite. Four sums, so that the additions need not wait for each other.
    static_assert(offsetof(CarState, speedFactor) - offsetof(CarState, positionVector) == 30 * sizeof(float),
                  "the floats from the position to the speed factor lie side by side");
    const unsigned char* block = reinterpret_cast<const unsigned char*>(&c.positionVector);
    const unsigned char* points = reinterpret_cast<const unsigned char*>(c.wheelPoints);
    float sum[4] = {}, q[4];
    auto add = [&](const unsigned char* at) {
        std::memcpy(q, at, sizeof q);
        for (int k = 0; k < 4; ++k) sum[k] += q[k];
    };
    // Written out: a loop here costs a third more than the additions themselves.
    add(block), add(block + 16), add(block + 32), add(block + 48), add(block + 64), add(block + 80), add(block + 96);
    add(points), add(points + 16), add(points + 32);
    std::memcpy(q, block + 16 * 7, 3 * sizeof(float));
    for (int k = 0; k < 3; ++k) sum[k] += q[k];
    return std::isfinite((sum[0] + sum[1]) + (sum[2] + sum[3]));
}

void carEngineSound(int car, bool pulls)
{
    if (car < 0 || car >= maxCars) return;
    engineSound(car, pulls, engineRevs(game.cars[car], game.carModels[car]));
}

void carStep(int car)
{
    if (car < 0 || car >= maxCars) return;
    CarState& c = game.cars[car];
    const CarModel& m = game.carModels[car];
    const Pose start{c.positionVector, c.rightAxis, c.upAxis, c.forwardAxis};

    float speed = length(c.velocity);
    float f = dot(c.velocity, c.forwardAxis);

    // The wheel points stay where the last contacts left them until prepareContacts: the grip
    // and the marks read the same cells.
    int wheelCells[4];
    for (int w = 0; w < 4; ++w) wheelCells[w] = surfaceCellUnder(c.wheelPoints[w].x, c.wheelPoints[w].z);
    Grip grip = gripFromLoads(c, m, surfaceGrips(car).grip, wheelCells);
    bool computer = c.controls[0] == 0;
    float ability = 1;
    if (computer) {
        // Above 100 a computer driver is faster through grip, not through a bolder line.
        float skill = float(c.controls[1]);
        if (skill > 100) grip.steering *= skill / 100, grip.traction *= skill / 100;
        else ability = skill / 100;
    }

    float demand = grip.traction + grip.steering;
    if (demand <= 2 * c.engineLoad) c.engineLoad = 0.98f * c.engineLoad + 0.01f * demand;
    else c.engineLoad = 0.02f * c.engineLoad + 0.49f * demand;

    if (c.upAxis.y < -0.7f) c.upsideDownCounter = 1000;

    int throttle = 1;
    float steering = 0;
    if (game.racePhase > Racing) {
        throttle = 0;
    } else if (c.upsideDownCounter >= 1000) {
        turnBack(c);
    } else if (computer) {
        computerDriver(car, ability, throttle, steering);
    } else {
        humanInputs(car, throttle, steering);
    }

    double burn = std::trunc(double(game.options.fuelConsumption) * speed / 100.0);
    if (burn < c.fuel) c.fuel = uint16_t(c.fuel - burn);
    else c.fuel = 0;

    steering += c.damage * (4 * nextRandom() - 2) / 65536.0f;

    float revs = engineRevs(c, m);
    engineSmoke(c, m, revs);
    bool pulls = driveWheels(c, m, throttle, f);
    engineSound(car, pulls, revs);

    TyreForce tyre = tyreForce(c, m, grip.traction, f, pulls);
    c.slip[0] = tyre.slip2;
    c.slip[1] = tyre.slip1;
    steer(c, steering, tyre.lateral, grip.steering, speed, f, computer);
    damp(c);
    wheelGroundEffects(car, speed, tyre.slip1, tyre.slip2, wheelCells);

    integrate(c);
    airAndWater(car, speed);
    Vec3 normal;
    float ground = keepOnTrack(c, normal);
    const Vec3 placed = c.positionVector;
    keepFinite(c, start);
    prepareContacts(c, m, speed);

    // The ground height keepOnTrack read, unless keepFinite moved a car that was not finite.
    if (std::memcmp(&placed.x, &c.positionVector.x, sizeof(float)) == 0 &&
        std::memcmp(&placed.z, &c.positionVector.z, sizeof(float)) == 0)
        groundAndWallContacts(car, ground, normal);
    else
        groundAndWallContacts(car);
    objectContacts(car);
    // Contacts push and spin the car but never turn its axes.
    keepFinite(c, start, true);
    checkpointTest(car);
}
