#pragma once
// A started game system on the dummy video driver with a font whose glyphs can be read back,
// and a demonstration dialog holding every widget kind.
#include "state/driver_profile.h"
#include "state/game_state.h"
#include "render/draw_access.h"
#include "render/font.h"
#include "shell/game_system.h"
#include "shell/main_loop.h"
#include "support/harness.h"
#include "ui/dialog.h"
#include "ui/dialog_events.h"
#include "ui/message_box.h"
#include "ui/widget_drawing.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// Demonstration dialog, by index.
enum DemoWidget {
    demoCancel, demoOk, demoName, demoPoints, demoTracks, demoHidden, demoCount, demoLeft, demoResume,
    demoFolder, demoCreate, demoResolution, demoPlayer, demoPlayerCar, demoComputer, demoDrivers, demoStatic,
    demoWidgetCount
};

// The indexes of the widgets whose callbacks ran, in order.
extern std::vector<int> activated;

// Glyph g (1..159): a full top band and a full left column, so every glyph starts at its cell's
// corner, and g's bits in two columns of seven bands, so no two glyphs look alike.
std::vector<uint8_t> codedFontInk();

class UiTest : public ::testing::Test {
public:
    static uint8_t pixel(int x, int y);

protected:
    void startGame(int width, int height, const std::string& fontImage = std::string());
    void TearDown() override;

    // The demonstration dialog, built in GUI units and placed; not opened.
    Widget* buildDemo();
    int openDemo(uint32_t flags = 0);

    // Centre of a widget of the active dialog, in pixels.
    static int centreX(int index);
    static int centreY(int index);
    // Runs the queued events through the dispatcher.
    static void pump() { ASSERT_TRUE(pumpEvents(0)); }
    static void click(int x, int y);

    // Whether the text shows whole in the colour inside a pixel rectangle (right and bottom
    // exclusive), read back through the glyph strip.
    static bool showsIn(const std::string& text, int x0, int y0, int x1, int y1, uint8_t colour);

    TempGameFolder folder;
    SdlSession sdl{SDL_INIT_VIDEO};
    Widget* demo = nullptr;
    DriverProfile human{}, computer{};
};
