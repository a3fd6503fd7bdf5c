#include "shell/command_line.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

bool parse(std::vector<const char*> args, CommandLine& out, std::string& why)
{
    args.insert(args.begin(), "tarmacade");
    return parseCommandLine(int(args.size()), const_cast<char**>(args.data()), out, why);
}

TEST(CommandLine, ARaceWithItsLapsAndComputers)
{
    CommandLine c;
    std::string why;
    ASSERT_TRUE(parse({"--race", "rally\\forest", "--laps", "3", "--computers", "0"}, c, why)) << why;
    EXPECT_TRUE(c.race);
    EXPECT_EQ(c.track, "rally\\forest");
    EXPECT_EQ(c.laps, 3);
    EXPECT_EQ(c.computers, 0);
    CommandLine plain;
    ASSERT_TRUE(parse({}, plain, why));
    EXPECT_FALSE(plain.race);
    ASSERT_TRUE(parse({"--race", "gp"}, plain, why));
    EXPECT_EQ(plain.computers, 5);
    EXPECT_EQ(plain.laps, 0);
    EXPECT_FALSE(plain.quitAfterMenu);
    CommandLine timing;
    ASSERT_TRUE(parse({"--quit-after-menu"}, timing, why));
    EXPECT_TRUE(timing.quitAfterMenu);
    EXPECT_FALSE(timing.race);
}

TEST(CommandLine, ASavedGameByItsName)
{
    CommandLine c;
    std::string why;
    ASSERT_TRUE(parse({"--load", "Autosave"}, c, why)) << why;
    EXPECT_TRUE(c.load);
    EXPECT_FALSE(c.race);
    EXPECT_EQ(c.saveName, "Autosave");
}

TEST(CommandLine, BadNumbersAndOptionsAreRefusedWithAReason)
{
    const std::vector<std::vector<const char*>> bad = {
        {"--race"},          {"--race", "gp", "--laps", "0"},        {"--race", "gp", "--laps", "101"},
        {"--race", "gp", "--laps", "2x"}, {"--race", "gp", "--computers", "6"}, {"--race", "gp", "--computers", "-1"},
        {"--laps", "3"},     {"--fast"},                             {"gp"},
        {"--race", ""},      {"--race", "gp", "--laps", ""},
        {"--load"},          {"--load", ""},                         {"--load", "a", "--race", "gp"},
    };
    for (const auto& args : bad) {
        CommandLine c;
        std::string why;
        EXPECT_FALSE(parse(args, c, why)) << args.size();
        EXPECT_FALSE(why.empty());
        EXPECT_EQ(why.find('\n'), std::string::npos);
    }
}

}  // namespace
