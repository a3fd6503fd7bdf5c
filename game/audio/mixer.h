#pragma once
// The software mixer: 16 voices of sampled sounds summed into one 16-bit mono stream with a
// soft saturation curve, on SDL's audio thread.
#include "state/sound_voice.h"

#include <SDL.h>

#include <cstdint>

// Samples at the device rate, shared by every Sound made from the same file.
struct SampleData {
    int16_t* samples;
    int32_t count;
    int32_t references;
};

struct Sound {
    SampleData* data;
    float rate;      // source samples per output sample, 1.0 = unchanged pitch
    int32_t volume;  // 0..128, 128 = unity
};

constexpr int audioRate = 44100;
constexpr int audioBufferSamples = 1024;
// No pitch anyone hears lies beyond this; it keeps the position far from the float range
// where stepping would stop.
constexpr float maxVoiceRate = 256.0f;

// Opens the device (44100 Hz, signed 16-bit, mono) and starts playback. False leaves the game
// silent: nothing loads while the device is closed.
bool openAudio();
void closeAudio();

// A free voice takes the sound from its start; with every voice busy the request is dropped.
void startVoice(Sound* sound, int32_t loop);
// Frees every voice that plays this sound.
void stopSound(Sound* sound);

// The callback: fills len bytes of 16-bit samples. Exposed for tests and the benchmark.
void mixAudio(void* userData, Uint8* stream, int len);
// Buffers the callback has filled since the program started: lets a test pace a race by the
// device it hears.
uint32_t mixedBufferCount();

// Soft saturation of a sum of voices into 16 bits: 32768 s / (32768 + |s|).
int16_t saturate(int32_t sum);
