#include "files/config.h"

#include "state/game_state.h"
#include "files/ini_file.h"
#include "support/harness.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

// Fills the settings with values no default has, so a test sees what loadConfig set.
static void scramble()
{
    game.replayLength = game.replayFrameStep = -77;
    game.fasterTrackPreview = game.tyreAutoSort = -77;
    game.viewAngle = game.viewRotation = game.viewZoom = game.ratioAdjust = -77;
    game.alternativeSpeedSetting = game.screenshotWidth = game.screenshotHeight = -77;
    game.paletteFile = "scrambled";
}

static void expectDefaults()
{
    EXPECT_EQ(game.replayFrameStep, 5);
    EXPECT_EQ(game.replayLength, 10);
    EXPECT_EQ(game.fasterTrackPreview, 0);
    EXPECT_EQ(game.tyreAutoSort, 1);
    EXPECT_EQ(game.viewAngle, 32767);
    EXPECT_EQ(game.viewRotation, 32767);
    EXPECT_EQ(game.viewZoom, 0);
    EXPECT_EQ(game.ratioAdjust, 1);
    EXPECT_EQ(game.alternativeSpeedSetting, 0);
    EXPECT_EQ(game.screenshotWidth, 320);
    EXPECT_EQ(game.screenshotHeight, 240);
    EXPECT_EQ(game.paletteFile, "tm.pal");
}

static void loadFrom(const TempGameFolder& folder, const std::string& text)
{
    folder.write("tm.ini", text);
    scramble();
    loadConfig();
}

TEST(Config, DefaultsWithoutTmIni)
{
    TempGameFolder folder;
    scramble();
    loadConfig();
    expectDefaults();

    loadFrom(folder, "");
    expectDefaults();
}

TEST(Config, EveryKeyReachesItsSetting)
{
    TempGameFolder folder;
    loadFrom(folder, "[Replay]\nFrameStep = 2\nLength = 60\n"
                     "[Graphics]\nFasterTrackPreview = 1\nTyreAutoSort = 0\n"
                     "[Viewport]\nViewAngle = 45\nRotation = 90\nZoom = 150\nRatioAdjust = 0\n"
                     "[Misc]\nAlternativeSpeedSetting = 1\nScreenshotWidth = 800\nScreenshotHeight = 600\n"
                     "PaletteFile = palettes\\dusk.pal\n");
    EXPECT_EQ(game.replayFrameStep, 2);
    EXPECT_EQ(game.replayLength, 60);
    EXPECT_EQ(game.fasterTrackPreview, 1);
    EXPECT_EQ(game.tyreAutoSort, 0);
    EXPECT_EQ(game.viewAngle, 45);
    EXPECT_EQ(game.viewRotation, 90);
    EXPECT_EQ(game.viewZoom, 150);
    EXPECT_EQ(game.ratioAdjust, 0);
    EXPECT_EQ(game.alternativeSpeedSetting, 1);
    EXPECT_EQ(game.screenshotWidth, 800);
    EXPECT_EQ(game.screenshotHeight, 600);
    EXPECT_EQ(game.paletteFile, "palettes\\dusk.pal");
}

TEST(Config, HandWrittenFilesAreReadAsMeant)
{
    TempGameFolder folder;
    loadFrom(folder, "[replay]\nframeSTEP=2\n");
    EXPECT_EQ(game.replayFrameStep, 2);

    loadFrom(folder, "[Replay]\r\nLength = 20 ; seconds\r\nFrameStep = 3\r\nFrameStep = 7\r\n");
    EXPECT_EQ(game.replayLength, 20);
    EXPECT_EQ(game.replayFrameStep, 3);

    loadFrom(folder, "[Misc]\nScreenshotWidth = 400\n[Replay]\nLength = 30\n[Misc]\nScreenshotHeight = 300\n");
    EXPECT_EQ(game.screenshotWidth, 400);
    EXPECT_EQ(game.screenshotHeight, 300);
    EXPECT_EQ(game.replayLength, 30);

    loadFrom(folder, "[Misc]\rPaletteFile\t=\tmy dusk.pal   \rScreenshotWidth\t=\t640\r");
    EXPECT_EQ(game.paletteFile, "my dusk.pal");
    EXPECT_EQ(game.screenshotWidth, 640);
}

TEST(Config, WrongKindsAndPlacesHaveNoEffect)
{
    TempGameFolder folder;
    loadFrom(folder, "Length = 99\n"
                     "[Viewport]\nZoom = 150.0\nRotation = -90\nViewAngle = abc\nFrameStep = 9\n"
                     "[Misc]\nScreenshotWidth = -5\nPaletteFile = 5\nUnknown = 3\n");
    expectDefaults();
    loadFrom(folder, "[Misc]\nPaletteFile = 2.5\n");
    EXPECT_EQ(game.paletteFile, "tm.pal");
}

TEST(Config, ScreenshotSizeIsCapped)
{
    TempGameFolder folder;
    loadFrom(folder, "[Misc]\nScreenshotWidth = 4000\nScreenshotHeight = 5000\n");
    EXPECT_EQ(game.screenshotWidth, 2560);
    EXPECT_EQ(game.screenshotHeight, 1920);
    loadFrom(folder, "[Misc]\nScreenshotWidth = 2560\nScreenshotHeight = 1920\n");
    EXPECT_EQ(game.screenshotWidth, 2560);
    EXPECT_EQ(game.screenshotHeight, 1920);
}

// The tm.ini the game ships must name every key and change nothing.
TEST(Config, ShippedTmIniHoldsEveryKeyAtItsDefault)
{
    // The source folder from the environment, else from where this file lies.
    const char* env = std::getenv("TM_SOURCE_DIR");
    std::filesystem::path source = env ? std::filesystem::path(env)
                                       : std::filesystem::path(__FILE__).parent_path().parent_path().parent_path();
    std::string text = readHostFile(source / "content" / "tm.ini");
    ASSERT_FALSE(text.empty());

    TempGameFolder folder;
    loadFrom(folder, text);
    expectDefaults();

    IniFile ini;
    ASSERT_TRUE(readIniFile(ini));
    const char* keys[][2] = {{"Replay", "FrameStep"}, {"Replay", "Length"},
                             {"Graphics", "FasterTrackPreview"}, {"Graphics", "TyreAutoSort"},
                             {"Viewport", "ViewAngle"}, {"Viewport", "Rotation"},
                             {"Viewport", "Zoom"}, {"Viewport", "RatioAdjust"},
                             {"Misc", "AlternativeSpeedSetting"}, {"Misc", "ScreenshotWidth"},
                             {"Misc", "ScreenshotHeight"}};
    for (auto& k : keys) {
        const IniEntry* e = findIniEntry(ini, k[0], k[1]);
        ASSERT_NE(e, nullptr) << k[1];
        EXPECT_EQ(e->type, iniInteger) << k[1];
        EXPECT_EQ(e->key, k[1]);
    }
    const IniEntry* palette = findIniEntry(ini, "Misc", "PaletteFile");
    ASSERT_NE(palette, nullptr);
    EXPECT_EQ(palette->type, iniText);
    int entries = 0;
    for (const IniSection& s : ini.sections) entries += s.count;
    EXPECT_EQ(entries, 12);
    EXPECT_EQ(text.find('\n'), text.find("\r\n") + 1);
}
