#pragma once
// A started game on a copy of the built game folder's content, with the main menu open.
#include "state/game_state.h"
#include "support/harness.h"

#include <gtest/gtest.h>

#include <string>

class ScreenTest : public ::testing::Test {
public:
    // A BMP of the back buffer into TM_UI_PICTURES, when it names a folder.
    static void picture(const std::string& name);
    // Whether the text shows whole in the colour anywhere on the back buffer.
    static bool shows(const std::string& text, uint8_t colour);

protected:
    // Tracks, cars, languages and the font of the built game folder, and drivers by name.
    void startGame(int width, int height, const std::string& language = "English");
    // Also leaves no race, hooks, season tracks or held keys behind.
    void TearDown() override;

    static int centreX(int index);
    static int centreY(int index);
    static void pump() { ASSERT_TRUE(pumpEventsOnce()); }
    static bool pumpEventsOnce();
    static void click(int x, int y);
    static void clickWidget(int index) { click(centreX(index), centreY(index)); }
    // The screen of the open dialog, 0 when none is open.
    static uint32_t activeScreen() { return game.dialog.active ? game.dialog.dialogId : 0; }
    // Where the text stands in a list of the active dialog, -1 when it does not.
    static int listIndex(int index, const std::string& text);
    // Item i of a list of the active dialog (first column), as scrolled.
    static void clickListItem(int index, int item);
    // From the main menu: the first driver seated twice and the first track chosen, a season
    // started and paused, the pause menu open.
    static void pauseSeason();
    TempGameFolder folder;
    SdlSession sdl{SDL_INIT_VIDEO};
};
