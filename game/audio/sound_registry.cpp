#include "audio/sound_registry.h"

#include "audio/wav_loader.h"
#include "state/game_state.h"

Sound* newSound(SampleData* data)
{
    if (!data) return nullptr;
    ++data->references;
    return new Sound{data, 1.0f, 128};
}

void deleteSound(Sound* sound)
{
    if (!sound) return;
    // No voice may hold it any more: the callback reads voices only under the audio lock.
    stopSound(sound);
    SampleData* data = sound->data;
    delete sound;
    if (data && --data->references <= 0) {
        delete[] data->samples;
        delete data;
    }
}

int32_t registerSound(Sound* sound)
{
    if (!sound) return 0;
    auto& list = game.sounds;
    for (size_t i = 0; i < list.size(); ++i) {
        if (!list[i]) {
            list[i] = sound;
            return int32_t(i + 1);
        }
    }
    list.push_back(sound);
    return int32_t(list.size());
}

Sound* soundAt(int32_t handle)
{
    if (handle <= 0 || size_t(handle) > game.sounds.size()) return nullptr;
    return game.sounds[handle - 1];
}

int32_t cloneSound(int32_t handle)
{
    Sound* s = soundAt(handle);
    if (!s) return 0;
    return registerSound(newSound(s->data));
}

void freeSound(int32_t handle)
{
    Sound* s = soundAt(handle);
    if (!s) return;
    game.sounds[handle - 1] = nullptr;
    deleteSound(s);
}

void clearSounds()
{
    for (Sound* s : game.sounds) deleteSound(s);
    game.sounds.clear();
}

int32_t loadSound(const std::string& gamePath)
{
    return registerSound(loadWav(gamePath));
}
