#pragma once
// F1: the keys of the menus, who made the game and under what terms.
#include <string>

// The box's title: the product name padded with blanks to 40 characters, the version at the end.
std::string aboutTitle();
void showHelpBox();
