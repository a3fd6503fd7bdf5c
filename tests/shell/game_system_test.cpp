#include "state/game_state.h"
#include "shell/game_system.h"
#include "support/harness.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(GameSystem, StartsRestartsAndStopsOnTheDummyDisplay)
{
    TempGameFolder folder;
    folder.provideFont();
    SdlSession sdl(SDL_INIT_VIDEO);
    ASSERT_TRUE(sdl.ok());
    game.screenWidth = 800;
    game.screenHeight = 600;
    game.options.windowedMode = 1;
    game.options.resolution = 3;
    ASSERT_EQ(initGameSystem(), 1);
    ASSERT_NE(game.drawSurface, nullptr);
    EXPECT_EQ(game.drawSurface->w, 800);
    EXPECT_EQ(game.drawSurface->format->BitsPerPixel, 8);
    ASSERT_NE(game.keySnapshot, nullptr);
    EXPECT_EQ(game.offeredResolutionCount, 23);
    EXPECT_EQ(game.offeredResolutions[22], 22);

    shutdownGameSystem(true);
    EXPECT_EQ(game.drawSurface, nullptr);
    EXPECT_EQ(game.circleTable, nullptr);
    ASSERT_EQ(initGameSystem(), 1);
    EXPECT_NE(game.drawSurface, nullptr);
    shutdownGameSystem(false);
    EXPECT_EQ(game.keySnapshot, nullptr);
    EXPECT_EQ(game.particles, nullptr);
    EXPECT_EQ(game.randomTable, nullptr);
}

TEST(GameSystem, AStoredResolutionPastTheTableStartsIn640x480AsIndex2)
{
    TempGameFolder folder;
    folder.provideFont();
    SdlSession sdl(SDL_INIT_VIDEO);
    game.screenWidth = 640;
    game.screenHeight = 480;
    game.options.windowedMode = 1;
    game.options.resolution = 30;
    ASSERT_EQ(initGameSystem(), 1);
    EXPECT_EQ(game.options.resolution, 2);
    EXPECT_EQ(game.screenWidth, 640);
    ASSERT_NE(game.drawSurface, nullptr);
    EXPECT_EQ(game.drawSurface->h, 480);
    shutdownGameSystem(false);
}

TEST(CircleTable, SamplesAHalfCircleAtSliceCentres)
{
    buildCircleTable();
    ASSERT_NE(game.circleTable, nullptr);
    EXPECT_NEAR(game.circleTable[0], std::sqrt(1 - 0.99 * 0.99), 1e-6);
    EXPECT_NEAR(game.circleTable[49], std::sqrt(1 - 0.01 * 0.01), 1e-6);
    EXPECT_FLOAT_EQ(game.circleTable[49], game.circleTable[50]);
    EXPECT_FLOAT_EQ(game.circleTable[0], game.circleTable[99]);
    delete[] game.circleTable;
    game.circleTable = nullptr;
}

TEST(GameSystem, StartUpFailsWithoutAUsableFontAndSetsTheGuiMetricsWithOne)
{
    TempGameFolder folder;
    SdlSession sdl(SDL_INIT_VIDEO);
    game.screenWidth = 1920;
    game.screenHeight = 1080;
    game.options.windowedMode = 1;
    game.options.resolution = 17;
    EXPECT_EQ(initGameSystem(), -1);  // no font.bmp
    shutdownGameSystem(false);
    folder.write("font.bmp", std::string(62, 'x'));
    EXPECT_EQ(initGameSystem(), -1);  // image size not 16000
    shutdownGameSystem(false);
    folder.provideFont();
    ASSERT_EQ(initGameSystem(), 1);
    EXPECT_EQ(game.guiScale, 18);
    EXPECT_FLOAT_EQ(game.guiOriginX, (1920 - 80 * 18) * 0.5f);
    EXPECT_FLOAT_EQ(game.guiOriginY, 0);
    EXPECT_EQ(game.palette[242], 0xFFFFFFu);  // the built-in colours without a tm.pal
    shutdownGameSystem(false);
    EXPECT_EQ(game.glyphStrip, nullptr);
}
