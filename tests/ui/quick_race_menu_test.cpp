// The command line's race hands the screen back to the main menu it started over, with the
// menu's players as they were.
#include "screen_fixture.h"

#include "race/quick_race.h"
#include "race/race_frame.h"
#include "ui/main_menu.h"
#include "ui/pause_menu.h"
#include "ui/screens.h"

#include <cstring>

namespace {

class QuickRaceMenu : public ScreenTest {
protected:
    static void press(SDLKey key)
    {
        holdKey(key, true);
        raceStep();
        holdKey(key, false);
        raceStep();
    }
    void clickFirstDriver()
    {
        const Widget& list = screenWidgets(screenMainMenu)[menuDrivers];
        click(int(list.x) + 2 * game.guiScale, int(list.y) + game.guiScale);
    }
    // The menu with one player seated, then the race started as the program starts it.
    void startOverMenu()
    {
        startGame(640, 480);
        clickFirstDriver();
        ASSERT_EQ(game.carCount, 1);
        std::memcpy(seatedName, game.driverNames[0], sizeof seatedName);
        seated = game.drivers[0];
        parkScreen();
        ASSERT_EQ(startQuickRace("gp", 1, 2, backToMainMenu), 0);
        ASSERT_TRUE(game.raceRunning);
        ASSERT_EQ(game.carCount, 3);
        EXPECT_STREQ(game.driverNames[0], "Player");
    }
    void expectMenuBack()
    {
        EXPECT_FALSE(game.raceRunning);
        ASSERT_EQ(activeScreen(), uint32_t(screenMainMenu));
        EXPECT_EQ(game.parkedDialog, nullptr);
        ASSERT_EQ(game.carCount, 1);
        EXPECT_STREQ(game.driverNames[0], seatedName);
        EXPECT_EQ(game.drivers[0], seated);
        EXPECT_EQ(game.drivers[1], nullptr);
        // The menu answers again: the next free driver takes the second seat.
        clickFirstDriver();
        EXPECT_EQ(game.carCount, 2);
    }
    char seatedName[sizeof game.driverNames[0]] = {};
    DriverProfile* seated = nullptr;
};

TEST_F(QuickRaceMenu, TheResultsAndAFreshKeyLeadBackToTheMenu)
{
    startOverMenu();
    game.racePhase = RaceOver;
    raceStep();
    ASSERT_EQ(game.racePhase, ResultsShown);
    // The throttle still held across the line does not skip the results.
    holdKey(SDLK_UP, true);
    raceStep();
    raceStep();
    EXPECT_TRUE(game.raceRunning);
    holdKey(SDLK_UP, false);
    raceStep();
    EXPECT_TRUE(game.raceRunning);
    press(SDLK_SPACE);
    expectMenuBack();
}

TEST_F(QuickRaceMenu, EndRaceFromThePauseMenuAndTheResultsLeadBackToTheMenu)
{
    startOverMenu();
    press(SDLK_SPACE);
    ASSERT_EQ(game.racePhase, Countdown);
    holdKey(SDLK_ESCAPE, true);
    raceStep();
    holdKey(SDLK_ESCAPE, false);
    ASSERT_EQ(activeScreen(), uint32_t(screenPauseMenu));
    clickWidget(pauseEndRace);
    raceStep();
    EXPECT_TRUE(game.raceRunning);
    press(SDLK_SPACE);
    expectMenuBack();
}

TEST_F(QuickRaceMenu, ATrackThatDoesNotLoadLeavesTheSeatsAlone)
{
    startGame(640, 480);
    clickFirstDriver();
    std::string name = game.driverNames[0];
    EXPECT_EQ(startQuickRace("no such track", 1, 2, nullptr), -1);
    EXPECT_EQ(game.carCount, 1);
    EXPECT_EQ(name, game.driverNames[0]);
}

}  // namespace
