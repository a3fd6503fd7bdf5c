#include "ui/about_box.h"

#include "files/language.h"
#include "ui/message_box.h"
#include "ui/screens.h"

namespace {

const char* const productName = "Tarmacade";
const char* const productVersion = "1.10c";
constexpr size_t titleWidth = 40;

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
    std::string text;
    for (int i = firstKeyHelpText; i < firstKeyHelpText + keyHelpTextCount; ++i) text += uiText(i, englishStrings[i]) + "\n";
    messageBox(messageBoxOk, text + "\n" + credits, aboutTitle(), redrawShownScreen);
}
