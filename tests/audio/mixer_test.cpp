#include "audio_fixture.h"

#include "audio/sound.h"

#include <cmath>
#include <limits>

TEST(Saturation, BendsSumsBeyondSixteenBitsSmoothly)
{
    EXPECT_EQ(saturate(0), 0);
    EXPECT_EQ(saturate(32767 + 32767), 21846);
    EXPECT_EQ(saturate(-32768 - 32768), -21846);
    EXPECT_EQ(saturate(32768), 16384);
    // Sixteen full voices stay inside 16 bits and keep rising.
    EXPECT_LT(saturate(16 * 32767), 32767);
    EXPECT_GT(saturate(16 * 32767), saturate(15 * 32767));
    EXPECT_GE(saturate(-16 * 32768), -32768);
}

TEST_F(AudioDevice, TwoFullScaleVoicesGive21846AndSilenceIsZeros)
{
    EXPECT_EQ(mix(8), std::vector<int16_t>(8, 0));
    int32_t a = soundOf(std::vector<int16_t>(4096, 32767));
    int32_t b = cloneSound(a);
    playOnce(a);
    playOnce(b);
    auto out = mix(16);
    EXPECT_EQ(out[0], 21846);
    EXPECT_EQ(out[15], 21846);
}

TEST_F(AudioDevice, OneShotsEndAndFreeTheirVoiceLoopsWrapVolumeAndRateApply)
{
    int32_t h = soundOf({1000, 2000, 3000});
    playOnce(h);
    auto out = mix(6);
    EXPECT_EQ(saturate(1000), out[0]);
    EXPECT_EQ(out[3], 0);
    EXPECT_EQ(busyVoices(), 0);

    setSoundVolume(h, 64);
    setSoundRate(h, 0.5f);
    playLoop(h);
    out = mix(8);
    // Each sample twice at half volume, then round again.
    EXPECT_EQ(out[0], saturate(500));
    EXPECT_EQ(out[1], saturate(500));
    EXPECT_EQ(out[2], saturate(1000));
    EXPECT_EQ(out[6], saturate(500));
    EXPECT_EQ(busyVoices(), 1);
    stopSoundHandle(h);
    EXPECT_EQ(busyVoices(), 0);

    // Volumes outside 0..128 are held to it; negative samples shift down, not towards zero.
    int32_t neg = soundOf({-3});
    setSoundVolume(neg, 64);
    setSoundVolume(h, 1000);
    playOnce(neg);
    EXPECT_EQ(mix(1)[0], saturate(-2));
    EXPECT_EQ(soundAt(h)->volume, 128);
}

TEST_F(AudioDevice, TheSeventeenthOneShotIsDropped)
{
    int32_t a = soundOf(std::vector<int16_t>(100, 1));
    int32_t b = soundOf(std::vector<int16_t>(100, 2));
    for (int i = 0; i < voiceCount; ++i) playOnce(a);
    playOnce(b);
    EXPECT_EQ(busyVoices(), voiceCount);
    for (auto& v : game.voices) EXPECT_EQ(v.sound, soundAt(a));
    // Once voices end, new sounds find room again.
    mix(100);
    playOnce(b);
    EXPECT_EQ(busyVoices(), 1);
}

TEST_F(AudioDevice, NoRateOrLengthWalksOutOfTheSamples)
{
    int32_t h = soundOf({7, 8, 9});
    playLoop(h);
    const float rates[] = {1e30f, std::numeric_limits<float>::infinity(), std::numeric_limits<float>::quiet_NaN(),
                           -5.0f, 255.9f, 3.0f};
    for (float r : rates) {
        setSoundRate(h, r);
        mix(2048);
        ASSERT_GE(game.voices[0].position, 0.0f);
        ASSERT_LT(game.voices[0].position, 3.0f);
    }
    // Even a rate written past the setter, and a position the voice never had.
    soundAt(h)->rate = -1e9f;
    game.voices[0].position = 1e20f;
    mix(16);
    EXPECT_LT(game.voices[0].position, 3.0f);
    stopSoundHandle(h);

    // A sample of no length: a one-shot ends at once, a loop plays silence until stopped.
    auto empty = wav16({});
    int32_t e = registerSound(loadWavFromMemory(empty.data(), empty.size()));
    ASSERT_NE(e, 0);
    EXPECT_EQ(soundAt(e)->data->count, 0);
    playOnce(e);
    playLoop(e);
    EXPECT_EQ(mix(64), std::vector<int16_t>(64, 0));
    EXPECT_EQ(busyVoices(), 1);
}

TEST_F(AudioDevice, AFreedSoundLeavesEveryVoiceItPlayed)
{
    int32_t a = soundOf(std::vector<int16_t>(5000, 100));
    int32_t b = cloneSound(a);
    playLoop(a);
    playOnce(a);
    playLoop(b);
    freeSound(a);
    EXPECT_EQ(busyVoices(), 1);
    EXPECT_EQ(game.voices[2].sound, soundAt(b));
    // The clone keeps the samples (the address sanitizer build would see them freed).
    EXPECT_EQ(mix(4)[3], saturate(100));
    freeSound(b);
    EXPECT_EQ(busyVoices(), 0);
    EXPECT_EQ(mix(4), std::vector<int16_t>(4, 0));
}

TEST(VolumeLaw, MenuVolumesZeroEightyAndHundred)
{
    EXPECT_EQ(volumeFromMenu(0), 0);
    EXPECT_EQ(volumeFromMenu(80), 114);
    EXPECT_EQ(volumeFromMenu(100), 128);
    EXPECT_EQ(volumeFromMenu(250), 128);
    EXPECT_EQ(volumeFromMenu(-4), 0);
    EXPECT_EQ(volumeFromLevel(-10000), 0);
    EXPECT_EQ(volumeFromLevel(0), 128);
}
