// The analyser program without a window: what scripts see of it.
#include "composed_files.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/wait.h>

namespace fs = std::filesystem;

struct Outcome {
    int status = -1;
    std::string out, err;
};

static std::string slurp(const fs::path& p)
{
    std::ifstream f(p, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

struct AnalyserProgram : testing::Test {
    fs::path root;
    void SetUp() override
    {
        char pattern[] = "/tmp/analyserCliXXXXXX";
        root = mkdtemp(pattern);
        fs::create_directories(root / "tracks");
        write(root / "tracks" / "oval.trk", composeTrack(ComposedTrack()));
        ComposedGame g;
        g.cars = {ComposedCar(), ComposedCar()};
        g.cars[0].name = "Anna";
        g.cars[0].human = true;
        g.cars[1].name = "Bert";
        g.frames = squareLaps(ComposedTrack(), 2, 200, 5);
        write(root / "race.gam", composeSavedGame(g));
        std::ofstream(root / "junk.gam") << "junk";
    }
    void TearDown() override { fs::remove_all(root); }
    static void write(const fs::path& p, const std::vector<uint8_t>& b)
    {
        std::ofstream(p, std::ios::binary).write(reinterpret_cast<const char*>(b.data()), long(b.size()));
    }
    Outcome run(const std::string& arguments)
    {
        std::string command = std::string("'") + TM_ANALYSER_PROGRAM + "' --game '" + root.string() + "' " + arguments +
                              " >'" + (root / "out").string() + "' 2>'" + (root / "err").string() + "'";
        Outcome r;
        int raw = std::system(command.c_str());
        r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        r.out = slurp(root / "out");
        r.err = slurp(root / "err");
        return r;
    }
    std::string at(const char* name) { return "'" + (root / name).string() + "'"; }
};

TEST_F(AnalyserProgram, TextJsonAndJpegOfASavedGame)
{
    Outcome r = run("--text " + at("race.gam"));
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("Anna,human"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("Laps:  1: 10.00  2: 10.00"), std::string::npos) << r.out;

    r = run("--json " + at("race.gam"));
    ASSERT_EQ(r.status, 0) << r.err;
    nlohmann::json j = nlohmann::json::parse(r.out);
    EXPECT_EQ(j["cars"].size(), 2u);
    EXPECT_EQ(j["cars"][1]["name"], "Bert");
    EXPECT_EQ(j["lapTimes"], nlohmann::json::parse("[1000, 1000]"));
    EXPECT_EQ(j["trackFile"], (root / "tracks" / "oval.trk").string());

    r = run("--jpeg " + at("race.gam") + " " + at("map.jpg"));
    ASSERT_EQ(r.status, 0) << r.err;
    std::string jpeg = slurp(root / "map.jpg");
    ASSERT_GT(jpeg.size(), 4u);
    EXPECT_EQ(jpeg.substr(0, 2), "\xFF\xD8");
    EXPECT_EQ(jpeg.substr(jpeg.size() - 2), "\xFF\xD9");
}

// An unpacked competition entry: the saved game and its track in one folder, the track in no
// game folder.
TEST_F(AnalyserProgram, AnUnpackedEntryIsAnalysedOnTheTrackBesideIt)
{
    ComposedGame g;
    g.tracks = {"\\gp"};
    g.frames = squareLaps(ComposedTrack(), 2, 200, 5);
    fs::create_directories(root / "entry");
    write(root / "entry" / "race.gam", composeSavedGame(g));
    write(root / "entry" / "gp.trk", composeTrack(ComposedTrack()));
    Outcome r = run("--json " + at("entry/race.gam"));
    ASSERT_EQ(r.status, 0) << r.err;
    nlohmann::json j = nlohmann::json::parse(r.out);
    EXPECT_EQ(j["trackFile"], (root / "entry" / "gp.trk").string());
    EXPECT_EQ(j["lapTimes"], nlohmann::json::parse("[1000, 1000]"));
}

TEST_F(AnalyserProgram, BadFilesAndBadArgumentsGiveOneLineAndAStatus)
{
    for (const std::string& args : {"--text " + at("junk.gam"), "--json " + at("nowhere.gam"),
                                    "--jpeg " + at("junk.gam") + " " + at("map.jpg")}) {
        Outcome r = run(args);
        EXPECT_EQ(r.status, 1) << args;
        EXPECT_EQ(r.err.find("tmanalyser: "), 0u) << r.err;
        EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;
        EXPECT_EQ(r.out, "");
    }
    EXPECT_FALSE(fs::exists(root / "map.jpg"));
    Outcome r = run("--jpeg " + at("race.gam") + " " + at("no/such/map.jpg"));
    EXPECT_EQ(r.status, 1);
    for (const char* args : {"--bogus", "--text", "--jpeg x.gam", "--text a.gam b.gam", "--jpeg x.gam y.gam"}) {
        r = run(args);
        EXPECT_EQ(r.status, 2) << args;
        EXPECT_EQ(r.err.find("tmanalyser: "), 0u) << r.err;
    }
    r = run("--help");
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("--jpeg"), std::string::npos);
}
