#include "audio_fixture.h"

#include "audio/sound.h"
#include "shell/game_system.h"

#include <cstdlib>

namespace {

void startWindowed()
{
    game.screenWidth = 640;
    game.screenHeight = 480;
    game.options.windowedMode = 1;
    game.options.resolution = 2;
}

}  // namespace

TEST(AudioStartUp, WithoutAnyDeviceTheGameStartsSilentlyAndSaysNothing)
{
    AudioDriver none("no-such-device");
    TempGameFolder folder;
    folder.provideFont();
    folder.write("sounds/default/ding.wav", wavOf(1, 10));
    SdlSession sdl(SDL_INIT_VIDEO | SDL_INIT_AUDIO);
    ASSERT_TRUE(sdl.ok());
    startWindowed();
    testing::internal::CaptureStderr();
    ASSERT_EQ(initGameSystem(), 1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(game.audioOpen, 0);
    EXPECT_EQ(game.lightSound, 0);
    EXPECT_TRUE(game.sounds.empty());
    // What the race does with the handles it has.
    playLoop(game.engineSound[0]);
    setSoundVolume(game.skidSound, 40);
    playOnce(game.lightSound);
    shutdownGameSystem(false);
}

TEST(AudioStartUp, TheSetOfTheOptionsLoadsAtStartAndARestartKeepsTheDevice)
{
    TempGameFolder folder;
    folder.provideFont();
    for (const char* f : {"skid", "damage", "ding", "yeah", "fuel"}) folder.write(std::string("sounds/default/") + f + ".wav", wavOf(1, 10));
    folder.write("sounds/Chip/ding.wav", wavOf(2, 10));
    SdlSession sdl(SDL_INIT_VIDEO);
    ASSERT_TRUE(sdl.ok());
    startWindowed();
    std::snprintf(game.options.soundSet, sizeof game.options.soundSet, "chip");
    ASSERT_EQ(initGameSystem(), 1);
    EXPECT_EQ(game.audioOpen, 1);
    ASSERT_NE(game.lightSound, 0);
    EXPECT_EQ(soundAt(game.lightSound)->data->samples[0], 2);
    EXPECT_NE(game.fuelWarningSound, 0);

    shutdownGameSystem(true);
    EXPECT_EQ(game.audioOpen, 1);
    EXPECT_EQ(game.lightSound, 0);
    EXPECT_TRUE(game.sounds.empty());
    ASSERT_EQ(initGameSystem(), 1);
    EXPECT_NE(game.lightSound, 0);
    shutdownGameSystem(false);
    EXPECT_EQ(game.audioOpen, 0);
    EXPECT_TRUE(game.sounds.empty());
    EXPECT_EQ(game.mixScratch[0], nullptr);
    game.options.soundSet[0] = 0;
}
