#include "files/language.h"

#include "platform/exe_folder.h"
#include "platform/safe_name.h"
#include "state/game_state.h"
#include "track/track_file.h"

#include <cstdio>

const char* const englishStrings[] = {
    "Oops!", "lap", "laps", "kilometer", "kilometers", "on", "off", "Race distance", "Track record", "Fastest lap",
    // 10
    "Official standings", "Official championship", "standings", "Championship points", "after race ", " ",
    "LOADING...", "Exit", "Start", "Race length",
    // 20
    "Select player(s) and track(s) first!", "Select none", "Select all", "Randomize", "Cancel", "Options",
    "Advanced", "Drivers", "OK", "Resume",
    // 30
    "End Season", "OK", "Yes", "No", "Main menu", "Options", "Advanced options", "Driver options", "game",
    "Tyre wear",
    // 40
    "Fuel consumption", "Fuel mass", "Damage", "Race length", "Starting order", "Points", "1st place",
    "2nd place", "3rd place", "4th place",
    // 50
    "5th place", "6th place", "Fastest lap", "laps", "kilometers", "random", "points", "points, reversed",
    "point|points", "Resolution",
    // 60
    "Effects", "Shadows", "Vertical sync.", "Ghost car", "Engine volume", "Skid volume", "Effects volume",
    "Game speed", "Language", "Sound set",
    // 70
    "Create driver", "Delete driver", "Driver stats", "Driver", "Colors", "Controls", "Accelerate", "Brake",
    "Steer left", "Steer right",
    // 80
    "unassigned", "Name", "Type", "human", "computer", "Driver needs a name.", "Driver already exists.",
    "Game paused", "Select control for", "AI driver skill",
    // 90
    "Load", "Save", "Delete", "Filename", "Files", "File '", "' already exist. Overwrite?", "Save game",
    "File '", "' does not exist!",
    // 100
    "Load game", "Load failed!", "Really delete", "Delete file", "Wins", "2nd places", "3rd places",
    "4th places", "5th places", "6th places",
    // 110
    "Races", "Seasons", "Total", "Total points", "Fastest laps", "Driver statistics", "Are you sure?",
    "End race", "Best times", "Time trial results",
    // 120
    "Time trial", "Best time", "Goofy reverse", "Track info", "Track length", "Reset", "Are you sure?",
    "Author", "[all tracks]", "[misc. tracks]",
    // 130
    "[multiple folders]", "Create", "Delete", "selected", "Move to", "Delete tracks", "Select", "Create folder",
    "Enter a name for the folder", "Failed to create a folder.",
    // 140
    "Delete folder", "Select a folder first.", "Are you sure you want to delete the folder and all its contents?",
    "Failed to delete the folder.", "Move tracks", "Some tracks could not be moved.", "Delete tracks",
    "Select atleast one track first.", "Are you sure you want to delete these", "tracks?",
    // 150
    "Some tracks could not be deleted.", "Replay", "ESC to exit, F1 for help.", "Rate", "Play", "Stop",
    "Reverse play", "Fast forward", "Rewind", "Adjust replay rate",
    // 160
    "Go to begin/end", "Begin/end cut area", "Fullscreen mode",
    "",  // 163 kept free for a text another change adds
    "Press a key to go on",
    // 165
    "Driver name is too long: at most 12 characters.",
    "Driver name cannot be a file name. Use letters and digits.", "Save failed!",
    "Save failed! The display and language stay as they were.",
    "The driver races in this game: delete it when the game is over.",
    // 170: the menus' keys, a line each, shown by F1
    "Tab, Shift+Tab: next, previous control",
    "Up, Down: the same; in a list, its rows",
    "Left, Right: a slider's value",
    "Enter, Space: press, or take an entry",
    "Enter off a button: Start or OK",
    "Escape: Cancel, Exit, back to the race",
    "Right button: driver or track facts",
    "F12, F11: screenshot",
    "Alt+Enter: window or fullscreen",
};
static_assert(sizeof englishStrings / sizeof englishStrings[0] == uiStringCount);

std::string uiText(int index, const char* english)
{
    const std::string& s = game.uiStrings[index];
    return s.empty() ? std::string(english) : s;
}

bool findTranslation(const std::string& file, int index, std::string& text)
{
    char tag[16];
    std::snprintf(tag, sizeof tag, "#%04d#", index);
    size_t at = file.find(tag);
    if (at == std::string::npos) return false;
    size_t open = file.find('"', at);
    if (open == std::string::npos) return false;
    size_t close = file.find('"', open + 1);
    if (close == std::string::npos) {
        // An unclosed text runs to the end of the file, less its last character.
        size_t end = file.size() - 1;
        text = end > open + 1 ? file.substr(open + 1, end - open - 1) : std::string();
    } else {
        text = file.substr(open + 1, close - open - 1);
    }
    return true;
}

static void assignEnglish()
{
    for (int i = 0; i < uiStringCount; ++i) game.uiStrings[i] = englishStrings[i];
}

int loadLanguage(const std::string& name)
{
    changeToFolder(game.exeFolder);
    TrackFile f;
    if (!isSafeFileName(name) || !f.open("lang\\" + name + ".lng", trackFileRead)) {
        assignEnglish();
        return -1;
    }
    std::string file;
    char buffer[4096];
    while (size_t n = f.read(buffer, sizeof buffer)) {
        for (size_t i = 0; i < n; ++i) {
            // Text mode: CR LF reads as LF, so files written on either kind of system read the same.
            if (buffer[i] == '\n' && !file.empty() && file.back() == '\r') file.back() = '\n';
            else file += buffer[i];
        }
    }
    f.close();
    for (int i = 0; i < uiStringCount; ++i)
        if (!findTranslation(file, i, game.uiStrings[i])) game.uiStrings[i] = englishStrings[i];
    return 0;
}
