#include "platform/player_folder.h"

#include "support/harness.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

// An unpacked installation below a scratch folder: usr/games and its shipped content.
class Installed : public ::testing::Test {
protected:
    TempGameFolder root;
    std::string games = root.path("usr/games").string();
    std::string shipped = root.path("usr/share/games/tarmacade").string();

    void SetUp() override
    {
        root.makeFolder("usr/games");
        root.write("usr/share/games/tarmacade/tm.ini", "[Game]\n");
        root.write("usr/share/games/tarmacade/tracks/rally/forest.trk", "trk");
        root.makeFolder("usr/share/games/tarmacade/saves");
    }
};

// Sets an environment variable for one test; the old value comes back after.
class EnvValue {
public:
    EnvValue(const char* name, const char* value) : name_(name)
    {
        const char* old = std::getenv(name);
        had_ = old != nullptr;
        if (had_) old_ = old;
        if (value) setenv(name, value, 1);
        else unsetenv(name);
    }
    ~EnvValue()
    {
        if (had_) setenv(name_, old_.c_str(), 1);
        else unsetenv(name_);
    }

private:
    const char* name_;
    bool had_ = false;
    std::string old_;
};

}  // namespace

TEST_F(Installed, ShippedContentOnlyBesideAGamesFolder)
{
    root.makeFolder("opt/games");
    root.makeFolder("build/tarmacade");
    const struct {
        std::string program;
        std::string expected;
    } cases[] = {
        {games, shipped},
        {games + "/", shipped},
        {root.path("opt/games").string(), ""},          // no share/games/tarmacade beside it
        {root.path("build/tarmacade").string(), ""},    // the portable folder of make run
        {root.path("usr").string(), ""},
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(shippedContentFolder(c.program), c.expected) << c.program;
}

TEST(PlayerFolderPath, XdgDataHomeFirstThenHomeAndOnlyAbsolute)
{
    const struct {
        const char* xdg;
        const char* home;
        std::string expected;
    } cases[] = {
        {"/x/data", "/home/p", "/x/data/tarmacade"},
        {"relative/data", "/home/p", "/home/p/.local/share/tarmacade"},
        {"", "/home/p", "/home/p/.local/share/tarmacade"},
        {nullptr, "/home/p", "/home/p/.local/share/tarmacade"},
        {nullptr, "home/p", ""},
        {nullptr, nullptr, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(playerFolderPath(c.xdg, c.home), c.expected) << (c.xdg ? c.xdg : "-") << " " << (c.home ? c.home : "-");
}

TEST_F(Installed, FirstStartCopiesTheShippedContentWritableAndLeavesNothingElse)
{
    chmod(root.path("usr/share/games/tarmacade/tm.ini").c_str(), 0444);
    std::string player = root.path("home/p/.local/share/tarmacade").string();
    std::string why;
    ASSERT_TRUE(fillPlayerFolder(shipped, player, why)) << why;
    EXPECT_EQ(root.read("home/p/.local/share/tarmacade/tm.ini"), "[Game]\n");
    EXPECT_EQ(root.read("home/p/.local/share/tarmacade/tracks/rally/forest.trk"), "trk");
    EXPECT_TRUE(fs::is_directory(root.path("home/p/.local/share/tarmacade/saves")));
    struct stat st{};
    ASSERT_EQ(stat((player + "/tm.ini").c_str(), &st), 0);
    EXPECT_TRUE(st.st_mode & S_IWUSR);
    // The folders the XDG rules let us create are private.
    ASSERT_EQ(stat(root.path("home/p/.local").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    // No temporary copy is left beside it.
    int entries = 0;
    for (const auto& e : fs::directory_iterator(root.path("home/p/.local/share"))) entries += e.path() != player;
    EXPECT_EQ(entries, 0);
}

TEST_F(Installed, AnExistingPlayerFolderIsLeftAsItIs)
{
    root.write("home/p/tarmacade/tm.ini", "mine");
    std::string why;
    ASSERT_TRUE(fillPlayerFolder(shipped, root.path("home/p/tarmacade").string(), why)) << why;
    EXPECT_EQ(root.read("home/p/tarmacade/tm.ini"), "mine");
    EXPECT_FALSE(root.exists("home/p/tarmacade/tracks"));

    // A file in its place is not a folder to play in, and stays.
    root.write("home/q/tarmacade", "a file");
    EXPECT_FALSE(fillPlayerFolder(shipped, root.path("home/q/tarmacade").string(), why));
    EXPECT_NE(why.find("not a folder"), std::string::npos) << why;
    EXPECT_EQ(root.read("home/q/tarmacade"), "a file");
}

TEST_F(Installed, MissingShippedContentLeavesNoFolder)
{
    std::string why;
    EXPECT_FALSE(fillPlayerFolder(root.path("nowhere").string(), root.path("home/p/tarmacade").string(), why));
    EXPECT_FALSE(why.empty());
    EXPECT_TRUE(fs::is_empty(root.path("home/p")));
}

TEST_F(Installed, GameFolderIsTheProgramsOwnWhenPortableElseThePlayers)
{
    EnvValue xdg("XDG_DATA_HOME", root.path("data").c_str());
    std::string why;
    EXPECT_EQ(gameFolderFor(root.path("build/tarmacade").string(), why), root.path("build/tarmacade").string());
    EXPECT_FALSE(root.exists("data"));
    EXPECT_EQ(gameFolderFor(games, why), root.path("data/tarmacade").string());
    EXPECT_TRUE(why.empty()) << why;
    EXPECT_EQ(root.read("data/tarmacade/tm.ini"), "[Game]\n");

    // A tool enters the player's folder only when installed.
    std::string entered;
    fs::current_path(root.path("usr"));
    EXPECT_TRUE(enterPlayerFolder(root.path("build/tarmacade").string(), entered, why)) << why;
    EXPECT_EQ(entered, "");
    EXPECT_EQ(fs::current_path(), root.path("usr"));
    EXPECT_TRUE(enterPlayerFolder(games, entered, why)) << why;
    EXPECT_EQ(entered, root.path("data/tarmacade").string());
    EXPECT_EQ(fs::current_path(), root.path("data/tarmacade"));

    EnvValue noXdg("XDG_DATA_HOME", nullptr);
    EnvValue noHome("HOME", nullptr);
    EXPECT_EQ(gameFolderFor(games, why), "");
    EXPECT_FALSE(why.empty());
    EXPECT_FALSE(enterPlayerFolder(games, entered, why));
}
