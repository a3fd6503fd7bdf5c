#pragma once
// The private game folder a tmsim race runs in, and the saved games that pass through it.
#include "race_sim.h"

#include <filesystem>
#include <string>

// The game reads everything below its own folder: a private one whose tracks, cars and
// options.set are the ones asked for. Only links live in it; the race writes through them.
// It is removed with the record.
struct SimFolder {
    std::filesystem::path root;
    std::string entry;  // the new race's track below tracks\, as the game names it
    ~SimFolder();
};

// saves\<name>.gam in the folder: the game saved there, or the one to be continued.
constexpr char simSavedGameName[] = "tmsim";

// Where cars\ and tm.ini are read, and a saved game's track when no track is given.
std::filesystem::path simGameFolder(const SimArguments& a);

// For a new race: tracks\ is the folder of the track given. False, with the reason, when the
// track or the options are not there or the folder cannot be made.
bool stageNewRace(const SimArguments& a, SimFolder& folder, std::string& why);
// For a saved game: the file in saves\, and tracks\ the folder of the track given, else the
// game folder's.
bool stageSavedGame(const SimArguments& a, SimFolder& folder, std::string& why);

// The game's saved game copied out to target through a temporary file beside it, so the
// target is the old file or the whole new one.
bool copySavedGameOut(const std::string& target);
