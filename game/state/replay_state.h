#pragma once
// The replay: one ring of compact frames per car, kept for the last stretch of every race,
// and the controls of its playback. Saved games carry the frames as they are stored here.
#include "state/car_state.h"

#include <cstdint>

constexpr int replayCarSlots = 6;

// 18 bytes in a saved game, in this field order.
struct ReplayFrame {
    uint16_t position[3];     // world position * 150
    int8_t right[3];          // right axis * 120
    int8_t forward[3];        // forward axis * 120
    uint8_t wheelHeight[4];   // ground height under each wheel, 0..15.96, * 16
    uint8_t wheelSpeed;       // truncated
    uint8_t flag;             // 0 recorded; a load adds 1
};
static_assert(sizeof(ReplayFrame) == 18, "a replay frame is 18 bytes on disk");

struct ReplayState {
    ReplayFrame* frames[replayCarSlots] = {};  // capacity + 1 frames each; null: no buffer
    int32_t capacity = 0;       // frames a ring holds
    int32_t frameStep = 5;      // simulation steps per frame, 1..100
    int32_t frameCount = 0;     // frames held
    int32_t start = 0;          // ring index of the oldest frame
    int32_t stepCounter = 0;    // steps since the last recorded frame
    float position = 0;         // playback: frame index, 0 = oldest
    float speed = 1;
    int8_t direction = 1;       // -1 reverse, 0 stopped, +1 forward
    uint8_t rateNumerator = 1;  // 1..8
    uint8_t rateDenominator = 1;
    float cutBegin = -1;        // playback positions, -1 unset
    float cutEnd = -1;
    int8_t fast = 0;            // +1 Page Up held, -1 Page Down held
    uint8_t keysDown = 0;       // the per-press keys down at the last step
    uint8_t cutPresses = 0;     // C presses since playback began

    // The race as playback found it, put back when playback ends.
    CarState carsBefore[replayCarSlots];
    uint8_t phaseBefore = 0;
    int32_t startLightBefore = -1;
};
