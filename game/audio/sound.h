#pragma once
// What the race asks of the mixer, by sound handle (1-based, 0 = none). Every call ignores a
// handle that names no loaded sound, so the race runs silently without a device or a set.
#include <cstdint>

void playOnce(int32_t handle);
void playLoop(int32_t handle);
void stopSoundHandle(int32_t handle);
// 0..128, 128 = unity.
void setSoundVolume(int32_t handle, int32_t volume);
// Source samples per output sample, 1.0 = the recorded pitch.
void setSoundRate(int32_t handle, float rate);

// A level in hundredths of a decibel (-10000 silent .. 0 full) as a volume 0..128.
int32_t volumeFromLevel(int32_t level);
// A menu volume 0..100 as a sound volume 0..128 by the game's volume law: 80 gives 114.
int32_t volumeFromMenu(int32_t menuVolume);
