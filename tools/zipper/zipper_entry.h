#pragma once
// A competition entry: the newest saved game, the newest screenshot and the saved game's
// track, found in the game folder, and the archive zip\<name>.zip made of them.
#include "zipper_folder.h"
#include "zipper_game.h"
#include "zipper_profile.h"

#include <cstdint>
#include <string>
#include <vector>

struct CompetitionEntry {
    bool savesFolder = false;       // without it the tool is not in the game folder

    bool hasGame = false;           // a saved game was found and read
    FoundFile game;
    std::string gameShown;          // "Saves\race.gam"
    std::vector<uint8_t> gameData;
    bool gameReadable = false;      // its values could be taken
    SavedGameValues gameValues;
    std::string gameProblem;

    bool hasScreen = false;
    FoundFile screen;
    std::string screenShown;
    std::vector<uint8_t> screenData;

    bool hasTrack = false;
    FoundFile track;
    std::string trackShown;         // "Tracks\rally\forest.trk", also when it is missing
    std::vector<uint8_t> trackData;
    TrackValues trackValues;
    std::string trackProblem;
};

// Everything the tool finds; false when there is no Saves folder.
bool gatherEntry(const std::string& gameFolder, CompetitionEntry& entry);

// The archive name from the profile's order values: track, driver, "time_speed" and the text,
// lowest order value first, parts of order value 0 or less left out, joined by "_". "Zip"
// when nothing is left.
std::string suggestedArchiveName(const ZipperProfile& profile, const CompetitionEntry& entry);

// A name that stays one file in the folder zip and in any unpacker: no separators, no
// characters Windows refuses, not "." or "..".
bool plainArchiveName(const std::string& name);

struct PackChoice {
    bool track = true;
    bool game = true;
    bool screen = true;
    bool jpg = true;
};

enum class MakeResult {
    Made,
    Exists,        // zip\<name>.zip is there and overwriting was not allowed
    BadName,
    NoZipFolder,
    NoScreen,
    BadScreen,     // the screenshot could not be converted to JPEG
    NoGame,
    BadGame,       // the saved game's values could not be read, so its track is unknown
    NoTrack,
    WriteFailed,
};

// Writes zip\<name>.zip with the ticked members: the screenshot as <name>.jpg or <name>.bmp,
// the saved game as <name>.gam, the track under its own file name.
MakeResult makeArchive(const std::string& gameFolder, const CompetitionEntry& entry,
                       const PackChoice& choice, const std::string& name, bool overwrite);

// The German sentence for a result.
const char* makeMessage(MakeResult result);

// What the name field shows after a made archive.
std::string madeText(const std::string& name);

// "1:23.45" for a time in 1/100 s.
std::string formatRaceTime(int32_t hundredths);

// Average speed of the race in km/h, 0 when it cannot be known.
int averageSpeed(const CompetitionEntry& entry);
