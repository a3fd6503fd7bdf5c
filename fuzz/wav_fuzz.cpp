// A WAV file may be anything at all: it loads into samples within their array or not at all,
// and mixing it at any pitch never reads outside them.
#include "audio/mixer.h"
#include "audio/sound.h"
#include "audio/sound_registry.h"
#include "audio/wav_loader.h"
#include "state/game_state.h"

#include <cstdlib>
#include <cstring>

// The dummy device, paused: the target calls the mixer itself.
static bool deviceReady()
{
    static bool ready = [] {
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        if (SDL_Init(SDL_INIT_AUDIO) != 0 || !openAudio()) return false;
        SDL_PauseAudio(1);
        return true;
    }();
    return ready;
}

static void checkVoices()
{
    for (auto& v : game.voices) {
        if (!v.sound) continue;
        int32_t count = v.sound->data->count;
        if (count > 0 && !(v.position >= 0 && v.position < float(count))) std::abort();
    }
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (!deviceReady()) std::abort();
    Sound* s = loadWavFromMemory(data, size);
    if (!s) return 0;
    if (s->data->count < 0 || (s->data->count > 0 && !s->data->samples)) std::abort();
    int32_t h = registerSound(s);
    int32_t clone = cloneSound(h);
    // The last bytes choose the clone's pitch, wild ones included.
    float rate = 1.0f;
    if (size >= 4) std::memcpy(&rate, data + size - 4, 4);
    setSoundRate(clone, rate);
    setSoundVolume(clone, int32_t(size % 200) - 30);
    playOnce(h);
    playLoop(clone);
    int16_t out[3000];
    mixAudio(nullptr, reinterpret_cast<Uint8*>(out), sizeof out);
    checkVoices();
    mixAudio(nullptr, reinterpret_cast<Uint8*>(out), 777);
    checkVoices();
    freeSound(h);
    freeSound(clone);
    for (auto& v : game.voices)
        if (v.sound) std::abort();
    return 0;
}
