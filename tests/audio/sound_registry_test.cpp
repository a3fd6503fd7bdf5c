#include "audio_fixture.h"

#include "audio/sound.h"

TEST_F(AudioDevice, HandlesCountFromOneAndFreedSlotsAreReused)
{
    int32_t a = soundOf({1});
    int32_t b = soundOf({2});
    int32_t c = soundOf({3});
    EXPECT_EQ(a, 1);
    EXPECT_EQ(c, 3);
    freeSound(b);
    EXPECT_EQ(soundAt(b), nullptr);
    EXPECT_EQ(soundOf({4}), 2);
    EXPECT_EQ(registerSound(nullptr), 0);
    EXPECT_EQ(cloneSound(0), 0);

    // Handles that name nothing are ignored by every operation.
    freeSound(c);
    for (int32_t h : {0, -1, 3, 99}) {
        playOnce(h);
        playLoop(h);
        setSoundVolume(h, 5);
        setSoundRate(h, 2.0f);
        stopSoundHandle(h);
        freeSound(h);
        EXPECT_EQ(soundAt(h), nullptr);
    }
    EXPECT_EQ(busyVoices(), 0);
    EXPECT_EQ(soundAt(a)->volume, 128);
    clearSounds();
    EXPECT_TRUE(game.sounds.empty());
    EXPECT_EQ(soundOf({5}), 1);
}

TEST_F(AudioDevice, ClonesShareSamplesButNotPitchOrVolume)
{
    int32_t a = soundOf({10, 20, 30, 40});
    int32_t b = cloneSound(a);
    ASSERT_NE(b, 0);
    SampleData* data = soundAt(a)->data;
    EXPECT_EQ(soundAt(b)->data, data);
    EXPECT_EQ(data->references, 2);
    setSoundRate(b, 2.0f);
    setSoundVolume(b, 32);
    EXPECT_FLOAT_EQ(soundAt(a)->rate, 1.0f);
    EXPECT_EQ(soundAt(a)->volume, 128);
    freeSound(a);
    EXPECT_EQ(data->references, 1);
    EXPECT_EQ(soundAt(b)->data->samples[3], 40);
}
