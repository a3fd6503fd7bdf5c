// Names found in any letter case, of the kind asked for, the same pick every run.
#include "folder_entries.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace fs = std::filesystem;

class Entries : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/toolcommon_XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
    }
    void TearDown() override { fs::remove_all(dir); }
    void put(const std::string& name)
    {
        fs::create_directories(fs::path(dir + "/" + name).parent_path());
        std::ofstream(dir + "/" + name) << "x";
    }
    std::string dir;
};

TEST_F(Entries, AnyLetterCaseOfTheKindAskedFor)
{
    put("Tracks/rally/forest.trk");
    put("tm.ini");
    EXPECT_EQ(findEntry(dir, "tracks", EntryKind::Folder), dir + "/Tracks");
    EXPECT_EQ(findEntry(dir, "TRACKS", EntryKind::Any), dir + "/Tracks");
    EXPECT_EQ(findEntry(dir, "Tracks", EntryKind::File), "");
    EXPECT_EQ(findEntry(dir, "TM.INI", EntryKind::File), dir + "/tm.ini");
    EXPECT_EQ(findEntry(dir, "tm.ini", EntryKind::Folder), "");
    EXPECT_EQ(findEntry(dir, "saves", EntryKind::Any), "");
    EXPECT_EQ(findEntry(dir + "/none", "x", EntryKind::Any), "");
    EXPECT_TRUE(folderEntries(dir + "/none").empty());
}

TEST_F(Entries, TheExactSpellingWinsThenTheFirstInByteOrder)
{
    put("saves/b.gam");
    put("Saves/a.gam");
    put("SAVES/c.gam");
    EXPECT_EQ(findEntry(dir, "Saves", EntryKind::Folder), dir + "/Saves");
    EXPECT_EQ(findEntry(dir, "saveS", EntryKind::Folder), dir + "/SAVES");
    std::vector<std::string> names = folderEntries(dir);
    EXPECT_EQ(names, (std::vector<std::string>{"SAVES", "Saves", "saves"}));
}

TEST_F(Entries, LinksCountByWhatTheyPointTo)
{
    put("real/font.bmp");
    ASSERT_EQ(symlink((dir + "/real").c_str(), (dir + "/Linked").c_str()), 0);
    ASSERT_EQ(symlink((dir + "/gone").c_str(), (dir + "/Font.bmp").c_str()), 0);
    put("FONT.BMP");
    EXPECT_EQ(findEntry(dir, "linked", EntryKind::Folder), dir + "/Linked");
    // A dangling link is nothing: the next spelling that exists is found.
    EXPECT_EQ(findEntry(dir, "font.bmp", EntryKind::Any), dir + "/FONT.BMP");
    EXPECT_FALSE(isKind(dir + "/Font.bmp", EntryKind::Any));
}
