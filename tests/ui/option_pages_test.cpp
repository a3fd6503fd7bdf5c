// The option pages driven through their buttons as a player does: what OK gives back to the
// drivers and the menu, and what a running game refuses.
#include "screen_fixture.h"

#include "audio/sound.h"
#include "audio/sound_registry.h"
#include "race/race_frame.h"
#include "season/driver_file.h"
#include "season/driver_list.h"
#include "ui/dialog.h"
#include "ui/driver_stats.h"
#include "ui/main_menu.h"
#include "ui/option_pages.h"
#include "ui/pause_menu.h"
#include "ui/screens.h"

#include <filesystem>

namespace fs = std::filesystem;

namespace {

class OptionPages : public ScreenTest {
protected:
    // A click on a button whose message box then takes Enter: its default answer.
    static void clickAndEnter(int index)
    {
        pushMouseButton(SDL_BUTTON_LEFT, true, uint16_t(centreX(index)), uint16_t(centreY(index)));
        pushMouseButton(SDL_BUTTON_LEFT, false, uint16_t(centreX(index)), uint16_t(centreY(index)));
        pushKeyPress(SDLK_RETURN);
        pump();
    }
    static DriverProfile* profileOf(const std::string& name)
    {
        int index = findDriver(name);
        return index >= 0 ? game.driverList[size_t(index)].profile.get() : nullptr;
    }
    // From the main menu's Options to the Driver options page, the driver chosen in its list.
    void toDriverPage(const std::string& name)
    {
        clickWidget(menuOptions);
        ASSERT_EQ(activeScreen(), uint32_t(screenOptions));
        clickWidget(pageFirstLink);
        ASSERT_EQ(activeScreen(), uint32_t(screenDriverOptions));
        chooseDriver(name);
    }
    void chooseDriver(const std::string& name)
    {
        clickWidget(drvSelector);
        int item = listIndex(drvList, name);
        ASSERT_GE(item, 0) << name;
        clickListItem(drvList, item);
        ASSERT_EQ(game.dialog.widgets[drvSelector].label, name);
    }
    // Two drivers seated, one track, Start, Escape: the pause menu of a running season.
    // Ada with a career; Options, Drivers, Ada, Driver stats, Reset, Yes, OK, then the page's
    // own button: her statistics stay reset, in memory and in her file.
    void resetThenLeaveWith(int pageButton)
    {
        startGame(640, 480);
        DriverProfile* ada = profileOf("Ada");
        ASSERT_NE(ada, nullptr);
        ada->seasons = 1;
        ada->totalPoints = 17;
        ada->races = 2;
        ada->colour1 = 0x123456;
        toDriverPage("Ada");
        clickWidget(drvStats);
        ASSERT_EQ(activeScreen(), uint32_t(screenDriverStats));
        clickAndEnter(statsReset);  // Yes
        clickWidget(statsOk);
        ASSERT_EQ(activeScreen(), uint32_t(screenDriverOptions));
        clickWidget(pageButton);
        EXPECT_EQ(activeScreen(), uint32_t(screenMainMenu));
        DriverProfile read{};
        ASSERT_EQ(readDriver("Ada", &read), 0);
        const DriverProfile* live = profileOf("Ada");
        for (const DriverProfile* p : {live, static_cast<const DriverProfile*>(&read)}) {
            EXPECT_EQ(p->seasons, 0u);
            EXPECT_EQ(p->totalPoints, 0u);
            EXPECT_EQ(p->races, 0u);
            EXPECT_EQ(p->colour1, 0x123456u);
        }
    }
};

TEST_F(OptionPages, AStatisticsResetStaysAfterThePagesOk) { resetThenLeaveWith(pageOk); }
TEST_F(OptionPages, AStatisticsResetStaysAfterThePagesCancel) { resetThenLeaveWith(pageCancel); }

TEST_F(OptionPages, ASeatedDriverIsNotDeletedWhileAGameRuns)
{
    startGame(640, 480);
    pauseSeason();
    std::string seated = game.driverNames[1];
    int carCount = game.carCount;
    clickWidget(pauseOptions);
    clickWidget(pageSecondLink);
    ASSERT_EQ(activeScreen(), uint32_t(screenDriverOptions));
    chooseDriver(seated);
    clickAndEnter(drvDelete);  // OK on the refusal; Yes if it asked instead
    EXPECT_TRUE(folder.exists("drivers/" + seated + ".drv"));
    EXPECT_GE(findDriver(seated), 0);
    EXPECT_EQ(game.dialog.widgets[drvSelector].label, seated);
    clickWidget(pageOk);
    ASSERT_EQ(activeScreen(), uint32_t(screenPauseMenu));
    EXPECT_EQ(game.carCount, carCount);
    EXPECT_EQ(std::string(game.driverNames[1]), seated);
    ASSERT_NE(game.drivers[1], nullptr);
    EXPECT_EQ(game.drivers[1], profileOf(seated));
}

TEST_F(OptionPages, TheRaceLengthTakesTheUnitChosenOnThePage)
{
    startGame(640, 480);
    EXPECT_EQ(game.dialog.widgets[menuRaceLength].label, uiText(1) + "|" + uiText(2));
    clickWidget(menuOptions);
    ASSERT_EQ(activeScreen(), uint32_t(screenOptions));
    clickWidget(optDistanceUnit);
    clickWidget(pageOk);
    ASSERT_EQ(activeScreen(), uint32_t(screenMainMenu));
    EXPECT_EQ(game.options.distanceUnit, 1);
    EXPECT_EQ(game.dialog.widgets[menuRaceLength].label, uiText(3) + "|" + uiText(4));
}

// A set loaded again on OK plays at the effects volume, for the paused race it goes back to.
TEST_F(OptionPages, TheReloadedSoundSetPlaysAtTheEffectsVolume)
{
    fs::path built = buildFolder() / "tarmacade" / "sounds";
    if (!fs::is_directory(built)) GTEST_SKIP() << "no built game folder";
    fs::copy(built, folder.path("sounds"), fs::copy_options::recursive);
    startGame(640, 480);
    if (!game.audioOpen) GTEST_SKIP() << "no audio device";
    clickWidget(menuOptions);
    clickWidget(pageSecondLink);
    ASSERT_EQ(activeScreen(), uint32_t(screenAdvancedOptions));
    const Widget& w = game.dialog.widgets[advEffectsVolume];
    click(int(w.x + w.h / 2), int(w.y + w.h / 2));
    clickWidget(pageOk);
    ASSERT_EQ(activeScreen(), uint32_t(screenMainMenu));
    EXPECT_LT(game.options.effectsVolume, 80);
    for (int32_t handle : {game.lightSound, game.finalLapSound, game.fuelWarningSound}) {
        ASSERT_NE(soundAt(handle), nullptr);
        EXPECT_EQ(soundAt(handle)->volume, volumeFromMenu(game.options.effectsVolume));
    }
}

}  // namespace
