#include "screen_fixture.h"

#include "ui/dialog.h"
#include "ui/main_menu.h"
#include "ui/screens.h"

namespace {

class ScreenPictures : public ScreenTest, public ::testing::WithParamInterface<std::pair<int, int>> {};

}  // namespace

TEST_P(ScreenPictures, MainMenu)
{
    auto [width, height] = GetParam();
    startGame(width, height);
    ASSERT_TRUE(game.dialog.active);
    EXPECT_EQ(game.dialog.dialogId, uint32_t(screenMainMenu));
    const Widget* w = game.dialog.widgets;
    int s = game.guiScale;
    // Two players and two tracks, the second player on another car.
    click(int(w[menuDrivers].x) + 2 * s, int(w[menuDrivers].y) + s);
    click(int(w[menuDrivers].x) + 2 * s, int(w[menuDrivers].y) + 3 * s);
    EXPECT_EQ(game.carCount, 2);
    click(int(w[menuTracks].x) + 2 * s, int(w[menuTracks].y) + s);
    click(int(w[menuTracks].x) + 16 * s, int(w[menuTracks].y) + 3 * s);
    EXPECT_EQ(trackSelection().size(), 2u);
    picture("main-menu");
    clickWidget(menuFirstCar + 1);
    ASSERT_EQ(game.dialog.dialogId, uint32_t(screenCarChooser));
    picture("car-chooser");
    const Widget& cars = game.dialog.widgets[0];
    click(int(cars.x) + 2 * s, int(cars.y) + 3 * s);
    EXPECT_EQ(game.dialog.dialogId, uint32_t(screenMainMenu));
    picture("main-menu-car");
}

INSTANTIATE_TEST_SUITE_P(Sizes, ScreenPictures, ::testing::Values(std::make_pair(640, 480), std::make_pair(1280, 720)));
