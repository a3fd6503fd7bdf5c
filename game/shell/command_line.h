#pragma once
// The game's command line: without arguments the game starts as a player expects; --race
// starts one race at once, --load a saved game on the screen where it was left.
#include <string>

struct CommandLine {
    bool help = false;
    bool race = false;
    std::string track;       // a name below tracks, folder part allowed
    int laps = 0;            // 0: the options' race length
    int computers = 5;
    bool load = false;
    std::string saveName;    // saves\<saveName>.gam
    bool quitAfterMenu = false;  // ends after the main menu was first shown, for timing start-up
};

// False, with the reason in why, for an unknown option or a bad number.
bool parseCommandLine(int argc, char** argv, CommandLine& out, std::string& why);

extern const char* const commandLineUsage;
