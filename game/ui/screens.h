#pragma once
// The screens outside a race: every dialog is built once in GUI units, placed on the centred
// grid, and opened, parked and resumed from here. Each screen draws its own background.
#include "state/widget.h"

#include <cstdint>
#include <string>

enum ScreenId : uint32_t {
    screenMainMenu = 1,
    screenCarChooser = 2,
    screenPauseMenu = 3,
    screenOptions = 4,
    screenAdvancedOptions = 5,
    screenDriverOptions = 6,
    screenFileDialog = 7,
    screenTrackInfo = 9,
    screenDriverStats = 10,
};

// Widgets of a screen, 0 for an id that has none.
int screenWidgetCount(uint32_t id);
Widget* screenWidgets(uint32_t id);

// First start: every screen built and placed. Later starts (a restart) only give the widgets
// their captions again, as the language may have changed.
void buildScreens();
void freeScreens();
// After the screen size changed: the widgets come back to GUI units by the old grid and are
// placed on the new one.
void replaceScreens(float oldOriginX, float oldOriginY, int oldScale);

// Interface text by index; English when the index is outside the table.
const std::string& uiText(int index);

// A unit of the GUI grid in pixels.
int unitX(float x);
int unitY(float y);

// Static texts of a page, in GUI units; the text is given again on every start.
struct ScreenCaption {
    int32_t x, y;
    uint8_t colour;
    int text;          // uiStrings index; -1 keeps the literal
    std::string literal;
};
constexpr uint8_t captionColour = 240, headingColour = 115, infoColour = 90;

// The grid's panel with a title bar, into the locked or unlocked back buffer.
void drawPanel(const std::string& title);
void drawCaptions(const ScreenCaption* captions, int count);
void drawUnitText(const std::string& text, float x, float y, uint8_t colour);

// Opens a screen's dialog over its freshly drawn background, with the standard routines and
// the arrow keys moving the focus. False when another dialog is active.
bool showScreen(uint32_t id, uint32_t flags = 0);
// Draws the background of the screen last shown; modal boxes call it when they close.
void redrawShownScreen();
uint32_t shownScreen();

// Parks the active screen (the main menu behind a page or a race).
void parkScreen();
// Closes whatever is active, redraws the parked screen's background and resumes it.
void returnToParkedScreen();

// Sets a button in GUI units; the screens' builders share it.
void makeButton(Widget& w, float x, float y, float width, float height, uint32_t flags, WidgetRoutine callback);
void makeSlider(Widget& w, float x, float y, float width, float height, int min, int max, WidgetRoutine callback);
// A choice button: style 2.. holds the choice, the label shows it.
void setChoice(Widget& w, int style, const std::string& label);

void showWidget(Widget& w, bool shown);
