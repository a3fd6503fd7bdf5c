#include "state/game_state.h"
#include "shell/game_system.h"
#include "shell/main_loop.h"
#include "support/harness.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A stand-in dialog that records what reaches it.
std::string typed;
int defaultButtonFocused = 0;
int cancelFocused = 0;
int focusSteps = 0;
int enterReleases = 0;
int presses = 0;
int wheelTotal = 0;
int helpShown = 0;
bool parked = false;

void recordCharacter(int c) { typed += static_cast<char>(c); }
void recordEnterDown() { ++defaultButtonFocused; }
void recordEscapeDown() { ++cancelFocused; }
void recordStep(int d) { focusSteps += d; }
void recordEnterUp() { ++enterReleases; }
void recordPress(int, int) { ++presses; }
void recordWheel(int s) { wheelTotal += s; }
void recordHelp() { ++helpShown; }
bool isParked() { return parked; }

class Dispatch : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(sdl.ok());
        SDL_EnableUNICODE(1);
        game.screenWidth = 640;
        game.screenHeight = 480;
        game.options.windowedMode = 1;
        folder.provideFont();
        ASSERT_EQ(initGameSystem(), 1);
        typed.clear();
        defaultButtonFocused = cancelFocused = focusSteps = enterReleases = presses = wheelTotal = helpShown = 0;
        parked = false;
        game.dialogInput = DialogInput{};
        game.dialogInput.character = recordCharacter;
        game.dialogInput.enterDown = recordEnterDown;
        game.dialogInput.escapeDown = recordEscapeDown;
        game.dialogInput.stepFocus = recordStep;
        game.dialogInput.enterUp = recordEnterUp;
        game.dialogInput.leftPress = recordPress;
        game.dialogInput.wheel = recordWheel;
        game.dialogInput.helpUp = recordHelp;
        game.dialogInput.isParked = isParked;
        game.raceRunning = 0;
        drainEvents();
        releaseAllKeys();
    }
    void TearDown() override
    {
        releaseAllKeys();
        setVideoModeSetter(nullptr);
        game.raceRunning = 0;
        game.dialogInput = DialogInput{};
        shutdownGameSystem(false);
    }
    TempGameFolder folder;
    SdlSession sdl{SDL_INIT_VIDEO};
};

}  // namespace

TEST_F(Dispatch, ShiftTurnsLowerCaseLettersIntoCapitalsInTextFields)
{
    pushKey(SDLK_z, true, KMOD_LSHIFT);
    pushKey(SDLK_z, true, KMOD_NONE);
    pushKey(SDLK_1, true, KMOD_RSHIFT);  // only letters change
    pushKey(SDLK_BACKSPACE, true);
    EXPECT_TRUE(pumpEvents(0));
    EXPECT_EQ(typed, std::string("Zz1\b"));
}

TEST_F(Dispatch, AltEnterSwitchesTheDisplayWithoutPressingTheDefaultButton)
{
    holdKey(SDLK_LALT, true);
    pushKey(SDLK_RETURN, true, KMOD_LALT);
    EXPECT_TRUE(pumpEvents(0));
    EXPECT_EQ(defaultButtonFocused, 0);
    EXPECT_EQ(game.options.windowedMode, 0);
    holdKey(SDLK_LALT, false);
    pushKey(SDLK_RETURN, true);
    EXPECT_TRUE(pumpEvents(0));
    EXPECT_EQ(defaultButtonFocused, 1);
    EXPECT_EQ(game.options.windowedMode, 0);
    EXPECT_EQ(game.enterConsumed, 0);  // reset by every event
}

// A display that refuses fullscreen, and one that refuses every mode.
SDL_Surface* noFullscreen(int width, int height, int bpp, Uint32 flags)
{
    return flags & SDL_FULLSCREEN ? nullptr : SDL_SetVideoMode(width, height, bpp, flags);
}
SDL_Surface* noMode(int, int, int, Uint32) { return nullptr; }

TEST_F(Dispatch, AFailedSwitchRestoresTheWindowAndStillKeepsEnterFromTheDialog)
{
    setVideoModeSetter(noFullscreen);
    holdKey(SDLK_LALT, true);
    pushKey(SDLK_RETURN, true, KMOD_LALT);
    EXPECT_TRUE(pumpEvents(0));
    EXPECT_EQ(defaultButtonFocused, 0);
    EXPECT_EQ(game.options.windowedMode, 1);
    ASSERT_NE(SDL_GetVideoSurface(), nullptr);
    EXPECT_EQ(SDL_GetVideoSurface()->flags & SDL_FULLSCREEN, 0u);
    EXPECT_EQ(game.videoSurface, SDL_GetVideoSurface());

    setVideoModeSetter(noMode);  // not even the old mode comes back: the game ends
    holdKey(SDLK_LALT, true);    // a mode change clears SDL's key states
    pushKey(SDLK_RETURN, true, KMOD_LALT);
    EXPECT_FALSE(pumpEvents(0));
}

TEST_F(Dispatch, NothingReachesTheDialogDuringARace)
{
    game.raceRunning = 1;
    pushKey(SDLK_a, true);
    pushKey(SDLK_RETURN, true);
    pushMouseButton(SDL_BUTTON_LEFT, true, 10, 10);
    EXPECT_TRUE(pumpEvents(0));
    EXPECT_EQ(typed, "");
    EXPECT_EQ(defaultButtonFocused, 0);
    EXPECT_EQ(presses, 0);
    game.raceRunning = 0;
    pushMouseButton(SDL_BUTTON_LEFT, true, 10, 10);
    EXPECT_TRUE(pumpEvents(0));
    EXPECT_EQ(presses, 1);
}

TEST_F(Dispatch, AltF4AndQuitEndTheLoop)
{
    pushKey(SDLK_F4, true);  // F4 alone is just a key
    EXPECT_TRUE(pumpEvents(0));
    holdKey(SDLK_RALT, true);
    pushKey(SDLK_F4, true, KMOD_RALT);
    EXPECT_FALSE(pumpEvents(0));
    holdKey(SDLK_RALT, false);
    drainEvents();
    pushQuit();
    EXPECT_FALSE(pumpEvents(0));
    game.raceRunning = 1;  // even during a race
    pushQuit();
    EXPECT_FALSE(pumpEvents(0));
}

TEST_F(Dispatch, KeysAndWheelMapToTheDialogOperations)
{
    pushKey(SDLK_UP, true);
    pushKey(SDLK_RIGHT, true);
    pushKey(SDLK_DOWN, true);
    pushKey(SDLK_ESCAPE, true);
    pushKey(SDLK_RETURN, false);
    pushMouseButton(SDL_BUTTON_WHEELUP, true, 0, 0);
    pushMouseButton(SDL_BUTTON_WHEELDOWN, true, 0, 0);
    pushMouseButton(SDL_BUTTON_WHEELDOWN, true, 0, 0);
    pushKey(SDLK_F1, false);
    EXPECT_TRUE(pumpEvents(0));
    EXPECT_EQ(focusSteps, -1);
    EXPECT_EQ(cancelFocused, 1);
    EXPECT_EQ(enterReleases, 1);
    EXPECT_EQ(wheelTotal, -120);
    EXPECT_EQ(helpShown, 1);
    parked = true;
    pushKey(SDLK_F1, false);
    EXPECT_TRUE(pumpEvents(0));
    EXPECT_EQ(helpShown, 1);
}

TEST_F(Dispatch, ArrowsTabAndSpaceReachTheirOwnEntriesWhereTheDialogHasThem)
{
    static std::vector<int> arrows;
    static int spaces = 0;
    arrows.clear();
    spaces = 0;
    game.dialogInput.arrowKey = [](int dx, int dy) { arrows.push_back(10 * dx + dy); };
    pushKey(SDLK_UP, true);
    pushKey(SDLK_DOWN, true);
    pushKey(SDLK_LEFT, true);
    pushKey(SDLK_RIGHT, true);
    pushKey(SDLK_TAB, true);
    pushKey(SDLK_TAB, true, KMOD_RSHIFT);
    pushKey(SDLK_TAB, true);
    pushKeyPress(SDLK_SPACE);  // no Space entries: a blank
    EXPECT_TRUE(pumpEvents(0));
    EXPECT_EQ(arrows, (std::vector<int>{-1, 1, -10, 10}));
    EXPECT_EQ(focusSteps, 1);
    EXPECT_EQ(typed, " ");
    game.dialogInput.spaceDown = [] { spaces += 1; };
    game.dialogInput.spaceUp = [] { spaces += 10; };
    pushKeyPress(SDLK_SPACE);
    EXPECT_TRUE(pumpEvents(0));
    EXPECT_EQ(spaces, 11);
    EXPECT_EQ(typed, " ");
}

TEST_F(Dispatch, MaxEventsStopsPollingEarly)
{
    pushKey(SDLK_a, true);
    pushKey(SDLK_b, true);
    pushKey(SDLK_c, true);
    EXPECT_TRUE(pumpEvents(1));
    EXPECT_EQ(typed, "a");
    EXPECT_TRUE(pumpEvents(0));
    EXPECT_EQ(typed, "abc");
}
