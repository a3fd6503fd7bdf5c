#include "screen_fixture.h"

#include "race/controls.h"
#include "state/joystick_state.h"
#include "ui/control_names.h"
#include "ui/control_select.h"
#include "ui/main_menu.h"
#include "ui/option_pages.h"
#include "ui/screens.h"

#include <cstring>
#include <functional>

namespace {

// The prompt's passes, counted by its wait; each pass first runs the test's script.
int pass = 0;
std::function<void(int)> script;
// What the fake joysticks report: axis counts and records the script changes.
int stickAxes[2] = {};
JoystickState stickState[2] = {};

void scriptedWait(uint32_t)
{
    ++pass;
    if (script) script(pass);
    // A prompt that misses what the test did must still end: Escape pressed and let go.
    if (pass > 2000) holdKey(SDLK_ESCAPE, pass < 2003);
}

int fakeJoystick(int index, JoystickState& out)
{
    if (index < 0 || index > 1) return -1;
    out = stickState[index];
    return stickAxes[index];
}

class ControlPrompt : public ScreenTest {
protected:
    void SetUp() override
    {
        pass = 0;
        script = nullptr;
        std::memset(stickState, 0, sizeof stickState);
        stickAxes[0] = stickAxes[1] = 0;
        setPromptWait(scriptedWait);
    }
    void TearDown() override
    {
        setPromptWait(nullptr);
        setJoystickReader(nullptr);
        script = nullptr;
        releaseAllKeys();
        if (attached) {
            delete[] game.joysticks;
            game.joysticks = nullptr;
            game.joystickCount = 0;
        }
        ScreenTest::TearDown();
    }
    // Two joysticks the game believes attached at start-up, read through the fake.
    void attachSticks()
    {
        delete[] game.joysticks;
        game.joysticks = new JoystickState[2]();
        game.joystickCount = 2;
        attached = true;
        setJoystickReader(fakeJoystick);
    }
    bool attached = false;
};

}  // namespace

TEST(ControlNames, KeysButtonsAndAxesReadAsTheDriverPageShowsThem)
{
    EXPECT_EQ(controlName(SDLK_LSHIFT), "L shift");
    EXPECT_EQ(SDLK_LSHIFT, 304);
    EXPECT_EQ(controlName(18), "c19");  // the one entry that does not carry its own number
    EXPECT_EQ(controlName(17), "c17");
    EXPECT_EQ(controlName(SDLK_a), "A");
    EXPECT_EQ(controlName(SDLK_z), controlName('Z'));
    EXPECT_EQ(controlName(37), "c37");
    EXPECT_EQ(controlName(SDLK_QUOTEDBL), "\"");
    EXPECT_EQ(controlName(SDLK_BACKSLASH), "\\");
    EXPECT_EQ(controlName(SDLK_KP0), "KP 0");
    EXPECT_EQ(controlName(SDLK_F15), "F15");
    EXPECT_EQ(controlName(SDLK_UNDO), "undo");
    EXPECT_EQ(controlName(511), "c511");
    for (int k = 0; k < keyNameCount; ++k) {
        size_t n = std::strlen(keyName(k));
        EXPECT_TRUE(n >= 1 && n < size_t(keyNameLength)) << k;
    }
    EXPECT_STREQ(keyName(-1), "");
    EXPECT_STREQ(keyName(keyNameCount), "");

    EXPECT_EQ(joystickButtonCode(0, 0), 1024u);
    EXPECT_EQ(controlName(1024), "joy 1: B1");
    EXPECT_EQ(controlName(joystickButtonCode(1, 31)), "joy 2: B32");
    uint32_t plusY = joystickAxisCode(1, 4);
    EXPECT_EQ(plusY, (4u << 24) | (255u << 16) | (2u << 10));
    EXPECT_EQ(controlName(plusY), "joy 2: +Y");
    EXPECT_EQ(controlName(joystickAxisCode(0, 1)), "joy 1: -X");
    EXPECT_EQ(controlName(joystickAxisCode(62, 16)), "joy 63: +SL2");
    // Codes that name neither a button nor a direction end after the joystick.
    EXPECT_EQ(controlName(joystickAxisCode(0, 17)), "joy 1: ");
    EXPECT_EQ(controlName(0xFFFFFFFFu), "joy 63: ");
    EXPECT_EQ(controlName(1024 + (100u << 16)), "joy 1: ");
}

TEST_F(ControlPrompt, AKeyHeldAsItOpensIsTakenOnReleaseAndLocksAreNeverTaken)
{
    startGame(640, 480);
    holdKey(SDLK_CAPSLOCK, true);  // lower than L shift: taken first if locks counted
    holdKey(SDLK_LSHIFT, true);
    pushKeyPress(SDLK_x);
    pushMouseButton(SDL_BUTTON_LEFT, true, 10, 10);
    pushQuit();
    bool boxShown = false;
    script = [&](int p) {
        if (p == 1) {
            boxShown = shows("Select control for", 240) && shows("Accelerate", 90);
            picture("control-prompt");
        }
        if (p == 6) holdKey(SDLK_LSHIFT, false);
    };
    EXPECT_EQ(selectControl("Accelerate"), 304);
    EXPECT_TRUE(boxShown);
    EXPECT_GE(pass, 6);
    // What queued meanwhile is gone, but the quit stays for the main loop.
    SDL_Event e;
    int quits = 0, others = 0;
    while (SDL_PollEvent(&e)) (e.type == SDL_QUIT ? quits : others)++;
    EXPECT_EQ(quits, 1);
    EXPECT_EQ(others, 0);
}

TEST_F(ControlPrompt, EscapeAndEnterCancelOtherKeysBind)
{
    startGame(640, 480);
    for (SDLKey cancel : {SDLK_ESCAPE, SDLK_RETURN}) {
        pass = 0;
        script = [cancel](int p) { holdKey(cancel, p == 3); };
        EXPECT_EQ(selectControl("Brake"), -1) << cancel;
        EXPECT_EQ(pass, 4);
    }
    pass = 0;
    script = [](int p) { holdKey(SDLK_KP_ENTER, p == 2); };
    EXPECT_EQ(selectControl("Brake"), int(SDLK_KP_ENTER));
}

TEST_F(ControlPrompt, AnAxisCountsOnlyAfterPassingTheCentreAndButtonsAtOnce)
{
    startGame(640, 480);
    attachSticks();
    // The first stick rests pulled back on Y; the second reports nine axes, so only its buttons.
    stickAxes[0] = 2;
    stickAxes[1] = 9;
    stickState[0].axes[1] = -60;
    script = [](int p) {
        stickState[1].axes[0] = p >= 2 ? 80 : 0;
        if (p == 5) stickState[0].axes[1] = 4;
        if (p == 8) stickState[0].axes[1] = 50;
    };
    uint32_t code = uint32_t(selectControl("Accelerate"));
    EXPECT_EQ(code, joystickAxisCode(0, 4));
    EXPECT_EQ(controlName(code), "joy 1: +Y");
    EXPECT_EQ(pass, 8);

    // A button of the second stick, pressed while the first rests off-centre again.
    pass = 0;
    stickState[0].axes[1] = -60;
    script = [](int p) { stickState[1].buttons[0] = p >= 3; };
    code = uint32_t(selectControl("Steer left"));
    EXPECT_EQ(code, joystickButtonCode(1, 0));
    EXPECT_EQ(controlName(code), "joy 2: B1");
    EXPECT_EQ(pass, 3);
}

TEST_F(ControlPrompt, TheDriverPageStoresTheBoundKeyAndShowsItsName)
{
    startGame(640, 480);
    ASSERT_GE(game.driverList.size(), 1u);
    DriverProfile* ada = game.driverList[0].profile.get();
    const uint32_t cursorKeys[4] = {SDLK_UP, SDLK_DOWN, SDLK_LEFT, SDLK_RIGHT};
    std::memcpy(ada->controls, cursorKeys, sizeof cursorKeys);
    clickWidget(menuOptions);
    clickWidget(pageFirstLink);
    ASSERT_EQ(game.dialog.dialogId, uint32_t(screenDriverOptions));
    EXPECT_EQ(game.dialog.widgets[drvFirstControl + 2].label, "left");
    uint32_t brake = ada->controls[1];

    script = [](int p) { holdKey(SDLK_w, p == 2); };
    clickWidget(drvFirstControl);
    EXPECT_EQ(game.dialog.widgets[drvFirstControl].label, "W");
    picture("driver-page-bound");
    // Escape leaves Brake as it was.
    pass = 0;
    script = [](int p) { holdKey(SDLK_ESCAPE, p == 2); };
    clickWidget(drvFirstControl + 1);
    EXPECT_EQ(game.dialog.widgets[drvFirstControl + 1].label, controlName(brake));
    clickWidget(pageOk);
    EXPECT_EQ(ada->controls[0], uint32_t(SDLK_w));
    EXPECT_EQ(ada->controls[1], brake);
}
