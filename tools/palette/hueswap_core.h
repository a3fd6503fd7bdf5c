#pragma once
// Hueswap without a window: the palette listing, the PaletteFile rewrite of tm.ini and the
// start of the game. The dialog and the command line only call these.
#include <string>
#include <vector>

// The value written for "Restore to Default".
extern const char* const defaultPaletteValue;   // "tm.pal"

enum class WriteResult {
    Changed,      // tm.ini now names the palette
    NoSelection,  // "Change Palette!" with nothing chosen
    NotAPalette,  // a typed name that is not in the list
    IniMissing,   // no tm.ini in the folder
    WriteFailed,  // tm.ini could not be read or rewritten; the old one is untouched
};

// What the user is told about an outcome: a message box's title and text.
struct OutcomeMessage {
    const char* title;
    const char* text;
};
OutcomeMessage outcomeMessage(WriteResult result);

// Palette file names (with extension) of the folder "palettes" of a game folder; the folder
// and the ".pal" extension match without regard to case. Sorted without regard to case; names the
// game could not read back from tm.ini are left out. Missing folder: empty list.
std::vector<std::string> listPalettes(const std::string& gameFolder);

// The listed name that a user-typed name means: the exact name, else the only one equal to it
// without regard to case. Empty when there is none.
std::string findPalette(const std::vector<std::string>& palettes, const std::string& name);

// Host path of the game folder's tm.ini (any letter case); empty when there is none.
std::string findIniFile(const std::string& gameFolder);

// The tm.ini text with PaletteFile in [Misc] set to value: the line keeps everything up to its
// "=" and ends "= " + value + CR LF; every other byte stays. A missing key is added at the top
// of the first [Misc] block, a missing [Misc] at the end of the text.
std::string setPaletteInText(const std::string& iniText, const std::string& value);

// "Palettes\" + name, the value for a chosen palette.
std::string paletteValue(const std::string& paletteName);

// Rewrites the game folder's tm.ini with the value, through a temporary file renamed over it.
WriteResult writePaletteValue(const std::string& gameFolder, const std::string& value);

// "Change Palette!" for the palette at index selected of the list (-1: none selected).
WriteResult changePalette(const std::string& gameFolder, const std::vector<std::string>& palettes,
                          int selected);

// Folder of the running program (from /proc/self/exe); empty when it cannot be found.
std::string ownFolder();

// Starts a program detached from us (own session, not our child), in its own folder, so it
// outlives the dialog. False with a reason when it could not be started.
bool startDetached(const std::string& programPath, std::string& reason);
