// A race from the command line pauses into the pause menu, whose Replay plays the race back
// on the replay screen and gives the race back as it was.
#include "screen_fixture.h"

#include "race/quick_race.h"
#include "race/race_frame.h"
#include "ui/pause_menu.h"
#include "ui/screens.h"

#include <cstring>

namespace {

class RaceReplay : public ScreenTest {
protected:
    static void escapeStep()
    {
        holdKey(SDLK_ESCAPE, true);
        raceStep();
        holdKey(SDLK_ESCAPE, false);
    }
};

TEST_F(RaceReplay, PauseMenuReplayPlaysTheRaceBackAndGivesItBack)
{
    startGame(640, 480);
    parkScreen();  // as the command line's race does
    ASSERT_EQ(startQuickRace("gp", 2, 2), 0);
    game.racePhase = Racing;
    game.phaseCounter = 71;
    holdKey(SDLK_UP, true);
    for (int i = 0; i < 300; ++i) raceStep();
    holdKey(SDLK_UP, false);
    ASSERT_EQ(game.replay.frameCount, 60);

    escapeStep();
    ASSERT_EQ(activeScreen(), uint32_t(screenPauseMenu));
    EXPECT_FALSE(game.dialog.widgets[pauseReplay].flags & widgetHidden);
    CarState before[maxCars];
    std::memcpy(before, game.cars, sizeof before);

    clickWidget(pauseReplay);
    EXPECT_EQ(game.racePhase, Replay);
    EXPECT_TRUE(game.raceRunning);
    EXPECT_FALSE(game.dialog.active);
    for (int i = 0; i < 20; ++i) ASSERT_TRUE(raceStep());
    EXPECT_NE(std::memcmp(before, game.cars, sizeof before), 0);
    game.raceHooks.drawReplay(1);
    EXPECT_TRUE(shows(uiText(152), 242));
    EXPECT_TRUE(shows("Rate  1:1", 242));
    EXPECT_FALSE(shows("HOME/END", 242));
    holdKey(SDLK_F1, true);  // the help shows while it is held
    raceStep();
    game.raceHooks.drawReplay(1);
    holdKey(SDLK_F1, false);
    EXPECT_TRUE(shows("HOME/END", 242));
    EXPECT_TRUE(shows(uiText(161), 242));

    escapeStep();
    EXPECT_EQ(game.racePhase, ReplayEnd);
    raceStep();
    EXPECT_EQ(game.racePhase, Countdown);
    EXPECT_TRUE(game.raceRunning);
    EXPECT_EQ(std::memcmp(before, game.cars, sizeof before), 0);
}

}  // namespace
