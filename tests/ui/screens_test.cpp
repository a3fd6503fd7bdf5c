#include "screen_fixture.h"

#include "files/language.h"
#include "shell/main_loop.h"
#include "ui/dialog.h"
#include "ui/main_menu.h"
#include "ui/option_pages.h"
#include "ui/pause_menu.h"
#include "ui/screens.h"

#include <cstring>

namespace {

class Screens : public ScreenTest {
protected:
    // The "+" or "-" end of a slider of the active dialog.
    static void stepSlider(int index, int delta)
    {
        const Widget& w = game.dialog.widgets[index];
        click(delta > 0 ? int(w.x + w.w - w.h / 2) : int(w.x + w.h / 2), int(w.y + w.h / 2));
    }

    // Every control of the Options and Advanced pages one step away from what it showed.
    void editEveryOption()
    {
        clickWidget(menuOptions);
        ASSERT_EQ(activeScreen(), uint32_t(screenOptions));
        for (int i : {optTyreWear, optFuelConsumption, optFuelMass, optDamage}) stepSlider(i, +1);
        for (int k = 0; k < 7; ++k) stepSlider(optFirstPoints + k, +1);
        clickWidget(optDistanceUnit);
        clickWidget(optStartingOrder);
        clickWidget(pageSecondLink);
        ASSERT_EQ(activeScreen(), uint32_t(screenAdvancedOptions));
        clickWidget(advSoundSet);
        EXPECT_TRUE(game.dialog.widgets[advFullscreen].flags & widgetHidden);  // only the list is shown
        clickListItem(advSoundSetList, 1);
        EXPECT_EQ(game.dialog.widgets[advSoundSet].label, "Quiet");
        EXPECT_FALSE(game.dialog.widgets[advFullscreen].flags & widgetHidden);
        for (int i : {advFullscreen, advShadows, advVerticalSync, advGhostCar, advGoofyReverse}) clickWidget(i);
        stepSlider(advResolution, +1);
        stepSlider(advEffects, -1);
        for (int i : {advEngineVolume, advSkidVolume, advEffectsVolume}) stepSlider(i, +1);
        // A visit to the drivers page keeps what the other pages hold.
        clickWidget(pageSecondLink);
        ASSERT_EQ(activeScreen(), uint32_t(screenDriverOptions));
        clickWidget(pageFirstLink);
        ASSERT_EQ(activeScreen(), uint32_t(screenAdvancedOptions));
    }
};

}  // namespace

TEST_F(Screens, OptionPagesSetEveryValueOnOkAndNothingOnCancel)
{
    folder.makeFolder("sounds/Default");
    folder.makeFolder("sounds/Quiet");
    startGame(640, 480);
    OptionsRecord before = game.options;

    editEveryOption();
    clickWidget(pageCancel);
    EXPECT_EQ(activeScreen(), uint32_t(screenMainMenu));
    EXPECT_EQ(std::memcmp(&before, &game.options, sizeof before), 0);

    editEveryOption();
    clickWidget(pageOk);
    const OptionsRecord& o = game.options;
    EXPECT_EQ(o.tyreWear, 31);
    EXPECT_EQ(o.fuelConsumption, 31);
    EXPECT_EQ(o.fuelMass, 51);
    EXPECT_EQ(o.damage, 31);
    const uint8_t points[7] = {10, 7, 5, 3, 2, 1, 2};
    for (int k = 0; k < 7; ++k) EXPECT_EQ(o.points[k], points[k]) << k;
    EXPECT_EQ(o.distanceUnit, 1);
    EXPECT_EQ(o.startingOrder, 0);  // points, reversed steps round to random
    EXPECT_STREQ(o.soundSet, "Quiet");
    EXPECT_STREQ(o.language, "English");
    EXPECT_EQ(o.windowedMode, 0);
    EXPECT_EQ(o.resolution, 3);
    EXPECT_EQ(o.effects, 253);      // the slider showed 100, one step down is 99 x 2.56
    EXPECT_EQ(o.shadows, 0);
    EXPECT_EQ(o.verticalSync, 1);
    EXPECT_EQ(o.ghostCar, 0);
    EXPECT_EQ(o.goofyReverse, 1);
    EXPECT_EQ(o.engineVolume, 81);
    EXPECT_EQ(o.skidVolume, 81);
    EXPECT_EQ(o.effectsVolume, 81);
    EXPECT_EQ(o.raceLength, before.raceLength);

    // The display changed: the game started again at 800 x 600 and the menu sits on its grid.
    EXPECT_EQ(game.screenWidth, 800);
    EXPECT_EQ(game.screenHeight, 600);
    ASSERT_EQ(activeScreen(), uint32_t(screenMainMenu));
    const Widget& start = game.dialog.widgets[menuStart];
    EXPECT_EQ(int(start.x), unitX(60));
    EXPECT_EQ(int(start.w), 20 * game.guiScale);
    // The race length now counts kilometres.
    EXPECT_EQ(game.dialog.widgets[menuRaceLength].label, "kilometer|kilometers");
}

TEST_F(Screens, SwitchingToGermanRestartsWithGermanCaptionsOnTheMainMenu)
{
    startGame(640, 480);
    EXPECT_TRUE(shows("Exit", 241));
    clickWidget(menuOptions);
    clickWidget(pageSecondLink);
    clickWidget(advLanguage);
    int deutsch = listIndex(advLanguageList, "Deutsch");
    ASSERT_GE(deutsch, 0);
    clickListItem(advLanguageList, deutsch);
    clickWidget(pageOk);
    ASSERT_EQ(activeScreen(), uint32_t(screenMainMenu));
    EXPECT_STREQ(game.options.language, "Deutsch");

    // Every text the main menu shows, by index; none may still read as the English one.
    const int shown[] = {17, 25, 90, 18, 70, 134, 135, 136, 128, 131, 132, 34, 19};
    int translated = 0;
    for (int index : shown) {
        const std::string english = englishStrings[index], german = game.uiStrings[index];
        bool seen = false;
        for (uint8_t colour : {240, 241, 242, 90}) seen = seen || shows(german.substr(0, 10), colour);
        EXPECT_TRUE(seen) << german;
        if (german == english) continue;
        ++translated;
        for (uint8_t colour : {240, 241, 242, 90}) EXPECT_FALSE(shows(english, colour)) << english;
    }
    EXPECT_GE(translated, 10);
    EXPECT_NE(game.dialog.widgets[menuSelectedCount].label.find(game.uiStrings[133]), std::string::npos);
    EXPECT_EQ(game.dialog.widgets[menuRaceLength].label, game.uiStrings[1] + "|" + game.uiStrings[2]);
}

TEST_F(Screens, SelectPicksAtMostTheListedTracksAndRewritesTheCount)
{
    startGame(640, 480);
    Widget* w = game.dialog.widgets;
    size_t listed = w[menuTracks].list->items.size();
    ASSERT_GE(listed, 3u);
    EXPECT_EQ(w[menuSelectCount].max, int(listed));

    selectRandomTracks(int(listed) + 5);
    EXPECT_EQ(trackSelection().size(), listed);
    for (const ListItem* item : w[menuTracks].list->items) EXPECT_TRUE(item->selected);

    // The slider at its top and the button: the same, every track once.
    stepSlider(menuSelectCount, +1);
    w[menuSelectCount].value = w[menuSelectCount].max;
    clickWidget(menuSelect);
    EXPECT_EQ(trackSelection().size(), listed);

    selectRandomTracks(2);
    EXPECT_EQ(trackSelection().size(), 2u);
    int marked = 0;
    for (const ListItem* item : w[menuTracks].list->items) marked += item->selected ? 1 : 0;
    EXPECT_EQ(marked, 2);
    EXPECT_EQ(w[menuSelectedCount].label, "2 " + game.uiStrings[133]);
    EXPECT_TRUE(shows("2 selected", 90));
    selectRandomTracks(-1);
    EXPECT_TRUE(trackSelection().empty());
}

TEST_F(Screens, StartWithoutPlayersOrTracksOnlyAsks)
{
    startGame(640, 480);
    const Widget& start = game.dialog.widgets[menuStart];
    pushMouseButton(SDL_BUTTON_LEFT, true, uint16_t(start.x + 5), uint16_t(start.y + 5));
    pushMouseButton(SDL_BUTTON_LEFT, false, uint16_t(start.x + 5), uint16_t(start.y + 5));
    pushKeyPress(SDLK_RETURN);  // answers the box
    pump();
    EXPECT_EQ(activeScreen(), uint32_t(screenMainMenu));
    EXPECT_EQ(game.parkedDialog, nullptr);
    EXPECT_FALSE(game.raceRunning);
}

TEST_F(Screens, PauseMenuHidesReplayWithNothingRecordedAndEscapeResumes)
{
    startGame(640, 480);
    // The race took the screen from the main menu and has just paused.
    parkScreen();
    openPauseMenu();
    ASSERT_EQ(activeScreen(), uint32_t(screenPauseMenu));
    Widget* w = game.dialog.widgets;
    EXPECT_TRUE(w[pauseReplay].flags & widgetHidden);
    EXPECT_EQ(game.dialog.focus, int(pauseResume));
    EXPECT_TRUE(shows(game.uiStrings[87], 242));
    EXPECT_FALSE(shows(game.uiStrings[151], 241) || shows(game.uiStrings[151], 115));

    // Arrow keys pass the hidden entry by.
    pushKey(SDLK_DOWN, true);
    pump();
    EXPECT_EQ(game.dialog.focus, int(pauseOptions));

    // Options from a race leave the race rules alone and come back to the menu.
    const uint8_t tyreWear = game.options.tyreWear;
    pushKey(SDLK_RETURN, true);
    pushKey(SDLK_RETURN, false);
    pump();
    ASSERT_EQ(activeScreen(), uint32_t(screenAdvancedOptions));
    EXPECT_TRUE(game.dialog.widgets[pageFirstLink].flags & widgetHidden);
    clickWidget(pageOk);
    ASSERT_EQ(activeScreen(), uint32_t(screenPauseMenu));
    EXPECT_EQ(game.options.tyreWear, tyreWear);

    pushKeyPress(SDLK_ESCAPE);
    pump();
    EXPECT_FALSE(game.dialog.active);
    EXPECT_TRUE(game.raceRunning);
    game.raceRunning = 0;
}

TEST_F(Screens, DriverPageEditsCopiesUntilOkAndCreatesDriversWithTheirChecks)
{
    startGame(640, 480);
    ASSERT_GE(game.driverList.size(), 1u);
    DriverProfile* ada = game.driverList[0].profile.get();
    const uint32_t colour = ada->colour1;

    auto openDrivers = [&] {
        clickWidget(menuOptions);
        clickWidget(pageFirstLink);
        ASSERT_EQ(activeScreen(), uint32_t(screenDriverOptions));
        ASSERT_EQ(game.dialog.widgets[drvSelector].label, game.driverList[0].name);
    };
    openDrivers();
    stepSlider(drvFirstColour, -1);
    clickWidget(pageCancel);
    EXPECT_EQ(ada->colour1, colour);

    openDrivers();
    stepSlider(drvFirstColour, -1);
    clickWidget(pageOk);
    EXPECT_EQ(ada->colour1 & 0xFF, (colour & 0xFF) - 1);
    EXPECT_EQ(ada->colour1 >> 8, colour >> 8);

    // A name only differing in case is refused with its message, and the box stays open.
    openDrivers();
    clickWidget(drvCreate);
    ASSERT_FALSE(game.dialog.widgets[drvName].flags & widgetHidden);
    clickWidget(drvName);
    for (SDLKey k : {SDLK_a, SDLK_d, SDLK_a}) pushKeyPress(k);
    pump();
    const Widget& ok = game.dialog.widgets[drvCreateOk];
    pushMouseButton(SDL_BUTTON_LEFT, true, uint16_t(ok.x + 5), uint16_t(ok.y + 5));
    pushMouseButton(SDL_BUTTON_LEFT, false, uint16_t(ok.x + 5), uint16_t(ok.y + 5));
    pushKeyPress(SDLK_RETURN);
    pump();
    EXPECT_FALSE(game.dialog.widgets[drvName].flags & widgetHidden);
    EXPECT_EQ(game.driverList.size(), 4u);

    Widget& name = game.dialog.widgets[drvName];
    name.label = "Eve";
    name.value = 3;
    clickWidget(drvType);  // a computer driver
    clickWidget(drvCreateOk);
    ASSERT_EQ(game.driverList.size(), 5u);
    EXPECT_EQ(game.dialog.widgets[drvSelector].label, "Eve");
    EXPECT_FALSE(game.dialog.widgets[drvSkill].flags & widgetHidden);
    EXPECT_TRUE(game.dialog.widgets[drvFirstControl].flags & widgetHidden);
    clickWidget(pageOk);
    EXPECT_TRUE(folder.exists("drivers/Eve.drv"));
    // The menu's list offers the new driver at once.
    ASSERT_EQ(activeScreen(), uint32_t(screenMainMenu));
    bool listed = false;
    for (const ListItem* item : game.dialog.widgets[menuDrivers].list->items) listed = listed || item->text == "Eve";
    EXPECT_TRUE(listed);
}
