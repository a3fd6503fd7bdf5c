// tmsim --save: the race as a saved game the game loads, at a race time or at the end.
#include "race_sim.h"

#include "platform/exe_folder.h"
#include "race/car_models.h"
#include "save/saved_game.h"
#include "files/options_file.h"
#include "state/game_state.h"
#include "support/harness.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

namespace {

namespace fs = std::filesystem;

int tmsim(std::vector<const char*> args, std::string& out, std::string& err)
{
    args.insert(args.begin(), "tmsim");
    return tmsimMain(int(args.size()), const_cast<char**>(args.data()), out, err);
}

TEST(TmsimSave, TheRaceIsSavedAtItsTimeOrItsEndAndLoadsInTheGame)
{
    TempGameFolder folder;
    fs::path built = buildFolder() / "tarmacade";
    if (!fs::is_regular_file(built / "tracks" / "street.trk")) GTEST_SKIP() << "no built game folder";
    fs::copy(built / "tracks", folder.path("tracks"), fs::copy_options::recursive);
    folder.makeFolder("saves");
    std::string track = folder.path("tracks/street.trk").string();
    std::string mid = folder.path("saves/Mid.gam").string(), end = folder.path("saves/End.gam").string();
    std::string out, err;
    ASSERT_EQ(tmsim({track.c_str(), "--cars", "3", "--laps", "1", "--save", mid.c_str(), "--at", "4.5"}, out, err), 0) << err;
    // A relative name is the caller's folder, not the one the race runs in.
    changeToFolder(folder.root().string());
    ASSERT_EQ(tmsim({track.c_str(), "--cars", "1", "--laps", "2", "--save", "saves/End.gam"}, out, err), 0) << err;
    ASSERT_TRUE(fs::is_regular_file(end));
    std::string gone = folder.path("no/such/folder/x.gam").string();
    EXPECT_EQ(tmsim({track.c_str(), "--laps", "1", "--save", gone.c_str()}, out, err), 2);
    EXPECT_EQ(err, "tmsim: could not write " + gone + "\n");
    EXPECT_EQ(tmsim({track.c_str(), "--at", "3"}, out, err), 2);
    EXPECT_EQ(tmsim({track.c_str(), "--save", mid.c_str(), "--at", "-1"}, out, err), 2);

    // The simulator left its own folder; the game's is this one.
    game.exeFolder = folder.root().string();
    changeToFolder(game.exeFolder);
    setDefaultOptions(game.options);
    loadCarModels();
    uint8_t keys[keySnapshotSize] = {};
    game.keySnapshot = keys;
    game.raceHooks = RaceHooks{};
    ASSERT_EQ(loadGame("Mid"), 0);
    EXPECT_EQ(game.carCount, 3);
    EXPECT_EQ(game.racePhase, Racing);
    EXPECT_EQ(game.raceClock, 450);
    EXPECT_EQ(game.trackEntry, "\\street");
    EXPECT_GT(game.replay.frameCount, 50);
    // Each car comes back in colours of its own.
    for (int i = 0; i < 3; ++i) ASSERT_NE(game.drivers[i], nullptr) << i;
    EXPECT_NE(game.drivers[0]->colour1, game.drivers[1]->colour1);
    EXPECT_NE(game.drivers[1]->colour1, game.drivers[2]->colour1);
    EXPECT_NE(game.drivers[0]->colour1, 0xFFFFFFu);
    ASSERT_EQ(loadGame("End"), 0);
    EXPECT_EQ(game.carCount, 1);
    EXPECT_EQ(game.racePhase, RaceOver);
    EXPECT_EQ(game.cars[0].laps, 2);
    EXPECT_GT(game.ghostBestSteps, 0);
    game.raceRunning = 0;
    game.keySnapshot = nullptr;
    game.driverList.clear();
}

}  // namespace
