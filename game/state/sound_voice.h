#pragma once
// The playing-sound slots the game thread shares with the audio callback.
#include <cstdint>

struct Sound;

constexpr int voiceCount = 16;

struct SoundVoice {
    Sound* sound;       // null: the slot is free
    float position;     // in source samples
    int32_t loop;       // 0 one-shot, 1 loop
};
