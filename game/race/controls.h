#pragma once
// The race reads the keyboard and the first joystick once per step, never keyboard events.
#include <cstdint>

// Copies SDL's key state into game.keySnapshot and clears the lock keys (Num, Caps, Scroll),
// so a lock key never counts as held. Keeps the old snapshot when SDL gives no array.
void takeKeySnapshot();

// Fills the first JoystickState from joystick 0; false (nothing copied) when there is no
// record array.
bool pollJoystick();

// A raw SDL axis position as -100..100: trunc(raw / 32767 x 100), so -32768 reads -100.
int32_t axisPercent(int16_t raw);

// Any control code as 0..100: a key, a joystick button or one direction of a joystick axis.
int32_t readControl(uint32_t code);

// A human car's inputs while the race runs: throttle state -1 brake/reverse, 1 neutral,
// 2 accelerate; steering -1..1, positive to the left. Spends the revving penalty first.
void humanInputs(int car, int& throttle, float& steering);
