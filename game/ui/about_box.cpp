#include "ui/about_box.h"

#include "ui/message_box.h"
#include "ui/screens.h"

namespace {

const char* const productName = "Tarmacade";
const char* const productVersion = "1.10c";
constexpr size_t titleWidth = 40;

const char* const credits =
    "A top-down racing game for one to six drivers.\n"
    "\n"
    "Game, tracks, cars, font and sounds made by the Tarmacade team.\n"
    "\n"
    "Free software: you may copy, change and share it under the terms of its licence, "
    "which comes with the game.";

}  // namespace

std::string aboutTitle()
{
    std::string title = productName, version = productVersion;
    if (title.size() + version.size() < titleWidth) title.append(titleWidth - title.size() - version.size(), ' ');
    return title + version;
}

void showAboutBox()
{
    messageBox(messageBoxOk, credits, aboutTitle(), redrawShownScreen);
}
