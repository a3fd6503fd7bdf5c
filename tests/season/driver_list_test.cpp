#include "render/palette.h"
#include "season/driver_file.h"
#include "season/driver_list.h"
#include "season/race_slots.h"
#include "files/language.h"
#include "shell/game_system.h"
#include "state/game_state.h"
#include "support/harness.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <set>

namespace fs = std::filesystem;

// Every file below the folder, relative to it.
static std::set<std::string> filesBelow(const fs::path& root)
{
    std::set<std::string> out;
    for (auto& e : fs::recursive_directory_iterator(root))
        if (!e.is_directory()) out.insert(fs::relative(e.path(), root).string());
    return out;
}

class DriverList : public ::testing::Test {
protected:
    void SetUp() override
    {
        game.modelCount = 4;
        game.carCount = 0;
        freeDriverList();
    }
    void TearDown() override { freeDriverList(); }
    TempGameFolder dir;
};

TEST_F(DriverList, HostileNamesAreRefusedWithAMessageAndNoFileLeavesTheDriversFolder)
{
    // A victim beside drivers\ and one above the game folder that a path could reach.
    dir.write("victim.drv", "keep");
    dir.write("drivers/Kept.drv", std::string(96, '\0'));
    const fs::path above = dir.root().parent_path() / (dir.root().filename().string() + "-above.drv");
    struct Case {
        std::string name;
        int check;
    };
    const Case cases[] = {
        {"", driverNameEmpty},
        {"   ", driverNameEmpty},
        {"a/b", driverNameNotAllowed},
        {"a\\b", driverNameNotAllowed},
        {"..", driverNameNotAllowed},
        {"..\\victim", driverNameNotAllowed},
        {"../victim", driverNameNotAllowed},
        {".hidden", driverNameNotAllowed},
        {"tab\there", driverNameNotAllowed},
        {std::string("nul\0x", 5), driverNameNotAllowed},
        {"bell\a", driverNameNotAllowed},
        {"a:b", driverNameNotAllowed},
        {"what?", driverNameNotAllowed},
        {"CON", driverNameNotAllowed},
        {"dots.", driverNameNotAllowed},
        {"Thirteen ch13", driverNameTooLong},
        {"much too long a name", driverNameTooLong},
        {"..\\..\\" + dir.root().filename().string() + "-above", driverNameTooLong},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(createDriver(c.name, true), c.check);
        EXPECT_FALSE(driverNameMessage(c.check).empty());
        // Nothing below the list reaches the disk with such a name either.
        DriverProfile p = newDriverProfile(true);
        EXPECT_FALSE(writeDriver(c.name, &p));
        EXPECT_FALSE(deleteDriver(c.name));
        EXPECT_EQ(readDriver(c.name, &p), -1);
    }
    EXPECT_TRUE(game.driverList.empty());
    writeAllDrivers();
    EXPECT_EQ(filesBelow(dir.root()), (std::set<std::string>{"victim.drv", "drivers/Kept.drv"}));
    EXPECT_FALSE(fs::exists(above));
    EXPECT_EQ(driverNameMessageIndex(driverNameEmpty), 85);
    EXPECT_EQ(driverNameMessage(driverNameEmpty), "Driver needs a name.");
}

TEST_F(DriverList, TwelveCharactersAndLatin1LettersMakeFilesInsideDrivers)
{
    EXPECT_EQ(createDriver("Twelve chars", false), driverNameOk);
    EXPECT_EQ(createDriver("J\xf6rg \xc5gren", true), driverNameOk);  // Latin-1, as a file may hold it
    ASSERT_EQ(game.driverList.size(), 2u);
    writeAllDrivers();
    EXPECT_EQ(filesBelow(dir.root()),
              (std::set<std::string>{"drivers/Twelve chars.drv", "drivers/J\xf6rg \xc5gren.drv"}));
    freeDriverList();
    loadDriverList();
    ASSERT_EQ(game.driverList.size(), 2u);
    int jorg = findDriver("J\xf6rg \xc5gren");
    ASSERT_GE(jorg, 0);
    EXPECT_FALSE(isComputerDriver(*game.driverList[jorg].profile));
    EXPECT_TRUE(isComputerDriver(*game.driverList[findDriver("twelve CHARS")].profile));
}

TEST_F(DriverList, ANameDifferingOnlyInCaseIsTaken)
{
    ASSERT_EQ(createDriver("Mika", true), driverNameOk);
    EXPECT_EQ(createDriver("mIKA", false), driverNameTaken);
    EXPECT_EQ(driverNameMessage(driverNameTaken), "Driver already exists.");
    ASSERT_EQ(createDriver("\xc9mile", true), driverNameOk);
    EXPECT_EQ(createDriver("\xe9MILE", true), driverNameTaken);  // Latin-1 letters fold too
    // A file the list does not hold would be overwritten.
    dir.write("drivers/Zed.drv", std::string(96, '\0'));
    EXPECT_EQ(createDriver("zed", true), driverNameTaken);
    EXPECT_EQ(game.driverList.size(), 2u);
    EXPECT_EQ(game.driverList.back().name, "\xc9mile");
}

TEST_F(DriverList, StartUpListsEveryFileAndGivesAnUnreadableOneTheComputerDefaults)
{
    DriverProfile p = newDriverProfile(true);
    p.races = 12;
    ASSERT_TRUE(writeDriver("beta", &p));
    dir.write("drivers/Alpha.drv", std::string(95, '\x7f'));  // too short to be read
    dir.write("drivers/notes.txt", "not a driver");
    loadDriverList();
    ASSERT_EQ(game.driverList.size(), 2u);
    EXPECT_EQ(game.driverList[0].name, "Alpha");
    DriverProfile computer = newDriverProfile(false);
    EXPECT_EQ(std::memcmp(game.driverList[0].profile.get(), &computer, sizeof computer), 0);
    EXPECT_EQ(game.driverList[1].name, "beta");
    EXPECT_EQ(game.driverList[1].profile->races, 12u);
}

TEST_F(DriverList, SlotsFollowTheListAndCarryTheColoursIntoThePalette)
{
    for (const char* name : {"Ann", "Bo", "Cy"}) ASSERT_EQ(createDriver(name, false), driverNameOk);
    game.driverList[2].profile->colour1 = 0x1e140a;  // red 10, green 20, blue 30
    game.driverList[2].profile->colour2 = 0x0000ff;
    for (int i = 0; i < 3; ++i) assignParticipant(i, game.driverList[2 - i].profile.get());
    game.carCount = 3;
    EXPECT_STREQ(game.driverNames[0], "Cy");
    EXPECT_EQ(game.palette[carSlot(0, 2)], 0x0a141eu);  // full shade of colour 1
    EXPECT_EQ(game.palette[carSlot(0, 6)], 0xff0000u);  // full shade of colour 2

    // Deleting a participant drops it at once: the others close up, names and profiles together.
    DriverProfile* bo = game.driverList[1].profile.get();
    DriverProfile* ann = game.driverList[0].profile.get();
    writeAllDrivers();
    deleteDriverEntry(findDriver("cy"));
    EXPECT_FALSE(dir.exists("drivers/Cy.drv"));
    EXPECT_TRUE(dir.exists("drivers/Bo.drv"));
    ASSERT_EQ(game.carCount, 2);
    EXPECT_STREQ(game.driverNames[0], "Bo");
    EXPECT_EQ(game.drivers[0], bo);
    EXPECT_STREQ(game.driverNames[1], "Ann");
    EXPECT_EQ(game.drivers[1], ann);
    EXPECT_EQ(game.drivers[2], nullptr);
    EXPECT_EQ(game.driverNames[2][0], 0);
    // Bo now races as car 0 in Bo's colours.
    EXPECT_EQ(game.palette[carSlot(0, 2)], 0xffffffu);

    // A slot whose name has left the list (a saved game's driver, say) goes when slots are matched.
    std::strcpy(game.driverNames[0], "Nobody");
    matchRaceSlots();
    ASSERT_EQ(game.carCount, 1);
    EXPECT_STREQ(game.driverNames[0], "Ann");
    assignParticipant(6, ann);  // no seventh car
    assignParticipant(-1, ann);
    EXPECT_EQ(game.carCount, 1);
    EXPECT_EQ(deleteDriverQuestion("Ann"), "Really delete 'Ann'?");
}

TEST(DriverStartUp, TheGameReadsItsDriversAtStartKeepsThemOverARestartAndFreesThemAtTheEnd)
{
    TempGameFolder dir;
    dir.provideFont();
    DriverProfile p = newDriverProfile(false);
    p.colour1 = 0x00ff00;
    ASSERT_TRUE(writeDriver("Greta", &p));
    SdlSession sdl(SDL_INIT_VIDEO);
    ASSERT_TRUE(sdl.ok());
    game.screenWidth = 640;
    game.screenHeight = 480;
    game.options.windowedMode = 1;
    game.options.resolution = 2;
    ASSERT_EQ(initGameSystem(), 1);
    ASSERT_EQ(game.driverList.size(), 1u);
    EXPECT_EQ(game.driverList[0].profile->colour1, 0x00ff00u);
    assignParticipant(0, game.driverList[0].profile.get());
    game.carCount = 1;
    // A driver created but not yet written survives the restart a language change makes.
    ASSERT_EQ(createDriver("Hugo", true), driverNameOk);
    shutdownGameSystem(true);
    ASSERT_EQ(initGameSystem(), 1);
    EXPECT_EQ(game.driverList.size(), 2u);
    EXPECT_EQ(game.drivers[0], game.driverList[0].profile.get());
    shutdownGameSystem(false);
    EXPECT_TRUE(game.driverList.empty());
    EXPECT_EQ(game.carCount, 0);
    EXPECT_EQ(game.drivers[0], nullptr);
}

TEST_F(DriverList, RefusalsSpeakTheLanguageAndEnglishWhereItsFileHasNoText)
{
    dir.write("lang/Mixed.lng", "#0165# \"Zu lang.\"\r\n#0166# \"Kein Dateiname.\"\r\n");
    dir.write("lang/Older.lng", "#0017# \"Ende\"\r\n");
    ASSERT_EQ(loadLanguage("Mixed"), 0);
    EXPECT_EQ(driverNameMessage(driverNameTooLong), "Zu lang.");
    EXPECT_EQ(driverNameMessage(driverNameNotAllowed), "Kein Dateiname.");
    EXPECT_EQ(driverNameMessage(driverNameEmpty), "Driver needs a name.");
    ASSERT_EQ(loadLanguage("Older"), 0);
    EXPECT_EQ(driverNameMessage(driverNameTooLong), "Driver name is too long: at most 12 characters.");
    EXPECT_EQ(driverNameMessage(driverNameNotAllowed), "Driver name cannot be a file name. Use letters and digits.");
    loadLanguage("English");  // no such file: every text English again
}
