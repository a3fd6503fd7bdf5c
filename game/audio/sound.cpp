#include "audio/sound.h"

#include <cmath>

// No sounds are loaded until the mixer arrives: every handle names nothing.
void playOnce(int32_t) {}
void playLoop(int32_t) {}
void stopSoundHandle(int32_t) {}
void setSoundVolume(int32_t, int32_t) {}
void setSoundRate(int32_t, float) {}

int32_t volumeFromLevel(int32_t level)
{
    return static_cast<int32_t>(std::lround(128.0 * std::pow(10.0, level / 2000.0)));
}
