#include "race_sim.h"

#include "support/harness.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <vector>

#include <sys/wait.h>

namespace {

int tmsim(std::vector<const char*> args, std::string& out, std::string& err)
{
    args.insert(args.begin(), "tmsim");
    return tmsimMain(int(args.size()), const_cast<char**>(args.data()), out, err);
}

std::string sampleTrack(const char* name)
{
    return (buildFolder() / "tarmacade" / "tracks" / name).string();
}

TEST(Tmsim, BadArgumentsAndTracksThatDoNotLoadExitTwo)
{
    TempGameFolder folder;
    // A track from a newer game than this one.
    folder.write("tracks/junk.trk", std::vector<uint8_t>{0x00, 0x02, 0x54, 0x4D, 0, 0, 0, 0});
    folder.write("tracks/notrack.txt", std::string("x"));
    std::string gp = sampleTrack("gp.trk");
    std::string junk = folder.path("tracks/junk.trk").string(), txt = folder.path("tracks/notrack.txt").string();
    const std::vector<std::vector<const char*>> bad = {
        {},
        {gp.c_str(), "--cars", "0"},
        {gp.c_str(), "--cars", "7"},
        {gp.c_str(), "--laps", "0"},
        {gp.c_str(), "--skill", "0"},
        {gp.c_str(), "--skill", "90,,100"},
        {gp.c_str(), "--skill", "90,100", "--cars", "3"},
        {gp.c_str(), "--seed", "-1"},
        {gp.c_str(), "--seed"},
        {gp.c_str(), "--wings"},
        {gp.c_str(), "--trace", "7"},
        {gp.c_str(), gp.c_str()},
        {gp.c_str(), "--options", "/no/such/options.set"},
        {gp.c_str(), "--car", "no such car"},
        {gp.c_str(), "--soak", "0"},
        {gp.c_str(), "--soak", "1001"},
        {gp.c_str(), "--soak", "1", "--laps", "5"},
        {gp.c_str(), "--soak", "1", "--save", "x.gam"},
        {gp.c_str(), "--soak", "1", "--save-records"},
        {"--soak", "1", "--load", "x.gam"},
        {"/no/such/track.trk"},
        {txt.c_str()},
        {junk.c_str()},
    };
    for (const auto& args : bad) {
        std::string out, err;
        EXPECT_EQ(tmsim(args, out, err), 2) << (args.empty() ? "" : args.back());
        EXPECT_TRUE(out.empty());
        EXPECT_EQ(err.rfind("tmsim: ", 0), 0u) << err;
        EXPECT_EQ(err.find('\n'), err.size() - 1) << err;
    }
}

TEST(Tmsim, AListOfSkillsNamesTheField)
{
    SimArguments a;
    std::string why;
    std::vector<const char*> args = {"tmsim", "t.trk", "--skill", "90,100,120", "--seed", "4294967295", "--json"};
    ASSERT_TRUE(parseSimArguments(int(args.size()), const_cast<char**>(args.data()), a, why)) << why;
    EXPECT_EQ(a.cars, 3);
    EXPECT_EQ(a.skills, (std::vector<int>{90, 100, 120}));
    EXPECT_EQ(a.seed, 4294967295u);
    EXPECT_TRUE(a.json);
}

}  // namespace

namespace {

// The installed program, as a player runs it: its output and its exit status.
std::string runTmsim(const std::string& args, int& status)
{
    std::string command = (buildFolder() / "tarmacade" / "tmsim").string() + " " + args + " 2>&1";
    std::string out;
    FILE* p = popen(command.c_str(), "r");
    if (!p) return status = -1, out;
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, p)) > 0;) out.append(buffer, n);
    int raw = pclose(p);
    status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return out;
}

TEST(Tmsim, TheSameRaceTwiceGivesTheSameResultAndWritesOnlyWhenAsked)
{
    if (!std::filesystem::is_regular_file(sampleTrack("street.trk"))) GTEST_SKIP() << "no built game folder";
    TempGameFolder folder;
    std::filesystem::copy_file(sampleTrack("street.trk"), folder.path("street.trk"));
    std::string track = folder.path("street.trk").string(), before = folder.read("street.trk");
    std::string args = track + " --cars 3 --laps 2 --seed 7";
    int first = -1, second = -1;
    std::string a = runTmsim(args, first), b = runTmsim(args, second);
    EXPECT_EQ(first, 0) << a;
    EXPECT_EQ(second, 0);
    EXPECT_EQ(a, b);
    EXPECT_EQ(folder.read("street.trk"), before);
    // The held result of this race: a change here is a change in how the cars race.
    EXPECT_EQ(a.substr(a.find('\n') + 1),
              "pos car driver       skill laps  best lap  total time  pits damage   fuel  tyres  stuck  empty\n"
              "  1   3 Computer 3     100    2     21.18       42.39     0   0.0%  38.8%  57.9%      0      0\n"
              "  2   2 Computer 2     100    2     21.03       42.82     0   0.0%  37.9%  59.2%      0      0\n"
              "  3   1 Computer 1     100    2     21.62       43.27     0   0.0%  38.0%  56.3%      0      0\n"
              "fastest lap 21.03 by car 2 (Computer 2)\n"
              "laps of car 3: 21.18 21.21\n"
              "laps of car 2: 21.79 21.03\n"
              "laps of car 1: 21.62 21.65\n");

    // Asked to, it keeps the lap record in the track as a race would.
    int status = -1;
    runTmsim(args + " --save-records", status);
    EXPECT_EQ(status, 0);
    EXPECT_NE(folder.read("street.trk"), before);
}

}  // namespace
