// hueswap's core against temporary game folders.
#include "hueswap_core.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;

class GameFolder : public ::testing::Test {
protected:
    std::string dir;

    void SetUp() override
    {
        std::string tmpl = (fs::temp_directory_path() / "hueswap_test_XXXXXX").string();
        ASSERT_NE(mkdtemp(tmpl.data()), nullptr);
        dir = tmpl;
    }
    void TearDown() override { fs::remove_all(dir); }

    void put(const std::string& rel, const std::string& bytes)
    {
        fs::create_directories(fs::path(dir + "/" + rel).parent_path());
        std::ofstream(dir + "/" + rel, std::ios::binary) << bytes;
    }
    std::string get(const std::string& rel)
    {
        std::ifstream in(dir + "/" + rel, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
};

static const std::string iniHead =
    "; Tarmacade settings. PaletteFile = the palette; see below\r\n"
    "[Replay]\r\n"
    "FrameStep = 5\r\n"
    "\r\n"
    "[Misc]\r\n"
    "ScreenshotWidth = 320\r\n";
static const std::string iniTail =
    "ScreenshotHeight = 240 ; pixels\r\n"
    "\r\n"
    "[Viewport]\r\n"
    "Zoom = 0\r\n";

TEST_F(GameFolder, ChosenPaletteReplacesOnlyTheValueLine)
{
    put("tm.ini", iniHead + "PaletteFile = tm.pal\r\n" + iniTail);
    put("palettes/dusk.pal", "x");
    std::vector<std::string> list = listPalettes(dir);
    ASSERT_EQ(list, std::vector<std::string>{"dusk.pal"});

    EXPECT_EQ(changePalette(dir, list, 0), WriteResult::Changed);
    EXPECT_EQ(get("tm.ini"), iniHead + "PaletteFile = Palettes\\dusk.pal\r\n" + iniTail);

    EXPECT_EQ(writePaletteValue(dir, defaultPaletteValue), WriteResult::Changed);
    EXPECT_EQ(get("tm.ini"), iniHead + "PaletteFile = tm.pal\r\n" + iniTail);
}

TEST_F(GameFolder, NoSelectionAsksForOneAndLeavesTmIni)
{
    put("tm.ini", iniHead);
    put("palettes/dusk.pal", "x");
    std::vector<std::string> list = listPalettes(dir);
    EXPECT_EQ(changePalette(dir, list, -1), WriteResult::NoSelection);
    EXPECT_EQ(changePalette(dir, list, 1), WriteResult::NoSelection);
    EXPECT_STREQ(outcomeMessage(WriteResult::NoSelection).text, "Select a palette first!");
    EXPECT_STREQ(outcomeMessage(WriteResult::NoSelection).title, "Error!");
    EXPECT_EQ(get("tm.ini"), iniHead);
}

TEST_F(GameFolder, MissingTmIniIsReportedAndNothingIsCreated)
{
    put("palettes/dusk.pal", "x");
    EXPECT_EQ(changePalette(dir, listPalettes(dir), 0), WriteResult::IniMissing);
    EXPECT_EQ(writePaletteValue(dir, defaultPaletteValue), WriteResult::IniMissing);
    EXPECT_FALSE(fs::exists(dir + "/tm.ini"));
    EXPECT_STREQ(outcomeMessage(WriteResult::IniMissing).title, "Error! TM.INI not found!");
    EXPECT_STREQ(outcomeMessage(WriteResult::IniMissing).text,
                 "Make sure you are running Hueswap from the main Tarmacade directory");
}

TEST_F(GameFolder, TmIniInOtherLetterCaseIsRewrittenUnderItsOwnName)
{
    put("TM.INI", "[Misc]\r\nPaletteFile = tm.pal\r\n");
    EXPECT_EQ(writePaletteValue(dir, paletteValue("a.pal")), WriteResult::Changed);
    EXPECT_EQ(get("TM.INI"), "[Misc]\r\nPaletteFile = Palettes\\a.pal\r\n");
    EXPECT_FALSE(fs::exists(dir + "/tm.ini"));
}

TEST_F(GameFolder, RewriteKeepsModeAndLeavesNoTemporaryFile)
{
    put("tm.ini", "[Misc]\r\nPaletteFile = tm.pal\r\n");
    chmod((dir + "/tm.ini").c_str(), 0640);
    ASSERT_EQ(writePaletteValue(dir, paletteValue("a.pal")), WriteResult::Changed);
    struct stat st;
    ASSERT_EQ(stat((dir + "/tm.ini").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    int entries = 0;
    for (auto& e : fs::directory_iterator(dir)) {
        (void)e;
        entries++;
    }
    EXPECT_EQ(entries, 1);
}

TEST_F(GameFolder, UnwritableFolderFailsAndKeepsTmIni)
{
    if (geteuid() == 0) {
        GTEST_SKIP() << "root writes into read-only folders";
    }
    put("tm.ini", "[Misc]\r\nPaletteFile = tm.pal\r\n");
    chmod(dir.c_str(), 0555);
    EXPECT_EQ(writePaletteValue(dir, paletteValue("a.pal")), WriteResult::WriteFailed);
    chmod(dir.c_str(), 0755);
    EXPECT_EQ(get("tm.ini"), "[Misc]\r\nPaletteFile = tm.pal\r\n");
}

// Only the key the game reads is changed: the first PaletteFile line of [Misc].
TEST(PaletteText, TheKeyTheGameReadsIsTheOneChanged)
{
    const std::string v = "Palettes\\a.pal";
    // The word in a comment, inside another key and in another section is left alone.
    EXPECT_EQ(setPaletteInText("; PaletteFile names the palette\r\n[Graphics]\r\nPaletteFile = x.pal\r\n"
                               "[Misc]\r\nMyPaletteFile = 1\r\nPaletteFileX = 2\r\n"
                               "PaletteFile = tm.pal\r\nScreenshotWidth = 320\r\n",
                               v),
              "; PaletteFile names the palette\r\n[Graphics]\r\nPaletteFile = x.pal\r\n"
              "[Misc]\r\nMyPaletteFile = 1\r\nPaletteFileX = 2\r\n"
              "PaletteFile = Palettes\\a.pal\r\nScreenshotWidth = 320\r\n");
    // Names in any case, no blanks, tabs, indented lines and a repeated [Misc]: the first wins.
    EXPECT_EQ(setPaletteInText("[misc]\r\n  palettefile=old.pal\r\n[MISC]\r\nPaletteFile = b.pal\r\n", v),
              "[misc]\r\n  palettefile= Palettes\\a.pal\r\n[MISC]\r\nPaletteFile = b.pal\r\n");
    EXPECT_EQ(setPaletteInText("[Misc]\r\n\tPaletteFile\t=\told.pal ; comment\r\n", v),
              "[Misc]\r\n\tPaletteFile\t= Palettes\\a.pal\r\n");
    // A commented-out key does not count.
    EXPECT_EQ(setPaletteInText("[Misc]\r\n;PaletteFile = old.pal\r\n", v),
              "[Misc]\r\nPaletteFile = Palettes\\a.pal\r\n;PaletteFile = old.pal\r\n");
}

TEST(PaletteText, OtherLineEndsStayAndTheNewLineEndsInCrLf)
{
    const std::string v = "tm.pal";
    EXPECT_EQ(setPaletteInText("[Misc]\nPaletteFile = x.pal\nZoom = 1\n", v),
              "[Misc]\nPaletteFile = tm.pal\r\nZoom = 1\n");
    EXPECT_EQ(setPaletteInText("[Misc]\rPaletteFile = x.pal\rZoom = 1\r", v),
              "[Misc]\rPaletteFile = tm.pal\r\nZoom = 1\r");
    EXPECT_EQ(setPaletteInText("[Misc]\r\nPaletteFile = x.pal", v), "[Misc]\r\nPaletteFile = tm.pal\r\n");
}

TEST(PaletteText, MissingKeyIsAddedToMisc)
{
    const std::string v = "Palettes\\a.pal";
    EXPECT_EQ(setPaletteInText("[Replay]\r\nLength = 10\r\n[Misc]\r\nZoom = 0\r\n", v),
              "[Replay]\r\nLength = 10\r\n[Misc]\r\nPaletteFile = Palettes\\a.pal\r\nZoom = 0\r\n");
    EXPECT_EQ(setPaletteInText("[Misc]", v), "[Misc]\r\nPaletteFile = Palettes\\a.pal\r\n");
    // No [Misc]: the section goes at the end, after a line end the last line lacked.
    EXPECT_EQ(setPaletteInText("[Replay]\r\nLength = 10", v),
              "[Replay]\r\nLength = 10\r\n[Misc]\r\nPaletteFile = Palettes\\a.pal\r\n");
    EXPECT_EQ(setPaletteInText("", v), "[Misc]\r\nPaletteFile = Palettes\\a.pal\r\n");
}

TEST_F(GameFolder, EmptyOrMissingPalettesFolderListsNothing)
{
    EXPECT_TRUE(listPalettes(dir).empty());
    fs::create_directories(dir + "/palettes");
    EXPECT_TRUE(listPalettes(dir).empty());
    put("palettes/readme.txt", "x");
    EXPECT_TRUE(listPalettes(dir).empty());
}

TEST_F(GameFolder, ListingMatchesFolderAndExtensionInAnyCase)
{
    put("PALETTES/night.PAL", "x");
    put("PALETTES/dawn.pal", "x");
    put("PALETTES/Mist.pal", "x");
    put("PALETTES/notes.txt", "x");
    put("PALETTES/a.pal.bak", "x");
    fs::create_directories(dir + "/PALETTES/folder.pal");
    // Names the game would read back as another file are left out.
    put("PALETTES/semi;colon.pal", "x");
    put("PALETTES/back\\slash.pal", "x");
    put("PALETTES/new\nline.pal", "x");
    EXPECT_EQ(listPalettes(dir), (std::vector<std::string>{"dawn.pal", "Mist.pal", "night.PAL"}));
}

TEST(PaletteNames, TypedNameFindsTheListedOne)
{
    std::vector<std::string> list = {"Dusk.pal", "dusk.PAL", "night.pal"};
    EXPECT_EQ(findPalette(list, "dusk.PAL"), "dusk.PAL");
    EXPECT_EQ(findPalette(list, "NIGHT.PAL"), "night.pal");
    EXPECT_EQ(findPalette(list, "DUSK.pal"), "");  // two could be meant
    EXPECT_EQ(findPalette(list, "dawn.pal"), "");
    EXPECT_EQ(paletteValue("night.pal"), "Palettes\\night.pal");
}

TEST_F(GameFolder, GameStartsDetachedInItsFolderAndMissingProgramFails)
{
    put("game/tarmacade", "#!/bin/sh\necho \"$(pwd) $PPID\" > started.txt\n");
    chmod((dir + "/game/tarmacade").c_str(), 0755);
    std::string reason;
    ASSERT_TRUE(startDetached(dir + "/game/tarmacade", reason)) << reason;
    for (int i = 0; i < 200 && get("game/started.txt").empty(); i++) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    std::istringstream line(get("game/started.txt"));
    std::string cwd;
    long parent = 0;
    line >> cwd >> parent;
    EXPECT_EQ(fs::canonical(cwd), fs::canonical(dir + "/game"));
    EXPECT_NE(parent, long(getpid()));  // not our child: it outlives us

    EXPECT_FALSE(startDetached(dir + "/game/missing", reason));
    EXPECT_FALSE(reason.empty());
}
