#include "audio/mixer.h"

#include "state/game_state.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>

static void clearVoices()
{
    for (auto& v : game.voices) v = SoundVoice{nullptr, 0.0f, 0};
}

static void freeMixScratch()
{
    for (auto& b : game.mixScratch) {
        delete[] b;
        b = nullptr;
    }
    game.mixScratchSamples = 0;
}

bool openAudio()
{
    if (game.audioOpen) return true;
    SDL_AudioSpec want{};
    want.freq = audioRate;
    want.format = AUDIO_S16LSB;
    want.channels = 1;
    want.samples = audioBufferSamples;
    want.callback = mixAudio;
    // No obtained spec: SDL converts to whatever the hardware takes, so the callback always
    // receives the 16-bit mono stream the mixer writes and every sound converts to it.
    if (SDL_OpenAudio(&want, nullptr) < 0) return false;
    // The callback thread exists from here on; only SDL's pause flag, which no lock guards,
    // keeps it away until playback starts, so the mixer state is set up under the lock.
    SDL_LockAudio();
    game.audioSpec = want;
    game.mixScratchSamples = want.samples > 0 ? want.samples : audioBufferSamples;
    for (auto& b : game.mixScratch) b = new int16_t[game.mixScratchSamples]();
    clearVoices();
    game.audioOpen = 1;
    SDL_UnlockAudio();
    SDL_PauseAudio(0);
    return true;
}

void closeAudio()
{
    if (game.audioOpen) {
        SDL_PauseAudio(1);
        SDL_CloseAudio();  // waits for the callback thread to end
    }
    game.audioOpen = 0;
    freeMixScratch();
    clearVoices();
}

void startVoice(Sound* sound, int32_t loop)
{
    if (!sound) return;
    SDL_LockAudio();
    for (auto& v : game.voices) {
        if (v.sound) continue;
        v.position = 0.0f;
        v.loop = loop ? 1 : 0;
        v.sound = sound;
        break;
    }
    SDL_UnlockAudio();
}

void stopSound(Sound* sound)
{
    if (!sound) return;
    SDL_LockAudio();
    for (auto& v : game.voices)
        if (v.sound == sound) v = SoundVoice{nullptr, 0.0f, 0};
    SDL_UnlockAudio();
}

int16_t saturate(int32_t sum)
{
    int32_t y = sum >= 0 ? 32768 - (1 << 30) / (sum + 32768) : (1 << 30) / (32768 - sum) - 32768;
    return int16_t(std::clamp(y, -32768, 32767));
}

// One voice into n samples of its scratch buffer. The position stays inside the sample
// whatever rate, volume or length the sound has.
static void renderVoice(SoundVoice& v, int16_t* out, int n)
{
    const SampleData* data = v.sound->data;
    int32_t count = data && data->samples ? data->count : 0;
    if (count <= 0) {
        std::memset(out, 0, sizeof(int16_t) * n);
        if (!v.loop) v = SoundVoice{nullptr, 0.0f, 0};
        return;
    }
    float rate = v.sound->rate;
    if (!(rate >= 0.0f)) rate = 0.0f;
    rate = std::min(rate, maxVoiceRate);
    int32_t volume = std::clamp(v.sound->volume, 0, 128);
    float end = float(count);
    float position = v.position;
    if (!(position >= 0.0f && position < end)) position = 0.0f;
    const int16_t* samples = data->samples;
    for (int i = 0; i < n; ++i) {
        int32_t index = std::min(int32_t(position), count - 1);
        out[i] = int16_t((samples[index] * volume) >> 7);
        position += rate;
        if (position < end) continue;
        if (!v.loop) {
            std::memset(out + i + 1, 0, sizeof(int16_t) * (n - i - 1));
            v = SoundVoice{nullptr, 0.0f, 0};
            return;
        }
        position -= end;
        if (position >= end) position = std::fmod(position, end);
    }
    v.position = position;
}

static std::atomic<uint32_t> mixedBuffers{0};

uint32_t mixedBufferCount() { return mixedBuffers.load(std::memory_order_acquire); }

void mixAudio(void*, Uint8* stream, int len)
{
    if (!stream || len <= 0) return;
    mixedBuffers.fetch_add(1, std::memory_order_release);
    int16_t* out = reinterpret_cast<int16_t*>(stream);
    int total = len / 2;
    if (len & 1) stream[len - 1] = 0;
    int done = 0;
    while (done < total) {
        int n = std::min(total - done, game.mixScratchSamples);
        if (n <= 0) {
            std::memset(out + done, 0, sizeof(int16_t) * (total - done));
            return;
        }
        int used = 0;
        for (auto& v : game.voices)
            if (v.sound) renderVoice(v, game.mixScratch[used++], n);
        if (used == 0) {
            std::memset(out + done, 0, sizeof(int16_t) * n);
        } else {
            for (int i = 0; i < n; ++i) {
                int32_t sum = 0;
                for (int k = 0; k < used; ++k) sum += game.mixScratch[k][i];
                out[done + i] = saturate(sum);
            }
        }
        done += n;
    }
}
