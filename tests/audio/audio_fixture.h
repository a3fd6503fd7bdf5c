#pragma once
// WAV files built byte by byte, true or lying about their sizes, and a device on SDL's dummy
// driver that the tests mix by hand.
#include "audio/mixer.h"
#include "audio/sound_registry.h"
#include "audio/wav_loader.h"
#include "state/game_state.h"
#include "support/harness.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

struct WavShape {
    uint16_t formatTag = 1;
    uint16_t channels = 1;
    uint32_t rate = 44100;
    uint16_t bits = 16;
    int64_t dataSize = -1;  // what the data chunk claims; -1 the truth
};

inline void putLe(std::vector<uint8_t>& out, uint32_t v, int bytes)
{
    for (int i = 0; i < bytes; ++i) out.push_back(uint8_t(v >> (8 * i)));
}

inline std::vector<uint8_t> wavFile(const std::vector<uint8_t>& pcm, const WavShape& s = {})
{
    std::vector<uint8_t> out{'R', 'I', 'F', 'F'};
    putLe(out, uint32_t(36 + pcm.size()), 4);
    for (char c : std::string("WAVEfmt ")) out.push_back(uint8_t(c));
    putLe(out, 16, 4);
    putLe(out, s.formatTag, 2);
    putLe(out, s.channels, 2);
    putLe(out, s.rate, 4);
    putLe(out, s.rate * s.channels * s.bits / 8, 4);
    putLe(out, s.channels * s.bits / 8, 2);
    putLe(out, s.bits, 2);
    for (char c : std::string("data")) out.push_back(uint8_t(c));
    putLe(out, s.dataSize < 0 ? uint32_t(pcm.size()) : uint32_t(s.dataSize), 4);
    out.insert(out.end(), pcm.begin(), pcm.end());
    return out;
}

// 16-bit mono samples at the device rate: loaded, they come back unchanged.
inline std::vector<uint8_t> wav16(const std::vector<int16_t>& samples, const WavShape& s = {})
{
    std::vector<uint8_t> pcm;
    for (int16_t v : samples) putLe(pcm, uint16_t(v), 2);
    return wavFile(pcm, s);
}

inline std::vector<uint8_t> wavOf(int16_t value, int count)
{
    return wav16(std::vector<int16_t>(size_t(count), value));
}

// Chooses the audio driver for one test; the others keep the dummy one.
struct AudioDriver {
    explicit AudioDriver(const char* name)
    {
        const char* old = std::getenv("SDL_AUDIODRIVER");
        previous = old ? old : "dummy";
        setenv("SDL_AUDIODRIVER", name, 1);
    }
    ~AudioDriver() { setenv("SDL_AUDIODRIVER", previous.c_str(), 1); }
    std::string previous;
};

// The device open on the dummy driver but paused: the tests call the mixer themselves.
class AudioDevice : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(sdl.ok());
        ASSERT_TRUE(openAudio());
        SDL_PauseAudio(1);
    }
    void TearDown() override
    {
        clearSounds();
        closeAudio();
    }
    // A registered sound over the given samples.
    int32_t soundOf(const std::vector<int16_t>& samples)
    {
        auto bytes = wav16(samples);
        return registerSound(loadWavFromMemory(bytes.data(), bytes.size()));
    }
    std::vector<int16_t> mix(int n)
    {
        std::vector<int16_t> out(size_t(n), 12345);
        mixAudio(nullptr, reinterpret_cast<Uint8*>(out.data()), n * 2);
        return out;
    }
    int busyVoices() const
    {
        int busy = 0;
        for (auto& v : game.voices) busy += v.sound != nullptr;
        return busy;
    }
    SdlSession sdl{SDL_INIT_AUDIO};
};
