// tmsim --save and --load: the race as a saved game the game loads, at a race time, a step or
// the end, and a saved game continued to the end of its race.
#include "race_sim.h"

#include "platform/exe_folder.h"
#include "race/car_models.h"
#include "save/saved_game.h"
#include "files/options_file.h"
#include "state/game_state.h"
#include "save/save_fixture.h"
#include "support/harness.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

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

// A six-car race on a copy of a shipped track, the reference every continued game is held to.
// On gp the grass is scattered from the random numbers: the ground must come back as raced.
class TmsimLoad : public ::testing::Test {
protected:
    void SetUp() override
    {
        fs::path built = buildFolder() / "tarmacade" / "tracks" / "gp.trk";
        if (!fs::is_regular_file(built)) GTEST_SKIP() << "no built game folder";
        fs::copy_file(built, folder.path("gp.trk"));
        track = folder.path("gp.trk").string();
        ASSERT_EQ(tmsim(race({}), text, err), 0) << err;
        ASSERT_EQ(tmsim(race({"--json"}), json, err), 0) << err;
        steps = nlohmann::json::parse(json)["raceSteps"];
    }
    std::vector<const char*> race(std::vector<const char*> more)
    {
        std::vector<const char*> args{track.c_str(), "--cars", "6", "--laps", "2", "--seed", "5"};
        args.insert(args.end(), more.begin(), more.end());
        return args;
    }
    // Saves the race after `step` steps: what the file lacks, as tmsim reports it.
    nlohmann::json saveAt(int step, const std::string& file)
    {
        std::string out, at = std::to_string(step);
        EXPECT_EQ(tmsim(race({"--json", "--save", file.c_str(), "--at-step", at.c_str()}), out, err), 0) << err;
        return nlohmann::json::parse(out)["save"];
    }
    int load(const std::string& file, std::vector<const char*> more, std::string& out)
    {
        std::vector<const char*> args{"--load", file.c_str(), track.c_str(), "--seed", "5"};
        args.insert(args.end(), more.begin(), more.end());
        return tmsim(args, out, err);
    }
    TempGameFolder folder;
    std::string track, text, json, err;
    int steps = 0;
};

TEST_F(TmsimLoad, AGameSavedUnderTheLightsRunsOnAsTheRaceNeverSaved)
{
    for (int step : {0, 150, 211}) {
        std::string file = folder.path("lights.gam").string(), out;
        nlohmann::json save = saveAt(step, file);
        EXPECT_TRUE(save["written"]);
        EXPECT_TRUE(save["whole"]) << save.dump();
        ASSERT_EQ(load(file, {}, out), 0) << err;
        EXPECT_EQ(out, text) << step;
        ASSERT_EQ(load(file, {"--json"}, out), 0) << err;
        EXPECT_EQ(out, json) << step;
    }
}

TEST_F(TmsimLoad, AGameSavedLaterFinishesItsRaceAndSaysWhatItLacked)
{
    // In the finishing phase the race's length is read back from the file whole.
    std::string file = folder.path("late.gam").string(), out;
    nlohmann::json save = saveAt(steps - 40, file);
    EXPECT_FALSE(save["whole"]);
    EXPECT_NE(save.dump().find("random draw"), std::string::npos) << save.dump();
    EXPECT_NE(save.dump().find("lap times"), std::string::npos) << save.dump();
    ASSERT_EQ(load(file, {"--json"}, out), 0) << err;
    nlohmann::json loaded = nlohmann::json::parse(out);
    EXPECT_EQ(loaded["raceSteps"], steps);
    EXPECT_TRUE(loaded["allFinished"]);
    EXPECT_FALSE(loaded.contains("save"));
    // Halfway through, every car still finishes.
    save = saveAt(steps / 2, file);
    EXPECT_EQ(load(file, {}, out), 0) << err;
    EXPECT_EQ(out.substr(0, out.find(':')), track);
}

TEST_F(TmsimLoad, WhatCannotBeContinuedExitsTwo)
{
    std::string good = folder.path("good.gam").string(), junk = folder.path("junk.gam").string();
    saveAt(100, good);
    folder.write("junk.gam", std::string("not a saved game"));
    folder.write("elsewhere/other.trk", std::string("x"));
    std::string other = folder.path("elsewhere/other.trk").string(), missing = folder.path("none.gam").string();
    const std::vector<std::vector<const char*>> bad = {
        {"--load"},
        {"--load", missing.c_str()},
        {"--load", junk.c_str(), track.c_str()},
        {"--load", good.c_str(), track.c_str(), "--cars", "3"},
        {"--load", good.c_str(), track.c_str(), "--laps", "3"},
        // The saved game's track is not beside the one given.
        {"--load", good.c_str(), other.c_str()},
        {track.c_str(), "--at-step", "5"},
        {track.c_str(), "--save", good.c_str(), "--at", "1", "--at-step", "5"},
        {track.c_str(), "--save", good.c_str(), "--at-step", "-5"},
    };
    for (const auto& args : bad) {
        std::string out;
        EXPECT_EQ(tmsim(args, out, err), 2) << args.back();
        EXPECT_TRUE(out.empty());
        EXPECT_EQ(err.rfind("tmsim: ", 0), 0u) << err;
    }
}

// A player's own season, saved with a human in the race: nobody is at the keys, so the
// human's car is driven on by a computer and the race ends with every car at the line.
using TmsimLoadPlayers = SaveTest;

TEST_F(TmsimLoadPlayers, APlayersSeasonRunsOnWithAComputerAtTheHumansWheel)
{
    drivers(3);
    game.seasonTracks = {"gp", "hills"};
    ASSERT_EQ(startSeason(), 0);
    game.racePhase = Racing;
    holdKey(SDLK_UP, true);
    for (int i = 0; i < 400; ++i) raceStep();
    holdKey(SDLK_UP, false);
    ASSERT_NE(game.cars[0].controls[0], 0u);
    ASSERT_TRUE(saveGame("Season"));

    SimArguments a;
    a.loadFile = folder.path("saves/Season.gam").string();
    a.track = folder.path("tracks/gp.trk").string();
    SimResult r;
    std::string why;
    ASSERT_TRUE(runSimulation(a, r, why)) << why;
    EXPECT_TRUE(r.allFinished);
    EXPECT_EQ(r.laps, 2);
    ASSERT_EQ(r.cars.size(), 3u);
    for (const SimCar& c : r.cars) {
        if (c.car != 0) continue;
        EXPECT_EQ(c.name, "Ann");
        EXPECT_EQ(c.skill, 100);
        EXPECT_LT(c.stuckSteps, 1000);
    }
}

}  // namespace
