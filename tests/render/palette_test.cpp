#include "render_fixture.h"

#include <cstdlib>
#include <string>

namespace {

std::string paletteOf(uint32_t value)
{
    uint32_t colours[paletteSize];
    for (auto& c : colours) c = value;
    return paletteFileImage(colours);
}

}  // namespace

TEST(BuiltInPalette, BandsWaterTintsAndInterfaceColours)
{
    uint32_t p[paletteSize] = {};
    p[200] = 0x123456;
    builtInPalette(p);
    EXPECT_EQ(p[0], 0x000000u);
    EXPECT_EQ(p[29], 0xC8C8C8u);                          // grey 200
    EXPECT_EQ(p[30], uint32_t(60 << 16 | 100 << 8 | 40));
    EXPECT_EQ(p[44], uint32_t(160 << 16 | 220 << 8 | 100));
    EXPECT_EQ(p[107], uint32_t(227 << 16 | 225 << 8 | 222));  // t = 0.5 truncated
    EXPECT_EQ(p[119], uint32_t(255 << 16 | 60 << 8 | 60));
    EXPECT_EQ(p[120], waterTint(p[2]));
    EXPECT_EQ(p[143], waterTint(p[117]));
    EXPECT_EQ(waterTint(0xFFFFFF), uint32_t(127 << 16 | 191 << 8 | 255));
    for (int g = 0; g < 12; ++g) EXPECT_EQ(p[147 + 4 * g], waterTint(p[145 + 4 * g])) << g;
    EXPECT_EQ(p[171], waterTint(p[169]));  // wheels under water
    EXPECT_EQ(p[240], 0x006496u);
    EXPECT_EQ(p[247], 0x00FF00u);
    EXPECT_EQ(p[248], uint32_t(64 << 16 | 160 << 8 | 255));
    EXPECT_EQ(p[251], uint32_t(145 << 16 | 200 << 8 | 255));
    EXPECT_EQ(p[255], 0xFFFFFFu);
    EXPECT_EQ(p[200], 0x123456u);  // car slots are the drivers'
}

TEST(PaletteFile, ExactlyTheFullLengthLoadsAndOneByteLessGivesTheBuiltInColours)
{
    TempGameFolder folder;
    Screen screen(320, 240);
    ASSERT_TRUE(screen.ok);
    game.paletteFile = "Palettes\\Grey.pal";
    std::string image = paletteOf(0x102030);
    ASSERT_EQ(image.size(), 1048u);
    folder.write("palettes/grey.pal", image);
    loadPalette();
    EXPECT_EQ(game.palette[5], 0x102030u);
    EXPECT_EQ(game.palette[250], 0x102030u);
    EXPECT_EQ(game.drawSurface->format->palette->colors[5].g, 0x20);
    EXPECT_EQ(SDL_GetVideoSurface()->format->palette->colors[250].b, 0x30);

    folder.write("palettes/grey.pal", image.substr(0, 1047));
    loadPalette();
    uint32_t builtIn[paletteSize] = {};
    builtInPalette(builtIn);
    EXPECT_EQ(game.palette[5], builtIn[5]);
    EXPECT_EQ(game.palette[250], builtIn[250]);

    game.paletteFile = "";  // no file named: built-in as well
    game.palette[5] = 0;
    loadPalette();
    EXPECT_EQ(game.palette[5], builtIn[5]);
    game.paletteFile = "tm.pal";
}

TEST(PaletteFile, LoadingNeverTouchesTheCarSlots)
{
    TempGameFolder folder;
    Screen screen(320, 240);
    setCarColours(2, 0x0000FF, 0xFF0000);  // red, then blue, in the drivers' byte order
    uint32_t before[paletteSize];
    readPalette(before);
    EXPECT_EQ(before[192 + 16 + 2], 0xFF0000u);
    EXPECT_EQ(before[192 + 16 + 6], 0x0000FFu);
    EXPECT_EQ(before[192 + 16 + 7], waterTint(before[192 + 16 + 5]));
    game.paletteFile = "tm.pal";
    folder.write("tm.pal", paletteOf(0xABCDEF));
    loadPalette();
    for (int i = firstCarSlot; i <= lastCarSlot; ++i) EXPECT_EQ(game.palette[i], before[i]) << i;
    EXPECT_EQ(game.palette[191], 0xABCDEFu);
    EXPECT_EQ(game.palette[240], 0xABCDEFu);
    folder.write("tm.pal", "RIFF");
    loadPalette();
    for (int i = firstCarSlot; i <= lastCarSlot; ++i) EXPECT_EQ(game.palette[i], before[i]) << i;
}

// The shipped tm.pal is written from the same code, so the file and the fallback agree.
// tm.pal is the built-in palette but for the few slots the menus draw texts and faces with,
// which it makes legible (the screens' contrast test checks them).
TEST(PaletteFile, TheShippedPaletteIsTheBuiltInOneAndTheAlternativesDiffer)
{
    std::string build = buildFolder().string();
    std::string shipped = readHostFile(build + "/tarmacade/tm.pal");
    if (shipped.empty()) GTEST_SKIP() << "game folder not assembled";
    uint32_t builtIn[paletteSize] = {}, fromFile[paletteSize] = {};
    builtInPalette(builtIn);
    ASSERT_TRUE(parsePaletteFile(reinterpret_cast<const uint8_t*>(shipped.data()), shipped.size(), fromFile));
    for (int i = 0; i < paletteSize; ++i) {
        if (i == 90 || i == 92 || i == 240 || i == 241) continue;
        EXPECT_EQ(fromFile[i], builtIn[i]) << i;
    }
    EXPECT_EQ(shipped.substr(0, 4), "RIFF");
    EXPECT_EQ(shipped.substr(8, 8), "PAL data");
    for (const char* name : {"dusk", "autumn", "contrast"}) {
        std::string alt = readHostFile(build + "/tarmacade/palettes/" + name + ".pal");
        ASSERT_EQ(alt.size(), 1048u) << name;
        uint32_t colours[paletteSize] = {};
        parsePaletteFile(reinterpret_cast<const uint8_t*>(alt.data()), alt.size(), colours);
        int changedScenery = 0, changedInterface = 0;
        for (int i = 0; i < 192; ++i) changedScenery += colours[i] != builtIn[i];
        for (int i = 240; i < 256; ++i) changedInterface += colours[i] != builtIn[i];
        EXPECT_GT(changedScenery, 150) << name;
        EXPECT_GT(changedInterface, 1) << name;
    }
}
