// The game thread starts, stops, retunes and frees sounds while the callback mixes them. Under
// ThreadSanitizer (make test-tsan) any unguarded hand-over shows as a race; in the other
// builds a freed sound read by the callback shows as a crash or an AddressSanitizer report.
#include "audio_fixture.h"

#include "audio/sound.h"

#include <SDL.h>

TEST(AudioThreads, SoundsChangeWhileTheCallbackMixesThem)
{
    // The disk driver with no delay calls the callback as fast as it can write.
    AudioDriver disk("disk");
    setenv("SDL_DISKAUDIOFILE", "/dev/null", 1);
    setenv("SDL_DISKAUDIODELAY", "0", 1);
    SdlSession sdl(SDL_INIT_AUDIO);
    ASSERT_TRUE(sdl.ok());
    ASSERT_TRUE(openAudio());
    auto bytes = wav16(std::vector<int16_t>(3000, 1000));
    int32_t engine = registerSound(loadWavFromMemory(bytes.data(), bytes.size()));
    ASSERT_NE(engine, 0);
    playLoop(engine);
    // The callback is running: the voice moves on by itself.
    float moved = 0;
    for (int wait = 0; wait < 200 && moved == 0; ++wait) {
        SDL_Delay(5);
        SDL_LockAudio();
        moved = game.voices[0].position;
        SDL_UnlockAudio();
    }
    EXPECT_GT(moved, 0.0f);
    uint32_t end = SDL_GetTicks() + 400;
    for (int round = 0; SDL_GetTicks() < end; ++round) {
        int32_t clone = cloneSound(engine);
        int32_t bell = registerSound(loadWavFromMemory(bytes.data(), bytes.size()));
        playLoop(clone);
        playOnce(bell);
        setSoundRate(engine, 0.5f + (round % 30) * 0.1f);
        setSoundVolume(clone, round % 129);
        if (round % 3 == 0) {
            stopSoundHandle(engine);
            playLoop(engine);
        }
        SDL_Delay(round % 2);
        freeSound(bell);
        freeSound(clone);
    }
    stopSoundHandle(engine);
    clearSounds();
    closeAudio();
    for (auto& v : game.voices) EXPECT_EQ(v.sound, nullptr);
}
