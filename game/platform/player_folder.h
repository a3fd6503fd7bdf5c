#pragma once
// Where the game and its desktop tools keep their files. A game folder copied anywhere is
// portable: everything lies beside the program. An installed game (the program in <prefix>/games
// with its read-only content in <prefix>/share/games/tarmacade) keeps the player's files in the
// player's own folder instead, filled from the shipped content at the first start.
// The tools link this and nothing else of the game.
#include <string>

// The shipped content of a program installed in <prefix>/games: <prefix>/share/games/tarmacade
// when that folder exists. Empty for a portable game folder.
std::string shippedContentFolder(const std::string& programFolder);

// $XDG_DATA_HOME/tarmacade, else $HOME/.local/share/tarmacade. A relative or empty value does
// not count (as the XDG rules say); empty when neither gives an absolute folder.
std::string playerFolderPath(const char* xdgDataHome, const char* home);

// Makes the player's folder as a copy of the shipped content when it does not exist yet. The
// copy is made beside it under a temporary name and renamed into place when complete, so an
// interrupted first start leaves no half-filled folder. An existing folder is left as it is.
bool fillPlayerFolder(const std::string& shipped, const std::string& player, std::string& why);

// The folder to work in for a program lying in programFolder: the program's own when it is
// portable, else the player's folder, filled when new. Empty, with the reason, when the player's
// folder cannot be found or made.
std::string gameFolderFor(const std::string& programFolder, std::string& why);

// For a tool that works on the folder it is started from: installed, it enters the player's
// folder (filled when new) and gives it back in entered; portable, it stays where it was started
// and entered is empty. False, with the reason, when the player's folder cannot be made or entered.
bool enterPlayerFolder(const std::string& programFolder, std::string& entered, std::string& why);
