#include "render_fixture.h"

TEST(FillRect, NoRectangleFillsTheWholeSurfaceAndEdgesClip)
{
    Screen screen(64, 48);
    ASSERT_TRUE(screen.ok);
    fillRect(nullptr, 7);
    fillRect(60, 40, 100, 100, 9);        // runs off the bottom right
    fillCorners(-5, -5, 2, 3, 11);        // starts off the top left
    fillRect(10, 10, -4, 5, 13);          // negative width: nothing
    DrawRect r{20, 20, 22, 21};
    fillRect(&r, 15);
    ASSERT_TRUE(lockDraw());
    EXPECT_EQ(Screen::count(9), 4 * 8);
    EXPECT_EQ(Screen::count(11), 2 * 3);
    EXPECT_EQ(Screen::count(13), 0);
    EXPECT_EQ(Screen::count(15), 2);
    EXPECT_EQ(Screen::count(7), 64 * 48 - 32 - 6 - 2);
    unlockDraw();
}

TEST(LockDraw, PublishesThePixelsAndUnlockClearsThem)
{
    Screen screen(64, 48);
    ASSERT_TRUE(lockDraw());
    EXPECT_EQ(game.pixelBase, game.drawSurface->pixels);
    EXPECT_EQ(game.pixelPitch, game.drawSurface->pitch);
    EXPECT_EQ(game.lockedSurface, game.drawSurface);
    unlockDraw();
    EXPECT_EQ(game.pixelBase, nullptr);
    EXPECT_EQ(game.pixelPitch, 0);
    EXPECT_EQ(game.lockedSurface, nullptr);
    unlockDraw();  // nothing locked: nothing happens

    ASSERT_TRUE(lockDraw());
    freeDrawSurfaces();  // a freed surface never stays published
    EXPECT_EQ(game.pixelBase, nullptr);
    EXPECT_FALSE(lockDraw());
    fillRect(nullptr, 3);  // no surface: nothing to fill, no crash
}
