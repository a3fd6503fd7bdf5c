// A race drawn as the player sees it, without a window. The pictures go to TM_PICTURE_DIR
// when it is set, to be looked at.
#include "race/quick_race.h"
#include "race/race_frame.h"
#include "race/race_screens.h"
#include "render/font.h"
#include "render/palette.h"
#include "render/race_view.h"
#include "render/raster.h"
#include "render/surfaces.h"
#include "files/config.h"
#include "shell/game_system.h"
#include "files/options_file.h"
#include "race/car_models.h"
#include "state/game_state.h"
#include "support/harness.h"
#include "support/race_fixture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <set>

namespace fs = std::filesystem;

namespace {

class RacePictures : public RaceFolderTest {
protected:
    RacePictures() : RaceFolderTest(BuiltTracks::GrandPrix) {}
    void SetUp() override
    {
        RaceFolderTest::SetUp();
        if (IsSkipped()) return;
        folder.provideFont();
        game.screenWidth = 640;
        game.screenHeight = 480;
        ASSERT_TRUE(setVideoMode(640, 480, true));
        buildCircleTable();
        loadPalette();
        setProjectionScale(640, 480);
        ASSERT_EQ(loadFont(), 0);
    }
    void TearDown() override
    {
        RaceFolderTest::TearDown();
        drainEvents();
        freeDrawSurfaces();
    }

    void keep(const char* name)
    {
        if (const char* dir = std::getenv("TM_PICTURE_DIR")) SDL_SaveBMP(game.drawSurface, (fs::path(dir) / name).c_str());
    }

    // Which cars show on the screen, by their own colours.
    std::set<int> carsInPicture()
    {
        std::set<int> seen;
        SDL_Surface* s = game.drawSurface;
        SDL_LockSurface(s);
        for (int y = 0; y < s->h; ++y)
            for (int x = 0; x < s->w; ++x) {
                int v = static_cast<uint8_t*>(s->pixels)[y * s->pitch + x];
                if (v >= firstCarSlot && v < firstCarSlot + 8 * maxCars) seen.insert((v - firstCarSlot) / 8);
            }
        SDL_UnlockSurface(s);
        return seen;
    }

    // Steps as a pass of 40 ms runs them, the picture drawn after.
    void race(int steps)
    {
        for (int i = 0; i < steps && game.racePhase < RaceOver; i += 4) {
            for (int k = 0; k < 4; ++k) raceStep();
            drawRacePicture(4);
        }
    }

};

TEST_F(RacePictures, TheStartAndTheFirstCorner)
{
    ASSERT_EQ(startQuickRace("gp", 10, 5), 0);
    EXPECT_EQ(game.raceRunning, 1);
    keep("race-grid.bmp");
    holdKey(SDLK_SPACE, true);
    raceStep();
    holdKey(SDLK_SPACE, false);
    while (game.racePhase == Countdown) raceStep();
    holdKey(SDLK_UP, true);
    race(120);
    keep("race-start.bmp");
    EXPECT_EQ(carsInPicture(), (std::set<int>{0, 1, 2, 3, 4, 5}));
    race(480);
    keep("race-first-corner.bmp");
}

// Thirsty cars: everybody stops for fuel within the first laps.
TEST_F(RacePictures, APitStop)
{
    game.options.fuelConsumption = 100;
    ASSERT_EQ(startQuickRace("gp", 10, 5), 0);
    game.racePhase = Racing;
    int served = -1;
    for (int steps = 0; served < 0 && steps < 20000 && game.racePhase < RaceOver; steps += 4) {
        race(4);
        for (int b = 0; b < game.pitBoxCount; ++b) {
            const PitBox& box = game.pitBoxes[b];
            if (box.owner < game.carCount && box.task[6] > 0) served = box.owner;
        }
    }
    ASSERT_GE(served, 0) << "nobody was refuelled";
    race(60);
    keep("race-pit-stop.bmp");
    EXPECT_EQ(carsInPicture().count(served), 1u);
}

}  // namespace
