#include "ui/about_box.h"

#include "ui/message_box.h"
#include "ui/screens.h"

namespace {

const char* const productName = "Tarmacade";
const char* const productVersion = "1.10c";
constexpr size_t titleWidth = 40;

// Each line fits the box's 39 characters.
const char* const keys =
    "Tab, Shift+Tab: next, previous control\n"
    "Up, Down: the same; in a list, its rows\n"
    "Left, Right: a slider's value\n"
    "Enter, Space: press, or take an entry\n"
    "Enter off a button: Start or OK\n"
    "Escape: Cancel, Exit, back to the race\n"
    "Right button: driver or track facts\n"
    "F12, F11: screenshot\n"
    "Alt+Enter: window or fullscreen\n"
    "\n";

const char* const credits =
    "A top-down racing game for one to six drivers. "
    "Game, tracks, cars, font and sounds made by the Tarmacade team. "
    "Free software: you may copy, change and share it under the terms of its licence, "
    "which comes with the game.";

}  // namespace

std::string aboutTitle()
{
    std::string title = productName, version = productVersion;
    if (title.size() + version.size() < titleWidth) title.append(titleWidth - title.size() - version.size(), ' ');
    return title + version;
}

void showHelpBox()
{
    messageBox(messageBoxOk, std::string(keys) + credits, aboutTitle(), redrawShownScreen);
}
