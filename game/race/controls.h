#pragma once
// The race reads the keyboard and the first joystick once per step, never keyboard events.
#include <cstdint>

struct JoystickState;

// Codes from 323 up name a joystick control; below are keys.
constexpr uint32_t firstJoystickCode = 323;

// Button 0..31 of joystick 0.., and one direction 1..16 of an axis (2k + 1 negative, 2k + 2
// positive for axis k).
uint32_t joystickButtonCode(int joystick, int button);
uint32_t joystickAxisCode(int joystick, int direction);

// Copies SDL's key state into game.keySnapshot and clears the lock keys (Num, Caps, Scroll),
// so a lock key never counts as held. Keeps the old snapshot when SDL gives no array.
void takeKeySnapshot();

// Fills the first JoystickState from joystick 0; false (nothing copied) when there is no
// record array.
bool pollJoystick();

// Reads one joystick into a record: its first eight axes, hat 0, its first 32 buttons, the
// rest 0. Gives the number of axes it reports, or -1 when it cannot be opened.
int readJoystick(int index, JoystickState& out);
// SDL 1.2 has no virtual joystick, so tests put their own reader in; nullptr restores SDL's.
using JoystickReader = int (*)(int index, JoystickState& out);
void setJoystickReader(JoystickReader f);

// A raw SDL axis position as -100..100: trunc(raw / 32767 x 100), so -32768 reads -100.
int32_t axisPercent(int16_t raw);

// Any control code as 0..100: a key, a joystick button or one direction of a joystick axis.
int32_t readControl(uint32_t code);

// A human car's inputs while the race runs: throttle state -1 brake/reverse, 1 neutral,
// 2 accelerate; steering -1..1, positive to the left. Spends the revving penalty first.
void humanInputs(int car, int& throttle, float& steering);
