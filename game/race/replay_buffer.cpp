#include "race/replay_buffer.h"

#include "state/game_state.h"

#include <algorithm>
#include <cstdlib>

int configuredReplayFrameStep()
{
    return std::clamp(game.replayFrameStep, 1, 100);
}

static int capacityFor(int frameStep, int minFrames)
{
    // Computed in 64 bits: a huge Length must clamp, not wrap.
    long long frames = static_cast<long long>(game.replayLength) * 100 / frameStep;
    int capacity = static_cast<int>(std::clamp<long long>(frames, 10, 360000));
    return std::max(capacity, minFrames);
}

void setupReplay(int frameStep, int minFrames)
{
    ReplayState& r = game.replay;
    r.frameStep = frameStep == 0 ? configuredReplayFrameStep() : std::clamp(frameStep, 1, 100);
    int capacity = capacityFor(r.frameStep, std::max(minFrames, 0));
    int cars = std::clamp(game.carCount, 1, replayCarSlots);
    for (int car = 0; car < replayCarSlots; ++car) {
        bool wanted = car < cars;
        if (r.frames[car] && (!wanted || capacity != r.capacity)) {
            std::free(r.frames[car]);
            r.frames[car] = nullptr;
        }
        if (wanted && !r.frames[car])
            r.frames[car] = static_cast<ReplayFrame*>(std::calloc(capacity + 1, sizeof(ReplayFrame)));
    }
    r.capacity = capacity;
    r.frameCount = 0;
    r.start = 0;
    r.stepCounter = r.frameStep;  // the first call records
    r.position = 0;
    r.speed = 1;
    r.direction = 1;
    r.rateNumerator = r.rateDenominator = 1;
    r.cutBegin = r.cutEnd = -1;
}

// std::clamp, except that a value that is not a number becomes lo: a car built from a damaged
// model may carry one, and converting it to an integer is undefined.
static float within(float v, float lo, float hi)
{
    return v >= lo ? (v > hi ? hi : v) : lo;
}

static uint16_t packPosition(float v)
{
    return static_cast<uint16_t>(within(v * 150.0f + 0.5f, 0.0f, 65535.0f));
}

static int8_t packAxis(float v)
{
    return static_cast<int8_t>(within(v * 120.0f + 0.5f, -128.0f, 127.0f));
}

void recordReplayFrame()
{
    ReplayState& r = game.replay;
    if (r.capacity <= 0) return;
    if (++r.stepCounter < r.frameStep) return;
    r.stepCounter = 0;
    int index = static_cast<int>((static_cast<long long>(r.start) + r.frameCount) % r.capacity);
    int cars = std::clamp(game.carCount, 1, replayCarSlots);
    for (int car = 0; car < cars; ++car) {
        if (!r.frames[car]) continue;
        const CarState& c = game.cars[car];
        ReplayFrame& f = r.frames[car][index];
        f.position[0] = packPosition(c.positionVector.x);
        f.position[1] = packPosition(c.positionVector.y);
        f.position[2] = packPosition(c.positionVector.z);
        f.right[0] = packAxis(c.rightAxis.x);
        f.right[1] = packAxis(c.rightAxis.y);
        f.right[2] = packAxis(c.rightAxis.z);
        f.forward[0] = packAxis(c.forwardAxis.x);
        f.forward[1] = packAxis(c.forwardAxis.y);
        f.forward[2] = packAxis(c.forwardAxis.z);
        for (int w = 0; w < 4; ++w)
            f.wheelHeight[w] = static_cast<uint8_t>(within(c.wheelPoints[w].y, 0.0f, 15.96f) * 16 + 0.5f);
        f.wheelSpeed = static_cast<uint8_t>(within(c.wheelSpeed, 0.0f, 255.0f));
        f.flag = 0;
    }
    if (r.frameCount < r.capacity) ++r.frameCount;
    else if (++r.start == r.capacity) r.start = 0;
}

void freeReplay()
{
    ReplayState& r = game.replay;
    for (ReplayFrame*& f : r.frames) {
        std::free(f);
        f = nullptr;
    }
    r.capacity = r.frameCount = r.start = 0;
}
