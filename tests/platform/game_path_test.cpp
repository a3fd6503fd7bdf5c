#include "platform/folder_entries.h"
#include "platform/game_path.h"
#include "platform/name_compare.h"
#include "support/harness.h"

#include <gtest/gtest.h>

TEST(GamePath, BackslashesAndCaseResolveComponentByComponent)
{
    TempGameFolder dir;
    dir.write("saves/x.gam", "abc");
    dir.write("Tracks/Rally/Forest.trk", "trk");
    EXPECT_EQ(hostPath("Saves\\x.gam"), "saves/x.gam");
    EXPECT_EQ(hostPath("SAVES\\X.GAM"), "saves/x.gam");
    EXPECT_EQ(hostPath("tracks\\rally\\forest.trk"), "Tracks/Rally/Forest.trk");
    std::FILE* f = openGameFile("TRACKS\\RALLY\\FOREST.TRK", "rb");
    ASSERT_NE(f, nullptr);
    std::fclose(f);
    EXPECT_EQ(gameFileSize("saves\\X.gam"), 3);
    EXPECT_EQ(gameFileSize("saves\\none.gam"), -1);
}

TEST(GamePath, CreatedFilesKeepTheirExactNameUnderAResolvedFolder)
{
    TempGameFolder dir;
    dir.makeFolder("saves");
    std::FILE* f = openGameFile("SAVES\\NewGame.gam", "wb");
    ASSERT_NE(f, nullptr);
    std::fclose(f);
    EXPECT_TRUE(dir.exists("saves/NewGame.gam"));
    EXPECT_TRUE(makeGameFolder("Tracks"));
    EXPECT_TRUE(makeGameFolder("tracks"));  // exists already under another case: still true
    EXPECT_TRUE(isGameFolder("TRACKS"));
    EXPECT_FALSE(isGameFolder("saves\\NewGame.gam"));
    EXPECT_TRUE(removeGameFile("saves\\newgame.gam"));
    EXPECT_FALSE(gameFileExists("saves\\NewGame.gam"));
}

TEST(GamePath, MissingComponentsAndDotsPassThrough)
{
    TempGameFolder dir;
    EXPECT_EQ(hostPath("nowhere\\deeper\\file.txt"), "nowhere/deeper/file.txt");
    EXPECT_EQ(hostPath(""), ".");
    EXPECT_EQ(hostPath(".\\palettes\\a.pal"), "./palettes/a.pal");
    EXPECT_EQ(hostPath("/abs\\x"), "/abs/x");
}

TEST(ShortNames, OverLongNamesGetStableAliasesThatOpenTheSameFile)
{
    TempGameFolder dir;
    dir.write("tracks/longtrackname1.trk", "one");
    dir.write("tracks/longtrackname2.trk", "two");
    dir.write("tracks/short.trk", "s");
    std::vector<FolderEntry> entries = listGameFolder("tracks\\*.trk");
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].name, "longtrackname1.trk");
    EXPECT_EQ(entries[0].shortName, "LONGTR~1.TRK");
    EXPECT_EQ(entries[1].shortName, "LONGTR~2.TRK");
    EXPECT_EQ(entries[2].shortName, "");
    std::FILE* f = openGameFile("tracks\\longtr~2.trk", "rb");
    ASSERT_NE(f, nullptr);
    char buffer[4] = {};
    EXPECT_EQ(std::fread(buffer, 1, 3, f), 3u);
    std::fclose(f);
    EXPECT_STREQ(buffer, "two");
    // The same listing again gives the same aliases.
    EXPECT_EQ(listGameFolder("tracks\\*.trk")[1].shortName, "LONGTR~2.TRK");
}

TEST(ShortNames, AliasesSkipNamesThatAlreadyExistAndDropOddCharacters)
{
    TempGameFolder dir;
    dir.write("x/LONGNA~1.TEX", "");
    dir.write("x/long name.text", "");
    dir.write("x/a+b=c;d.dat", "");
    auto entries = listHostFolder(dir.path("x").string());
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].shortName, "");           // LONGNA~1.TEX fits already
    EXPECT_EQ(entries[1].shortName, "A_B_C_~1.DAT");
    EXPECT_EQ(entries[2].shortName, "LONGNA~2.TEX");
    EXPECT_TRUE(fitsShortForm("GENERAL.CAR"));
    EXPECT_FALSE(fitsShortForm("nine_char.car"));
    EXPECT_FALSE(fitsShortForm("a.b.c"));
    EXPECT_FALSE(fitsShortForm("has space"));
}

TEST(FolderListing, PatternsKindsAndMissingFolders)
{
    TempGameFolder dir;
    dir.write("lang/Nederlands.LNG", "");
    dir.write("lang/Suomi.lng", "");
    dir.write("lang/readme.txt", "");
    dir.makeFolder("lang/old");
    auto lng = listGameFolder("LANG\\*.lng");
    ASSERT_EQ(lng.size(), 2u);
    EXPECT_EQ(lng[0].name, "Nederlands.LNG");
    EXPECT_EQ(listGameFolder("lang\\*").size(), 4u);
    bool sawFolder = false;
    for (auto& e : listGameFolder("lang\\*"))
        if (e.name == "old") sawFolder = e.isFolder;
    EXPECT_TRUE(sawFolder);
    EXPECT_TRUE(listGameFolder("nothing\\*.lng").empty());
    EXPECT_TRUE(wildcardMatch("*.trk", "A.TRK"));
    EXPECT_TRUE(wildcardMatch("shot????.bmp", "SHOT0001.BMP"));
    EXPECT_FALSE(wildcardMatch("*.trk", "a.trkx"));
    EXPECT_FALSE(wildcardMatch("a?", "a"));
}

TEST(NameCompare, IgnoresCaseAndOrdersLikeADictionary)
{
    EXPECT_LT(compareNamesNoCase("alpha", "Beta"), 0);
    EXPECT_GT(compareNamesNoCase("Beta", "alpha"), 0);
    EXPECT_EQ(compareNamesNoCase("Forest", "fOREST"), 0);
    EXPECT_TRUE(equalNoCase("PaletteFile", "palettefile"));
    EXPECT_FALSE(equalNoCase("a", "ab"));
}
