#include "state/game_state.h"
#include "files/options_file.h"
#include "support/harness.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

// options.set as the defaults of a first start store it.
static std::string defaultFileBytes()
{
    std::string b(78, '\0');
    b[0] = 74;
    b[4] = 5;
    const char points[7] = {9, 6, 4, 2, 1, 0, 1};
    std::memcpy(&b[6], points, 7);
    b[13] = b[14] = b[15] = 30;
    b[16] = 50;
    b[18] = 2;
    b[19] = 2;
    b[21] = 100;
    b[22] = b[23] = 1;
    b[27] = 1;  // effects 256
    b[28] = b[29] = b[30] = 80;
    std::memcpy(&b[31], "English", 7);
    std::memcpy(&b[54], "Default", 7);
    return b;
}

static bool sameOptions(const OptionsRecord& a, const OptionsRecord& b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

TEST(OptionsFile, FirstStartUsesTheDefaultsAndSavesThem78BytesWithZeroPads)
{
    TempGameFolder dir;
    std::memset(&game.options, 0x55, sizeof game.options);
    loadOptions();
    OptionsRecord defaults;
    setDefaultOptions(defaults);
    EXPECT_TRUE(sameOptions(game.options, defaults));
    EXPECT_EQ(game.screenWidth, 640);
    EXPECT_EQ(game.screenHeight, 480);
    ASSERT_TRUE(saveOptions());
    EXPECT_EQ(dir.read("options.set"), defaultFileBytes());
    // The replacement leaves nothing else behind.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.root()), {}), 1);
}

TEST(OptionsFile, EveryFieldComesBackFromItsOffset)
{
    TempGameFolder dir;
    std::string b = defaultFileBytes();
    b[4] = 0x2c;  // raceLength 300 keeps both bytes
    b[5] = 0x01;
    b[12] = 7;
    b[17] = 1;
    b[19] = 7;
    b[21] = 50;  // stepRate is never taken from the file
    b[25] = 1;
    b[26] = 0x80;
    b[27] = 0;
    b[30] = 12;
    std::memset(&b[31], 'x', 22);
    b[53] = 'y';  // pads are skipped
    std::memset(&b[54], 0, 22);
    std::memcpy(&b[54], "Loud", 4);
    dir.write("options.set", b);
    loadOptions();
    EXPECT_EQ(game.options.raceLength, 300);
    EXPECT_EQ(game.options.points[6], 7);
    EXPECT_EQ(game.options.distanceUnit, 1);
    EXPECT_EQ(game.options.resolution, 7);
    EXPECT_EQ(game.options.stepRate, 100);
    EXPECT_EQ(game.options.windowedMode, 1);
    EXPECT_EQ(game.options.effects, 128);
    EXPECT_EQ(game.options.effectsVolume, 12);
    EXPECT_EQ(std::string(game.options.language), std::string(22, 'x'));
    EXPECT_EQ(std::string(game.options.soundSet), "Loud");
    EXPECT_EQ(game.screenWidth, 1280);
    EXPECT_EQ(game.screenHeight, 720);
    ASSERT_TRUE(saveOptions());
    b[21] = 100;
    b[53] = 0;
    EXPECT_EQ(dir.read("options.set"), b);
}

TEST(OptionsFile, AForeignVersionGivesExactlyTheDefaults)
{
    TempGameFolder dir;
    std::string b(78, '\x33');
    b[0] = 75;
    b[1] = b[2] = b[3] = 0;
    dir.write("options.set", b);
    loadOptions();
    OptionsRecord defaults;
    setDefaultOptions(defaults);
    EXPECT_TRUE(sameOptions(game.options, defaults));
    dir.write("options.set", std::string("\x4a\x00", 2));  // too short for a version at all
    loadOptions();
    EXPECT_TRUE(sameOptions(game.options, defaults));
}

TEST(OptionsFile, AShortFileOfTheRightVersionKeepsDefaultsForWhatItLacks)
{
    TempGameFolder dir;
    std::string b = defaultFileBytes();
    b[13] = 99;
    b[31] = 'D';
    dir.write("options.set", b.substr(0, 40));  // ends inside the language name
    loadOptions();
    EXPECT_EQ(game.options.tyreWear, 99);
    EXPECT_EQ(game.options.effectsVolume, 80);
    EXPECT_STREQ(game.options.language, "English");
    EXPECT_STREQ(game.options.soundSet, "Default");
}

TEST(OptionsFile, ALanguageNameOf23CharactersIsSavedAsItsFirst22)
{
    TempGameFolder dir;
    setDefaultOptions(game.options);
    std::memcpy(game.options.language, "ABCDEFGHIJKLMNOPQRSTUVW", 23);  // fills the buffer, no NUL
    ASSERT_TRUE(saveOptions());
    std::string b = dir.read("options.set");
    ASSERT_EQ(b.size(), 78u);
    EXPECT_EQ(b.substr(31, 22), "ABCDEFGHIJKLMNOPQRSTUV");
    EXPECT_EQ(b[53], 0);
    loadOptions();
    EXPECT_STREQ(game.options.language, "ABCDEFGHIJKLMNOPQRSTUV");
}

TEST(OptionsFile, ANameThatWouldLeaveItsFolderCountsAsMissing)
{
    TempGameFolder dir;
    std::string b = defaultFileBytes();
    std::memcpy(&b[31], "../../evil\0", 11);
    std::memcpy(&b[54], "..\\x\0", 5);
    dir.write("options.set", b);
    loadOptions();
    EXPECT_STREQ(game.options.language, "English");
    EXPECT_STREQ(game.options.soundSet, "Default");
    std::memcpy(&b[31], "Suomi\0", 6);
    std::memcpy(&b[54], "Quiet\0", 6);
    dir.write("options.set", b);
    loadOptions();
    EXPECT_STREQ(game.options.language, "Suomi");
    EXPECT_STREQ(game.options.soundSet, "Quiet");
}

TEST(OptionsFile, AResolutionPastTheTableStartsIn640x480AndKeepsItsIndex)
{
    TempGameFolder dir;
    std::string b = defaultFileBytes();
    b[19] = 30;
    dir.write("options.set", b);
    loadOptions();
    EXPECT_EQ(game.options.resolution, 30);
    EXPECT_EQ(game.screenWidth, 640);
    EXPECT_EQ(game.screenHeight, 480);
}

TEST(ResolutionTable, NamesSayTheSizeOfTheirRow)
{
    EXPECT_EQ(resolutionTable[0].width, 320);
    EXPECT_EQ(resolutionTable[11].width, 1360);
    EXPECT_EQ(resolutionTable[22].height, 1920);
    for (const Resolution& r : resolutionTable)
        EXPECT_EQ(std::string(r.name), std::to_string(r.width) + "x" + std::to_string(r.height));
    for (int i = 1; i < resolutionCount; ++i)
        EXPECT_LE(resolutionTable[i - 1].width, resolutionTable[i].width);
}
