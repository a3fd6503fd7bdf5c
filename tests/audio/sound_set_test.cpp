#include "audio_fixture.h"

#include "audio/sound.h"
#include "audio/sound_set.h"

#include <cstdio>
#include <cstring>

namespace {

// A game folder whose sound files each hold one value, so a loaded sound tells where it
// came from.
class SoundSets : public AudioDevice {
protected:
    void SetUp() override
    {
        AudioDevice::SetUp();
        const char* files[] = {"skid", "damage", "ding", "yeah", "fuel", "engine"};
        for (int i = 0; i < 6; ++i) folder.write(std::string("sounds/default/") + files[i] + ".wav", wavOf(int16_t(100 + i), 50));
    }
    void TearDown() override
    {
        for (auto& h : game.engineSound) h = 0;
        game.skidSound = game.impactSound = game.lightSound = game.finalLapSound = game.fuelWarningSound = 0;
        game.carCount = 0;
        AudioDevice::TearDown();
    }
    static int16_t first(int32_t handle)
    {
        Sound* s = soundAt(handle);
        return s && s->data->count ? s->data->samples[0] : -1;
    }
    void race(std::initializer_list<const char*> cars)
    {
        game.carCount = int32_t(cars.size());
        int i = 0;
        for (const char* c : cars) std::snprintf(game.carModels[i++].name, sizeof game.carModels[0].name, "%s", c);
    }
    TempGameFolder folder;
};

}  // namespace

TEST_F(SoundSets, ASetWithOnlyDingTakesTheOtherFourFromTheDefault)
{
    folder.write("sounds/Bells/ding.wav", wavOf(7, 50));
    loadSoundSet("Bells");
    EXPECT_EQ(first(game.lightSound), 7);
    EXPECT_EQ(first(game.skidSound), 100);
    EXPECT_EQ(first(game.impactSound), 101);
    EXPECT_EQ(first(game.finalLapSound), 103);
    EXPECT_EQ(first(game.fuelWarningSound), 104);

    // Loading again replaces the five sounds rather than adding to them.
    size_t slots = game.sounds.size();
    loadSoundSet("default");
    EXPECT_EQ(first(game.lightSound), 102);
    EXPECT_EQ(game.sounds.size(), slots);

    // A name from a damaged options file reaches no folder outside sounds.
    folder.write("ding.wav", wavOf(9, 50));
    loadSoundSet("..");
    EXPECT_EQ(first(game.lightSound), 102);
    loadSoundSet("");
    EXPECT_EQ(first(game.lightSound), 102);
}

TEST_F(SoundSets, NothingLoadsWithoutTheDeviceAndAMissingFileGivesNoSound)
{
    folder.write("sounds/Bare/skid.wav", "not a wav at all");
    std::remove("sounds/default/skid.wav");
    loadSoundSet("Bare");
    EXPECT_EQ(game.skidSound, 0);
    EXPECT_NE(game.lightSound, 0);
    closeAudio();
    loadSoundSet("Bare");
    EXPECT_NE(game.lightSound, 0);  // untouched while closed
}

TEST_F(SoundSets, TwoPlayersWithTheSameCarShareOneBufferWithTheirOwnPitchAndVolume)
{
    folder.write("sounds/default/Brute.wav", wavOf(50, 50));
    race({"Brute", "Arrow", "Brute"});
    loadEngineSounds("default");
    ASSERT_NE(game.engineSound[0], 0);
    ASSERT_NE(game.engineSound[2], game.engineSound[0]);
    Sound* a = soundAt(game.engineSound[0]);
    Sound* c = soundAt(game.engineSound[2]);
    EXPECT_EQ(a->data, c->data);
    EXPECT_EQ(first(game.engineSound[1]), 105);  // no Arrow.wav: engine.wav
    setSoundRate(game.engineSound[0], 1.5f);
    setSoundVolume(game.engineSound[2], 20);
    EXPECT_FLOAT_EQ(c->rate, 1.0f);
    EXPECT_EQ(a->volume, 128);

    playLoop(game.engineSound[0]);
    playLoop(game.engineSound[2]);
    auto out = mix(2);
    EXPECT_EQ(out[0], saturate(50 + (50 * 20 >> 7)));
    for (int d = 3; d < maxCars; ++d) EXPECT_EQ(game.engineSound[d], 0);
}

TEST_F(SoundSets, CarsWithoutTheirOwnFileShareTheFirstFallBack)
{
    folder.write("sounds/Loud/engine.wav", wavOf(60, 50));
    folder.write("sounds/Loud/Sprite.wav", wavOf(61, 50));
    race({"Arrow", "Sprite", "Brute", "Arrow", "..\\x", ""});
    loadEngineSounds("Loud");
    SampleData* fallBack = soundAt(game.engineSound[0])->data;
    EXPECT_EQ(first(game.engineSound[0]), 60);
    EXPECT_EQ(first(game.engineSound[1]), 61);
    for (int d : {2, 3, 4, 5}) EXPECT_EQ(soundAt(game.engineSound[d])->data, fallBack) << d;
    EXPECT_EQ(fallBack->references, 5);

    // A set without engine.wav falls back to the default's; the old sounds are freed.
    race({"Arrow"});
    loadEngineSounds("Quiet");
    EXPECT_EQ(first(game.engineSound[0]), 105);
    int live = 0;
    for (Sound* s : game.sounds) live += s != nullptr;
    EXPECT_EQ(live, 1);
}
