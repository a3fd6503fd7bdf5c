#pragma once
// One joystick as the race reads it once per step.
#include <cstdint>

struct JoystickState {
    int32_t axes[8];      // -100..100: X, Y, Z, Rx, Ry, Rz, SL1, SL2
    int32_t hat[4];       // up, right, down, left
    uint8_t buttons[32];  // 1 = pressed
};
