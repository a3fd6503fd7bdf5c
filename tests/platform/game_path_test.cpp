#include "platform/folder_entries.h"
#include "platform/game_path.h"
#include "platform/name_compare.h"
#include "support/harness.h"

#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <map>
#include <set>

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

static std::string aliasOf(const std::string& pattern, const std::string& name)
{
    for (auto& e : listGameFolder(pattern))
        if (e.name == name) return e.shortName;
    return "?";
}

static std::string readGameFile(const std::string& gamePath)
{
    std::FILE* f = openGameFile(gamePath, "rb");
    if (!f) return "(none)";
    char buffer[64] = {};
    size_t n = std::fread(buffer, 1, sizeof buffer - 1, f);
    std::fclose(f);
    return std::string(buffer, n);
}

TEST(ShortNames, AnAliasStaysWithItsFileWhileOtherFilesComeAndGo)
{
    TempGameFolder dir;
    dir.write("tracks/thirteenchars_b.trk", "b");
    std::string alias = aliasOf("tracks\\*.trk", "thirteenchars_b.trk");
    EXPECT_EQ(alias.substr(0, 4), "THI~");
    EXPECT_EQ(alias.substr(8), ".TRK");
    EXPECT_TRUE(fitsShortForm(alias));
    EXPECT_EQ(readGameFile("tracks\\" + alias), "b");

    // Names of the same beginning, before and after it in every order.
    dir.write("tracks/thirteenchars_a.trk", "a");
    for (int i = 0; i < 300; ++i) dir.write("tracks/thirteenchars_" + std::to_string(i) + ".trk", "n");
    EXPECT_EQ(aliasOf("tracks\\*.trk", "thirteenchars_b.trk"), alias);
    EXPECT_EQ(readGameFile("tracks\\" + alias), "b");
    std::set<std::string> distinct;
    for (auto& e : listGameFolder("tracks\\*.trk")) distinct.insert(e.shortName);
    EXPECT_EQ(distinct.size(), 302u);
    std::filesystem::remove(dir.path("tracks/thirteenchars_a.trk"));
    EXPECT_EQ(readGameFile("tracks\\" + alias), "b");
    // Lower case and the listing of one entry read the same.
    std::string lower = alias;
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    EXPECT_EQ(readGameFile("TRACKS\\" + lower), "b");
}

TEST(ShortNames, AliasesKeepTheEightPlusThreeFormWhateverTheName)
{
    TempGameFolder dir;
    dir.write("x/long name.text", "");
    dir.write("x/a+b=c;d.dat", "");
    dir.write("x/a folder without extension", "");
    dir.write("x/.hidden_settings", "");
    dir.write("x/GENERAL.CAR", "");
    dir.write("x/\xc3\xa9t\xc3\xa9_long_name.trk", "");
    std::map<std::string, std::string> alias;
    for (auto& e : listHostFolder(dir.path("x").string())) alias[e.name] = e.shortName;
    ASSERT_EQ(alias.size(), 6u);
    EXPECT_EQ(alias["GENERAL.CAR"], "");
    EXPECT_EQ(alias["long name.text"].substr(0, 4), "LON~");
    EXPECT_EQ(alias["a+b=c;d.dat"].substr(0, 4), "A_B~");
    EXPECT_EQ(alias["a folder without extension"].size(), 8u);
    EXPECT_EQ(alias["\xc3\xa9t\xc3\xa9_long_name.trk"].substr(0, 4), "__T~");
    for (auto& [name, shortName] : alias)
        if (name != "GENERAL.CAR") {
            EXPECT_TRUE(fitsShortForm(shortName)) << shortName;
            EXPECT_EQ(shortName, aliasCandidate(name, 0));
        }
    EXPECT_TRUE(fitsShortForm("GENERAL.CAR"));
    EXPECT_FALSE(fitsShortForm("nine_char.car"));
    EXPECT_FALSE(fitsShortForm("a.b.c"));
    EXPECT_FALSE(fitsShortForm("has space"));
}

TEST(ShortNames, AClashGoesToTheNameThatSortsFirstAndARealNameAlwaysKeepsItsOwn)
{
    // Two names whose first candidates clash: some exist among a few thousand of one beginning.
    std::map<std::string, std::string> seen;
    std::string early, late;
    for (int i = 0; i < 100000 && early.empty(); ++i) {
        std::string name = "clashing_name_" + std::to_string(i) + ".trk";
        auto [at, fresh] = seen.emplace(aliasCandidate(name, 0), name);
        if (!fresh) early = std::min(at->second, name), late = std::max(at->second, name);
    }
    ASSERT_FALSE(early.empty());
    ASSERT_NE(aliasCandidate(late, 1), aliasCandidate(late, 0));
    TempGameFolder dir;
    dir.write("t/" + late, "late");
    EXPECT_EQ(aliasOf("t\\*", late), aliasCandidate(late, 0));
    dir.write("t/" + early, "early");
    dir.write("t/unrelated_long_name.trk", "");
    EXPECT_EQ(aliasOf("t\\*", early), aliasCandidate(early, 0));
    EXPECT_EQ(aliasOf("t\\*", late), aliasCandidate(late, 1));
    EXPECT_EQ(readGameFile("t\\" + aliasCandidate(early, 0)), "early");
    EXPECT_EQ(readGameFile("t\\" + aliasCandidate(late, 1)), "late");

    // A file whose own name is an alias keeps it; the long name moves on to its next candidate.
    dir.write("t/" + aliasCandidate(early, 0), "real");
    EXPECT_EQ(aliasOf("t\\*", early), aliasCandidate(early, 1));
    EXPECT_EQ(readGameFile("t\\" + aliasCandidate(early, 0)), "real");
    EXPECT_EQ(readGameFile("t\\" + aliasCandidate(early, 1)), "early");
}

TEST(OpeningFiles, ExactNamesOpenWithoutReadingTheirFolder)
{
    TempGameFolder dir;
    for (int i = 0; i < 20; ++i) dir.write("tracks/rally/stage_number_" + std::to_string(i) + ".trk", "t");
    long before = hostFolderReads();
    EXPECT_EQ(readGameFile("tracks\\rally\\stage_number_7.trk"), "t");
    EXPECT_EQ(gameFileSize("tracks\\rally\\stage_number_8.trk"), 1);
    EXPECT_EQ(hostFolderReads(), before);
    // Another letter case reads the one folder that needs it, once.
    EXPECT_EQ(readGameFile("tracks\\rally\\STAGE_NUMBER_7.TRK"), "t");
    EXPECT_EQ(hostFolderReads(), before + 1);
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
