// Saved games written by the game itself (tmsim's races saved through the game's own writer),
// read back and checked against what tmsim reports of the same race.
#include "analysis.h"
#include "analysis_text.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

struct SimulatedRace {
    nlohmann::json report;
    Analysis analysis;
    bool ok = false;
};

class GameWrittenSaves : public testing::Test {
protected:
    static fs::path root;
    static SimulatedRace six, trial, halfway;

    // tmsim runs in a folder of its own so that its tm.ini can ask for a replay of the whole race.
    static void SetUpTestSuite()
    {
        char pattern[] = "/tmp/analyserSimXXXXXX";
        root = mkdtemp(pattern);
        fs::path game = TM_GAME_FOLDER;
        fs::copy_file(game / "tmsim", root / "tmsim");
        fs::create_directory_symlink(game / "cars", root / "cars");
        std::ofstream(root / "tm.ini") << "[Replay]\r\nLength = 900\r\nFrameStep = 5\r\n";
        race(six, "--cars 6 --laps 3 --seed 7", "six.gam");
        race(trial, "--cars 1 --laps 3 --seed 3", "trial.gam");
        race(halfway, "--cars 1 --laps 5 --seed 3 --at 70", "halfway.gam");
    }
    static void TearDownTestSuite() { fs::remove_all(root); }

    static void race(SimulatedRace& r, const std::string& options, const char* save)
    {
        fs::path track = fs::path(TM_GAME_FOLDER) / "tracks" / "gp.trk";
        std::string command = "'" + (root / "tmsim").string() + "' '" + track.string() + "' " + options + " --json --save '" +
                              (root / save).string() + "' > '" + (root / "report.json").string() + "'";
        if (std::system(command.c_str()) != 0) return;
        std::ifstream f(root / "report.json");
        std::stringstream s;
        s << f.rdbuf();
        r.report = nlohmann::json::parse(s.str(), nullptr, false);
        std::string why;
        r.ok = !r.report.is_discarded() && analyseSavedGame(TM_GAME_FOLDER, (root / save).string(), r.analysis, why);
        EXPECT_TRUE(r.ok) << why;
    }

    // Every car of tmsim's report has its values in the saved game's car of that number.
    static void expectCarsAsReported(const SimulatedRace& r)
    {
        const SavedGameInfo& g = r.analysis.game;
        ASSERT_EQ(size_t(g.carCount), r.report["cars"].size());
        for (const auto& c : r.report["cars"]) {
            int number = c["car"];
            SCOPED_TRACE(number);
            ASSERT_TRUE(number >= 1 && number <= g.carCount);
            const AnalysedCar& a = g.cars[size_t(number - 1)];
            EXPECT_EQ(a.name, c["driver"]);
            EXPECT_FALSE(a.human);
            EXPECT_EQ(a.skill, c["skill"]);
            EXPECT_EQ(a.position, c["position"]);
            EXPECT_EQ(a.laps, c["laps"]);
            EXPECT_EQ(a.bestLap, c["bestLap"]);
            EXPECT_EQ(a.tyres, c["tyres"]);
            EXPECT_EQ(a.fuel, c["fuel"]);
            EXPECT_EQ(a.damage, c["damage"]);
            if (c["finished"]) {
                EXPECT_EQ(a.lastCrossing, c["totalTime"]);
            }
        }
        EXPECT_EQ(g.raceLaps, r.report["laps"]);
        EXPECT_EQ(g.fastestLapTime, r.report["fastestLap"]["steps"]);
        EXPECT_EQ(g.trackName, "gp");
        EXPECT_TRUE(r.analysis.trackRead);
    }

    // The laps cut from the first car's replay. Lap counting starts where the car first crosses
    // the line, just after the start, so the path has the car's laps, and they end at its last
    // crossing; the game's first lap also holds the stretch from the grid to the line.
    static void expectLapsOfTheFirstCar(const SimulatedRace& r)
    {
        const Analysis& a = r.analysis;
        ASSERT_TRUE(a.game.hasReplay);
        const AnalysedCar& first = a.game.cars[0];
        ASSERT_GE(first.laps, 2);
        ASSERT_EQ(a.laps.laps.size(), size_t(first.laps));
        int sum = 0;
        for (const Lap& lap : a.laps.laps) sum += lap.hundredths;
        // A replay frame is 5 steps: a crossing is seen up to a frame late.
        EXPECT_LE(sum, first.lastCrossing + 5);
        EXPECT_GE(sum, first.lastCrossing - 300);
        ASSERT_GE(a.laps.fastest, 0);
        EXPECT_LE(a.laps.laps[size_t(a.laps.fastest)].hundredths, first.bestLap + 5);
    }
};

fs::path GameWrittenSaves::root;
SimulatedRace GameWrittenSaves::six, GameWrittenSaves::trial, GameWrittenSaves::halfway;

TEST_F(GameWrittenSaves, ASixCarRaceShowsEveryCarAsTmsimReportsIt)
{
    ASSERT_TRUE(six.ok);
    expectCarsAsReported(six);
    expectLapsOfTheFirstCar(six);
    double mean = 0;
    ASSERT_TRUE(averageAiSkill(six.analysis.game, mean));
    double sum = 0;
    for (const auto& c : six.report["cars"]) sum += int(c["skill"]);
    EXPECT_DOUBLE_EQ(mean, sum / 6);
    EXPECT_NE(reportText(six.analysis).find(",AI "), std::string::npos);
}

TEST_F(GameWrittenSaves, ATimeTrialHasOneRowAndItsReplayBehindTheGhost)
{
    ASSERT_TRUE(trial.ok);
    expectCarsAsReported(trial);
    expectLapsOfTheFirstCar(trial);
    EXPECT_EQ(carTableLines(trial.analysis).size(), 2u);
}

TEST_F(GameWrittenSaves, AGameSavedHalfwayHasTheLapsDrivenSoFar)
{
    ASSERT_TRUE(halfway.ok);
    const SavedGameInfo& g = halfway.analysis.game;
    EXPECT_EQ(g.raceClock, 7000);  // saved at 70 s
    expectLapsOfTheFirstCar(halfway);
    // While racing, the game keeps the lap just driven: the path's last lap is the same lap,
    // its two ends each found between two frames of five steps.
    EXPECT_NEAR(halfway.analysis.laps.laps.back().hundredths, g.cars[0].lastLap, 10);
    EXPECT_LT(g.cars[0].laps, 5);
}
