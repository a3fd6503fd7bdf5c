// tmtrack render: a sample track's race picture with its cars, as a track author sees it.
#include "support/harness.h"
#include "track_render.h"

#include "state/game_state.h"
#include "render/palette.h"

#include <gtest/gtest.h>

#include <array>

namespace {

std::string sampleTrack(const char* name)
{
    return (buildFolder() / "tarmacade" / "tracks" / name).string();
}

}  // namespace

TEST(TrackRender, SampleTrackShowsSixCarsInTheirOwnColours)
{
    SdlSession sdl;
    TempGameFolder folder;
    std::string track = sampleTrack("gp.trk");
    if (!std::filesystem::exists(track)) GTEST_SKIP() << "the game folder is not assembled";
    std::string why;
    std::string bmp = folder.path("gp.bmp").string();
    ASSERT_TRUE(renderTrackPicture(track, bmp, 960, 540, folder.root().string(), why)) << why;

    SDL_Surface* picture = SDL_LoadBMP(bmp.c_str());
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->w, 960);
    EXPECT_EQ(picture->h, 540);
    ASSERT_EQ(picture->format->BitsPerPixel, 8);
    std::array<int, 6> carPixels{};
    SDL_LockSurface(picture);
    for (int y = 0; y < picture->h; ++y) {
        const uint8_t* row = static_cast<const uint8_t*>(picture->pixels) + y * picture->pitch;
        for (int x = 0; x < picture->w; ++x)
            if (row[x] >= firstCarSlot && row[x] <= lastCarSlot) ++carPixels[(row[x] - firstCarSlot) / 8];
    }
    SDL_UnlockSurface(picture);
    SDL_FreeSurface(picture);
    // Each grid slot holds a car, in the colours of its own palette slots.
    for (int car = 0; car < 6; ++car) EXPECT_GT(carPixels[car], 0) << "car " << car;
}

TEST(TrackRender, RefusesOddSizesAndMissingTracksWithAReason)
{
    SdlSession sdl;
    TempGameFolder folder;
    std::string why;
    std::string bmp = folder.path("x.bmp").string();
    EXPECT_FALSE(renderTrackPicture(sampleTrack("gp.trk"), bmp, 8, 480, folder.root().string(), why));
    EXPECT_FALSE(why.empty());
    why.clear();
    EXPECT_FALSE(renderTrackPicture(folder.path("none.trk").string(), bmp, 320, 240, folder.root().string(), why));
    EXPECT_FALSE(why.empty());
    EXPECT_FALSE(folder.exists("x.bmp"));
    // Nothing of the attempt stays behind.
    EXPECT_EQ(game.glyphStrip, nullptr);
    EXPECT_EQ(game.drawSurface, nullptr);
}
