#include "platform/folder_entries.h"
#include "render/screenshot.h"
#include "render_fixture.h"
#include "files/config.h"
#include "shell/main_loop.h"

#include <string>

namespace {

uint32_t u32(const std::string& s, size_t at)
{
    return uint32_t(uint8_t(s[at])) | uint32_t(uint8_t(s[at + 1])) << 8 | uint32_t(uint8_t(s[at + 2])) << 16 |
           uint32_t(uint8_t(s[at + 3])) << 24;
}
uint16_t u16(const std::string& s, size_t at) { return uint16_t(uint8_t(s[at]) | uint8_t(s[at + 1]) << 8); }

struct Bitmap {
    uint32_t width, height;
    uint16_t bits;
};

Bitmap header(const std::string& file)
{
    if (file.size() < 54 || file.substr(0, 2) != "BM") return {0, 0, 0};
    return {u32(file, 18), u32(file, 22), u16(file, 28)};
}

void pressKey(SDLKey key)
{
    SDL_Event e{};
    e.type = SDL_KEYDOWN;
    e.key.keysym.sym = key;
    EXPECT_TRUE(dispatchEvent(e));
}

class Screenshot : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(screen.ok);
        game.screenshotCounter = 0;
        game.screenshotWidth = 320;
        game.screenshotHeight = 240;
        // Left half the panel colour, right half white, so the copy's colours can be checked.
        SDL_Surface* video = SDL_GetVideoSurface();
        SDL_Rect left{0, 0, 400, 300}, right{400, 0, 400, 300};
        SDL_FillRect(video, &left, 240);
        SDL_FillRect(video, &right, 242);
    }
    TempGameFolder folder;
    Screen screen{800, 300};
};

}  // namespace

TEST_F(Screenshot, F12SavesTheScreenWithItsPaletteAndSkipsShotsAlreadyThere)
{
    folder.write("screens/shot0000.bmp", "x");
    folder.write("screens/shot0002.bmp", "x");
    pressKey(SDLK_F12);
    pressKey(SDLK_F12);
    std::string shot = folder.read("screens/shot0001.bmp");
    Bitmap b = header(shot);
    EXPECT_EQ(b.width, 800u);
    EXPECT_EQ(b.height, 300u);
    EXPECT_EQ(b.bits, 8);
    // Colour table entry 240 (blue, green, red, 0) after the two headers.
    EXPECT_EQ(uint8_t(shot[54 + 4 * 240 + 0]), 150);
    EXPECT_EQ(uint8_t(shot[54 + 4 * 240 + 1]), 100);
    EXPECT_EQ(uint8_t(shot[54 + 4 * 240 + 2]), 0);
    EXPECT_EQ(header(folder.read("screens/shot0003.bmp")).bits, 8);
    EXPECT_EQ(folder.read("screens/shot0002.bmp"), "x");
    EXPECT_EQ(game.screenshotCounter, 4);
}

TEST_F(Screenshot, F11SavesAScaledTrueColourCopyOfTheConfiguredSize)
{
    game.raceRunning = 1;  // works during a race as well
    pressKey(SDLK_F11);
    game.raceRunning = 0;
    Bitmap b = header(folder.read("screens/shot0000.bmp"));
    EXPECT_EQ(b.width, 320u);
    EXPECT_EQ(b.height, 240u);
    EXPECT_EQ(b.bits, 24);

    folder.write("tm.ini", "[Misc]\nScreenshotWidth = 4000\nScreenshotHeight = 100\n");
    loadConfig();
    pressKey(SDLK_F11);
    b = header(folder.read("screens/shot0001.bmp"));
    EXPECT_EQ(b.width, 2560u);
    EXPECT_EQ(b.height, 100u);

    game.screenshotWidth = 0;  // like F12
    pressKey(SDLK_F11);
    b = header(folder.read("screens/shot0002.bmp"));
    EXPECT_EQ(b.width, 800u);
    EXPECT_EQ(b.bits, 8);

    game.screenshotWidth = -1;  // taken as unsigned: capped
    game.screenshotHeight = 10;
    EXPECT_EQ(takeScreenshot(game.screenshotWidth, game.screenshotHeight), 0);
    EXPECT_EQ(header(folder.read("screens/shot0003.bmp")).width, 2560u);
}

TEST_F(Screenshot, TheScaledCopyKeepsFlatColoursAndTheEdgeBetweenThem)
{
    SDL_Surface* copy = scaledTrueColourCopy(SDL_GetVideoSurface(), 160, 60);
    ASSERT_NE(copy, nullptr);
    ASSERT_EQ(copy->format->BitsPerPixel, 32);
    auto pixel = [&](int x, int y) {
        return *reinterpret_cast<Uint32*>(static_cast<uint8_t*>(copy->pixels) + y * copy->pitch + x * 4) & 0xFFFFFF;
    };
    EXPECT_EQ(pixel(10, 30), 0x006496u);
    EXPECT_EQ(pixel(150, 30), 0xFFFFFFu);
    EXPECT_EQ(pixel(0, 0), 0x006496u);  // edges of the picture stay flat too
    Uint32 left = pixel(78, 30), right = pixel(81, 30);
    EXPECT_LT(left & 0xFF0000, right & 0xFF0000);  // red rises across the edge
    SDL_FreeSurface(copy);
    SDL_Surface* upscaled = scaledTrueColourCopy(SDL_GetVideoSurface(), 1600, 600);
    ASSERT_NE(upscaled, nullptr);
    SDL_FreeSurface(upscaled);
}

TEST_F(Screenshot, AFailedSaveStillAdvancesTheNumber)
{
    folder.write("screens", "not a folder");
    EXPECT_NE(takeScreenshot(0, 0), 0);
    EXPECT_EQ(game.screenshotCounter, 1);
}

TEST_F(Screenshot, ThousandsOfShotsInAnyLetterCaseCostOneReadOfTheFolder)
{
    // Copied from a system that keeps names in upper case, and some in lower case.
    for (int i = 0; i < 300; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, i % 2 ? "screens/SHOT%04d.BMP" : "screens/shot%04d.bmp", i);
        folder.write(name, "x");
    }
    long before = hostFolderReads();
    EXPECT_EQ(takeScreenshot(0, 0), 0);
    EXPECT_EQ(hostFolderReads(), before + 1);
    EXPECT_EQ(header(folder.read("screens/shot0300.bmp")).bits, 8);
    EXPECT_EQ(folder.read("screens/SHOT0299.BMP"), "x");
    EXPECT_EQ(game.screenshotCounter, 301);
}
