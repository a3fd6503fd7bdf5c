// The season's screens as a player sees them: the championship points after a race and the
// final standings, which must stay up while the fireworks are drawn over them.
#include "season/championship.h"

#include "race/car_models.h"
#include "race/race_frame.h"
#include "race/race_rules.h"
#include "render/font.h"
#include "season/driver_file.h"
#include "season/race_slots.h"
#include "files/config.h"
#include "files/options_file.h"
#include "track/track_records.h"
#include "pictures.h"
#include "render_fixture.h"
#include "support/race_fixture.h"
#include "text_reader.h"

#include <filesystem>

namespace fs = std::filesystem;

namespace {

constexpr uint8_t heading = 245, white = 242;

class SeasonScreens : public ::testing::TestWithParam<std::pair<int, int>> {
protected:
    TempGameFolder folder;
    Screen screen{GetParam().first, GetParam().second};
    DrivenTicks clock{1000};
    uint8_t keys[keySnapshotSize] = {};

    void SetUp() override
    {
        ASSERT_TRUE(screen.ok);
        if (!copyBuiltGame(folder, BuiltTracks::All) || !fs::exists(buildFolder() / "tarmacade" / "font.bmp"))
            GTEST_SKIP() << "no built game folder";
        folder.provideFont();
        ASSERT_EQ(loadFont(), 0);
        game.guiOriginX = (GetParam().first - 80.0f * game.guiScale) * 0.5f;
        game.guiOriginY = (GetParam().second - 60.0f * game.guiScale) * 0.5f;
        for (std::string& s : game.uiStrings) s.clear();
        wireRaceKeys(keys);
        loadRaceSetup();
        game.options.raceLength = 1;
        game.driverList.clear();
        game.carCount = 0;
        for (const char* name : {"Ann", "Bob", "Cy"}) enterDriver(name, false);
    }
    void TearDown() override
    {
        unwireRaceKeys();
        clearSeason();
        freeFont();
    }
    std::string size() const { return std::to_string(GetParam().first) + "x" + std::to_string(GetParam().second); }

    // Ann wins, Bob second; Cy never finishes.
    void raceTo(uint8_t phase)
    {
        game.racePhase = Racing;
        game.raceClock = 1000;
        lineCrossing(0);
        game.raceClock = 1100;
        lineCrossing(1);
        game.racePhase = RaceOver;
        raceStep();
        holdKey(SDLK_SPACE, true);
        raceStep();
        holdKey(SDLK_SPACE, false);
        ASSERT_EQ(game.racePhase, phase);
    }
    static bool shows(const std::string& text, uint8_t colour, SDL_Surface* surface = game.drawSurface)
    {
        bool locked = lockSurface(surface);
        bool found = locked && !textreader::find(text, colour).empty();
        unlockDraw();
        return found;
    }
};

TEST_P(SeasonScreens, PointsAfterARaceAndTheFinalStandingsUnderFireworks)
{
    game.seasonTracks = {"gp", "hills"};
    ASSERT_EQ(startSeason(), 0);
    raceTo(StandingsHeld);
    EXPECT_TRUE(shows("Championship points", heading));
    EXPECT_TRUE(shows("after race 1/2", white));
    EXPECT_TRUE(shows("10 p", white));   // Ann: the race and the fastest lap, her one lap
    EXPECT_TRUE(shows("4 p", white));    // Cy, a lap down: third place and no fastest lap
    savePicture("season_points_" + size() + ".bmp");

    raceStep();
    holdKey(SDLK_SPACE, true);
    raceStep();
    holdKey(SDLK_SPACE, false);
    ASSERT_EQ(game.racePhase, WaitForKey);
    raceTo(FinalHeld);
    EXPECT_TRUE(shows("Official championship", heading));
    // Two seconds of fireworks, frame by frame as the main loop runs them, over the standings
    // kept in the background (a shell may cover a letter on the screen itself).
    for (int pass = 0; pass < 40; ++pass) {
        clock.advance(50);
        raceFrame();
    }
    EXPECT_EQ(game.racePhase, FinalShown);
    EXPECT_TRUE(shows("Official championship", heading, game.backgroundSurface));
    EXPECT_TRUE(shows("20 p", white, game.backgroundSurface));
    savePicture("season_final_" + size() + ".bmp");
}

INSTANTIATE_TEST_SUITE_P(Sizes, SeasonScreens, ::testing::Values(std::make_pair(640, 480), std::make_pair(1280, 720)),
                         [](const auto& info) { return std::to_string(info.param.first) + "x" + std::to_string(info.param.second); });

}  // namespace
