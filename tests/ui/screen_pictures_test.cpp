#include "screen_fixture.h"

#include "ui/about_box.h"
#include "ui/dialog.h"
#include "ui/dialog_events.h"
#include "ui/driver_stats.h"
#include "ui/file_dialog.h"
#include "ui/main_menu.h"
#include "ui/option_pages.h"
#include "ui/pause_menu.h"
#include "ui/screens.h"
#include "ui/track_info.h"

namespace {

// Every screen at two sizes; with TM_UI_PICTURES set, a BMP of each for a person to look at.
class ScreenPictures : public ScreenTest, public ::testing::WithParamInterface<std::pair<int, int>> {};

std::string boxPicture;

// A modal box is photographed from inside its own loop.
void snapshotThenMove(int x, int y, bool held)
{
    ScreenTest::picture(boxPicture);
    pointerMove(x, y, held);
}

void photographBox(const std::string& name, void (*open)())
{
    boxPicture = name;
    game.dialogInput.pointerMove = snapshotThenMove;
    pushMouseMotion(1, 1, 0);
    pushKeyPress(SDLK_RETURN);
    open();
    game.dialogInput.pointerMove = pointerMove;
}

}  // namespace

TEST_P(ScreenPictures, EveryScreenOpensAndComesBack)
{
    auto [width, height] = GetParam();
    startGame(width, height);
    ASSERT_EQ(activeScreen(), uint32_t(screenMainMenu));
    const Widget* w = game.dialog.widgets;
    int s = game.guiScale;
    // Two players and two tracks.
    click(int(w[menuDrivers].x) + 2 * s, int(w[menuDrivers].y) + s);
    click(int(w[menuDrivers].x) + 2 * s, int(w[menuDrivers].y) + 3 * s);
    EXPECT_EQ(game.carCount, 2);
    EXPECT_STREQ(game.driverNames[1], "Chen");
    click(int(w[menuTracks].x) + 2 * s, int(w[menuTracks].y) + s);
    click(int(w[menuTracks].x) + 16 * s, int(w[menuTracks].y) + 3 * s);
    EXPECT_EQ(trackSelection().size(), 2u);
    picture("main-menu");

    clickWidget(menuFirstCar + 1);
    ASSERT_EQ(activeScreen(), uint32_t(screenCarChooser));
    picture("car-chooser");
    const Widget& cars = game.dialog.widgets[0];
    click(int(cars.x) + 2 * s, int(cars.y) + 3 * s);
    EXPECT_EQ(activeScreen(), uint32_t(screenMainMenu));

    // A player's name sends the driver back to the list.
    clickWidget(menuFirstName);
    EXPECT_EQ(game.carCount, 1);
    EXPECT_STREQ(game.driverNames[0], "Chen");

    photographBox("about", showAboutBox);
    EXPECT_EQ(activeScreen(), uint32_t(screenMainMenu));

    clickWidget(menuOptions);
    ASSERT_EQ(activeScreen(), uint32_t(screenOptions));
    picture("options");
    clickWidget(pageSecondLink);
    ASSERT_EQ(activeScreen(), uint32_t(screenAdvancedOptions));
    picture("advanced-options");
    clickWidget(advLanguage);
    picture("advanced-language-list");
    clickWidget(advLanguage);
    clickWidget(pageSecondLink);
    ASSERT_EQ(activeScreen(), uint32_t(screenDriverOptions));
    picture("driver-options");
    clickWidget(drvCreate);
    picture("driver-create");
    clickWidget(drvCreateCancel);
    clickWidget(pageCancel);
    ASSERT_EQ(activeScreen(), uint32_t(screenMainMenu));

    openTrackInfo("\\gp");
    ASSERT_EQ(activeScreen(), uint32_t(screenTrackInfo));
    picture("track-info");
    clickWidget(infoOk);
    ASSERT_EQ(activeScreen(), uint32_t(screenMainMenu));

    w = game.dialog.widgets;
    pushMouseButton(SDL_BUTTON_RIGHT, false, uint16_t(w[menuFirstName].x + s), uint16_t(w[menuFirstName].y + s));
    pump();
    ASSERT_EQ(activeScreen(), uint32_t(screenDriverStats));
    picture("driver-stats");
    clickWidget(statsOk);
    ASSERT_EQ(activeScreen(), uint32_t(screenMainMenu));

    clickWidget(menuLoad);
    ASSERT_EQ(activeScreen(), uint32_t(screenFileDialog));
    picture("file-dialog");
    clickWidget(fileCancel);
    ASSERT_EQ(activeScreen(), uint32_t(screenMainMenu));

    // A race would have drawn its picture; the menu's will do. Ending it goes back to the menu.
    game.raceHooks = RaceHooks{};
    game.raceHooks.leaveRace = backToMainMenu;
    game.raceLaps = 3;
    parkScreen();
    openPauseMenu();
    ASSERT_EQ(activeScreen(), uint32_t(screenPauseMenu));
    picture("pause-menu");
    clickWidget(pauseEndRace);
    EXPECT_EQ(activeScreen(), uint32_t(screenMainMenu));
    EXPECT_EQ(game.parkedDialog, nullptr);
    EXPECT_FALSE(game.raceRunning);
    game.raceHooks = RaceHooks{};
}

INSTANTIATE_TEST_SUITE_P(Sizes, ScreenPictures, ::testing::Values(std::make_pair(640, 480), std::make_pair(1280, 720)));
