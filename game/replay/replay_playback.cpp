#include "replay/replay_playback.h"

#include "audio/sound.h"
#include "race/car_physics.h"
#include "replay/replay_controls.h"
#include "state/game_state.h"

#include <algorithm>
#include <cmath>

namespace {

struct Pose {
    Vec3 position, right, up, forward;
};

Pose decode(const ReplayFrame& f)
{
    Pose p;
    p.position = Vec3{f.position[0] / 150.0f, f.position[1] / 150.0f, f.position[2] / 150.0f};
    p.right = normalised(Vec3{f.right[0] / 120.0f, f.right[1] / 120.0f, f.right[2] / 120.0f});
    p.forward = normalised(Vec3{f.forward[0] / 120.0f, f.forward[1] / 120.0f, f.forward[2] / 120.0f});
    // right = up x forward, so up = forward x right.
    p.up = cross(p.forward, p.right);
    return p;
}

// Ring index of frame i (0 = oldest), i kept within the frames held.
int ringIndex(int i)
{
    const ReplayState& r = game.replay;
    i = std::clamp(i, 0, r.frameCount - 1);
    long long k = (static_cast<long long>(r.start) + i) % r.capacity;
    return int(k < 0 ? k + r.capacity : k);
}

Vec3 blend(Vec3 a, Vec3 b, float u) { return a * (1 - u) + b * u; }

// A frame index within the frames held; whatever the position holds, even NaN.
float heldPosition(float position)
{
    if (!(position >= 0)) return 0;
    return std::min(position, replayEndPosition());
}

// Catmull-Rom between p1 and p2, as the Bezier curve with the same ends.
Vec3 spline(Vec3 p0, Vec3 p1, Vec3 p2, Vec3 p3, float u)
{
    Vec3 b1 = p1 + (p2 - p0) * (1.0f / 6);
    Vec3 b2 = p2 - (p3 - p1) * (1.0f / 6);
    float v = 1 - u;
    return p1 * (v * v * v) + b1 * (3 * v * v * u) + b2 * (3 * v * u * u) + p2 * (u * u * u);
}

int carsWithRings() { return std::clamp(game.carCount, 0, replayCarSlots); }

// Home or End moved playback and no picture has shown where it landed yet. Playback that holds
// at that end at once has nothing new to show, but the jump itself must be seen.
bool landingUnseen = false;

}  // namespace

void replayLandingShown() { landingUnseen = false; }

float replayEndPosition()
{
    const ReplayState& r = game.replay;
    return std::max(r.frameCount - 1.0f / std::max(r.frameStep, 1), 0.0f);
}

void placeReplayCars(float position)
{
    const ReplayState& r = game.replay;
    if (r.frameCount <= 0 || r.capacity <= 0) return;
    position = heldPosition(position);
    int i = std::clamp(int(position), 0, r.frameCount - 1);
    float u = std::clamp(position - float(i), 0.0f, 1.0f);
    int k0 = ringIndex(i - 1), k1 = ringIndex(i), k2 = ringIndex(i + 1), k3 = ringIndex(i + 2);
    for (int car = 0; car < carsWithRings(); ++car) {
        const ReplayFrame* f = r.frames[car];
        if (!f) continue;
        Pose a = decode(f[k1]), b = decode(f[k2]);
        CarState& c = game.cars[car];
        c.positionVector = spline(decode(f[k0]).position, a.position, b.position, decode(f[k3]).position, u);
        c.rightAxis = blend(a.right, b.right, u);
        c.upAxis = blend(a.up, b.up, u);
        c.forwardAxis = blend(a.forward, b.forward, u);
        c.wheelSpeed = f[k1].wheelSpeed * (1 - u) + f[k2].wheelSpeed * u;
        const CarModel& m = game.carModels[car];
        for (int w = 0; w < 4; ++w) {
            const Vec3& p = m.wheelPositions[w];
            Vec3 at = c.positionVector + c.rightAxis * p.x + c.upAxis * p.y + c.forwardAxis * p.z;
            // The shadows lie on the ground the frames recorded under each wheel.
            float ground = (f[k1].wheelHeight[w] * (1 - u) + f[k2].wheelHeight[w] * u) / 16.0f;
            c.wheelPoints[w] = Vec3{at.x, ground, at.z};
        }
    }
}

bool advanceReplay()
{
    ReplayState& r = game.replay;
    r.position += r.speed / float(std::max(r.frameStep, 1));
    float end = replayEndPosition();
    // NaN from a broken speed lands at the start like a position below it.
    if (!(r.position >= 0)) {
        r.position = 0;
        return false;
    }
    if (r.position > end) {
        r.position = end;
        return false;
    }
    return true;
}

bool replayStep()
{
    ReplayState& r = game.replay;
    float before = r.position;
    if (!readReplayKeys()) return false;
    if (r.frameCount <= 0 || r.capacity <= 0) return false;
    // Of the keys only Home and End move the position.
    if (!(r.position == before)) landingUnseen = true;
    r.position = heldPosition(r.position);
    placeReplayCars(r.position);
    // The engines sing along only when the cars move as they raced.
    bool heard = replayAtNormalPlay();
    int i = std::clamp(int(r.position), 0, r.frameCount - 1);
    for (int car = 0; car < carsWithRings(); ++car) {
        if (!heard || !r.frames[car]) {
            setSoundVolume(game.engineSound[car], 0);
            continue;
        }
        const ReplayFrame* f = r.frames[car];
        carEngineSound(car, f[ringIndex(i + 1)].wheelSpeed > f[ringIndex(i)].wheelSpeed);
    }
    return advanceReplay() || landingUnseen;
}
