// Start on the main menu runs a season with the menus' pause menu, and "End Season" from it
// brings the main menu back.
#include "screen_fixture.h"

#include "race/race_frame.h"
#include "ui/main_menu.h"
#include "ui/pause_menu.h"
#include "ui/screens.h"

namespace {

class SeasonStart : public ScreenTest {};

TEST_F(SeasonStart, StartRacesTheSelectionAndEndSeasonReturnsToTheMenu)
{
    startGame(640, 480);
    ASSERT_EQ(activeScreen(), uint32_t(screenMainMenu));
    const Widget* w = game.dialog.widgets;
    int s = game.guiScale;
    click(int(w[menuDrivers].x) + 2 * s, int(w[menuDrivers].y) + s);
    click(int(w[menuDrivers].x) + 2 * s, int(w[menuDrivers].y) + s);
    click(int(w[menuTracks].x) + 2 * s, int(w[menuTracks].y) + s);
    ASSERT_EQ(game.carCount, 2);
    ASSERT_EQ(trackSelection().size(), 1u);

    clickWidget(menuStart);
    EXPECT_TRUE(game.raceRunning);
    EXPECT_EQ(game.racePhase, WaitForKey);
    EXPECT_EQ(game.seasonTracks, trackSelection());
    EXPECT_FALSE(game.dialog.active);
    ASSERT_NE(game.parkedDialog, nullptr);

    holdKey(SDLK_ESCAPE, true);
    raceStep();
    holdKey(SDLK_ESCAPE, false);
    ASSERT_EQ(activeScreen(), uint32_t(screenPauseMenu));
    EXPECT_FALSE(game.raceRunning);

    // Nothing scored yet: the season ends at once.
    clickWidget(pauseEndSeason);
    EXPECT_EQ(activeScreen(), uint32_t(screenMainMenu));
    EXPECT_EQ(game.parkedDialog, nullptr);
    EXPECT_FALSE(game.raceRunning);
}

}  // namespace
