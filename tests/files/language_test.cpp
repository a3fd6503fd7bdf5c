#include "state/game_state.h"
#include "files/language.h"
#include "shell/build_tree.h"
#include "support/harness.h"

#include "files/folder_list.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

static void expectAllEnglishBut(int except)
{
    for (int i = 0; i < uiStringCount; ++i)
        if (i != except) {
            EXPECT_EQ(game.uiStrings[i], englishStrings[i]) << "entry " << i;
        }
}

TEST(EnglishTexts, KeepTheirBlanksTheBarFormAndTheirDuplicates)
{
    EXPECT_STREQ(englishStrings[0], "Oops!");
    EXPECT_STREQ(englishStrings[14], "after race ");
    EXPECT_STREQ(englishStrings[15], " ");
    EXPECT_STREQ(englishStrings[58], "point|points");
    EXPECT_STREQ(englishStrings[96], "' already exist. Overwrite?");
    EXPECT_STREQ(englishStrings[142], "Are you sure you want to delete the folder and all its contents?");
    EXPECT_STREQ(englishStrings[147], "Select atleast one track first.");
    EXPECT_STREQ(englishStrings[162], "Fullscreen mode");
    const int pairs[][2] = {{2, 53},  {4, 54},   {9, 52},   {19, 43},  {25, 35},
                            {28, 31}, {92, 132}, {95, 98}, {116, 126}, {135, 146}};
    for (auto& p : pairs) EXPECT_STREQ(englishStrings[p[0]], englishStrings[p[1]]);
}

TEST(LoadLanguage, AMissingFileGivesEnglish)
{
    TempGameFolder dir;
    for (auto& s : game.uiStrings) s = "left over";
    EXPECT_EQ(loadLanguage("Klingon"), -1);
    expectAllEnglishBut(-1);
}

TEST(LoadLanguage, ANameThatLeavesTheLanguageFolderOpensNothing)
{
    TempGameFolder dir;
    dir.write("outside.lng", "#0017#\"Quit\"");
    dir.write("lang/x.lng", "#0017#\"Quit\"");
    EXPECT_EQ(loadLanguage("../outside"), -1);
    expectAllEnglishBut(-1);
    EXPECT_EQ(loadLanguage("..\\outside"), -1);
    EXPECT_EQ(loadLanguage("..\\lang\\x"), -1);
    expectAllEnglishBut(-1);
}

TEST(LoadLanguage, AFileWithOneEntryChangesOnlyThatOne)
{
    TempGameFolder dir;
    dir.write("lang/Short.lng", "#0017#\"Quit\"");
    for (auto& s : game.uiStrings) s = "left over";
    EXPECT_EQ(loadLanguage("Short"), 0);
    EXPECT_EQ(game.uiStrings[17], "Quit");
    expectAllEnglishBut(17);
}

TEST(LoadLanguage, TheNameFindsItsFileWithoutRegardToCase)
{
    TempGameFolder dir;
    dir.write("lang/Nederlands.LNG", "#0005#\"aan\"");
    EXPECT_EQ(loadLanguage("Nederlands"), 0);
    EXPECT_EQ(game.uiStrings[5], "aan");
}

TEST(FindTranslation, FirstTagCountsAndTextBeforeTheQuoteIsAComment)
{
    std::string file =
        "#0001# the lap word \"Runde\"\n"
        "#0001#\"second\"\n"
        "#0002#\r\n\"two\nlines\"\n"
        "#0003# no quote at all\n";
    std::string text;
    ASSERT_TRUE(findTranslation(file, 1, text));
    EXPECT_EQ(text, "Runde");
    ASSERT_TRUE(findTranslation(file, 2, text));
    EXPECT_EQ(text, "two\nlines");
    EXPECT_FALSE(findTranslation(file, 3, text));
    EXPECT_FALSE(findTranslation(file, 4, text));
    EXPECT_FALSE(findTranslation("#0001# nothing quoted", 1, text));
}

TEST(FindTranslation, AnUnclosedTextRunsToTheEndLessTheLastCharacter)
{
    std::string text;
    ASSERT_TRUE(findTranslation("#0000#\"Hoppla!\n", 0, text));
    EXPECT_EQ(text, "Hoppla!");
    ASSERT_TRUE(findTranslation("#0000#\"", 0, text));
    EXPECT_EQ(text, "");
    ASSERT_TRUE(findTranslation("#0000#\"x", 0, text));
    EXPECT_EQ(text, "");
}

TEST(LoadLanguage, LineEndsOfEitherKindReadTheSame)
{
    TempGameFolder dir;
    dir.write("lang/Crlf.lng", "#0020#\"Erst Spieler\r\nund Strecke!\"\r\n#0014#\"nach Rennen \"\r\n");
    ASSERT_EQ(loadLanguage("Crlf"), 0);
    EXPECT_EQ(game.uiStrings[20], "Erst Spieler\nund Strecke!");
    EXPECT_EQ(game.uiStrings[14], "nach Rennen ");
}

// Every shipped translation covers all entries and keeps the shapes the screens rely on.
TEST(ShippedLanguages, TranslateEveryEntryKeepingBlanksAndTheBar)
{
    std::filesystem::path build = buildTree();
    ASSERT_FALSE(build.empty()) << "no built game folder";
    TempGameFolder dir;
    std::filesystem::copy(std::filesystem::path(build) / "tarmacade" / "lang", dir.path("lang"));
    std::vector<std::string> names;
    ASSERT_GE(listFolder(names, "lang", "lng", listFiles, 22), 2);
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        std::string file = dir.read("lang/" + name + ".lng");
        for (int i = 0; i < uiStringCount; ++i) {
            std::string text, english = englishStrings[i];
            if (english.empty()) continue;  // an entry kept free has nothing to translate
            ASSERT_TRUE(findTranslation(file, i, text)) << "entry " << i;
            EXPECT_EQ(text.front() == ' ', english.front() == ' ') << "entry " << i;
            EXPECT_EQ(text.back() == ' ', english.back() == ' ') << "entry " << i;
            EXPECT_EQ(text.find('\n'), std::string::npos) << "entry " << i;
            EXPECT_EQ(text.find('%'), english.find('%')) << "entry " << i;
        }
        // The help box's key lines stand unwrapped in its 39 columns.
        for (int i = firstKeyHelpText; i < firstKeyHelpText + keyHelpTextCount; ++i) {
            std::string text;
            ASSERT_TRUE(findTranslation(file, i, text));
            EXPECT_LE(text.size(), 39u) << "entry " << i;
        }
        ASSERT_EQ(loadLanguage(name), 0);
        EXPECT_NE(game.uiStrings[58].find('|'), std::string::npos);
        EXPECT_NE(game.uiStrings[17], englishStrings[17]);
    }
}
