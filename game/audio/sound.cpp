#include "audio/sound.h"

#include "audio/sound_registry.h"

#include <algorithm>
#include <cmath>

void playOnce(int32_t handle)
{
    startVoice(soundAt(handle), 0);
}

void playLoop(int32_t handle)
{
    startVoice(soundAt(handle), 1);
}

void stopSoundHandle(int32_t handle)
{
    stopSound(soundAt(handle));
}

void setSoundVolume(int32_t handle, int32_t volume)
{
    Sound* s = soundAt(handle);
    if (!s) return;
    SDL_LockAudio();
    s->volume = std::clamp(volume, 0, 128);
    SDL_UnlockAudio();
}

void setSoundRate(int32_t handle, float rate)
{
    Sound* s = soundAt(handle);
    if (!s) return;
    // A negative or undefined pitch would walk the position out of the sample.
    if (!(rate >= 0.0f)) rate = 0.0f;
    SDL_LockAudio();
    s->rate = std::min(rate, maxVoiceRate);
    SDL_UnlockAudio();
}

int32_t volumeFromLevel(int32_t level)
{
    return static_cast<int32_t>(std::lround(128.0 * std::pow(10.0, level / 2000.0)));
}

int32_t volumeFromMenu(int32_t menuVolume)
{
    double v = std::clamp(menuVolume, 0, 100);
    double gain = 1000.0 * std::log10(v * 1e8 + 1.0);
    double attenuation = std::min(gain - 10000.0, 0.0);
    return int32_t(128.0 * std::pow(10.0, attenuation / 2000.0) + 0.5);
}
