#pragma once
// The per-car dynamic record of a race. Saved games store it field by field in this order,
// 348 bytes, with three zero bytes after the splash counter.
#include "state/vec3.h"

#include <cstdint>

struct CarState {
    uint8_t position;          // race position, 0 = leading
    uint8_t revvingCounter;    // steps accelerate was held before the green light
    uint8_t serviceState;      // 0 racing, 1 must refuel, 2 and above at a pit box
    uint8_t engineCountdown;   // 10 while healthy; the engine does not pull at 9 or less
    uint8_t wheelDirt[4];      // loose-surface counters; particles above 150
    uint8_t splashCounter;     // steps since the last water splash
    int32_t upsideDownCounter; // 1000 while being turned back onto the wheels
    int32_t lastCrossing;      // raceClock at the last finish-line crossing
    int32_t lastLap;           // last lap time in steps, at most 6000
    uint32_t controls[4];      // accelerate, brake, left, right; computer: 0, skill, 0, line offset
    Vec3 positionVector;
    Vec3 velocity;             // units per second
    Vec3 angularVelocity;      // radians per second
    Vec3 rightAxis;
    Vec3 upAxis;               // y below -0.7 means upside down
    Vec3 forwardAxis;
    float wheelSpeed;
    float wheelLoads[4];
    float bodyLoad;
    float loadShare;
    float slip[2];             // s2 and s1 of the last step
    float massFactor;          // 1200 / (mass + 200)
    float mass;
    float engineLoad;
    float speedFactor;         // 1 - 3 / (speed + 3)
    uint16_t laps;
    uint16_t nextCheckpoint;
    uint16_t bestLap;
    uint16_t tyres;            // 65535 new
    uint16_t fuel;             // 65535 full
    uint16_t damage;           // 0 undamaged
    uint8_t wheelContactKind[4];
    Vec3 wheelPoints[4];       // y is the ground height under each wheel
    Vec3 bodyPoints[10];       // further world points the saved game carries after the wheels
};

// Bytes of one car in a saved game.
constexpr int carStateFileSize = 348;
