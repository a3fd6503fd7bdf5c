#include "race_sim.h"

#include "support/harness.h"

#include <gtest/gtest.h>

#include <vector>

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
        {gp.c_str(), gp.c_str()},
        {gp.c_str(), "--options", "/no/such/options.set"},
        {gp.c_str(), "--car", "no such car"},
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
