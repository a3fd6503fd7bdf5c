#pragma once
// One saved game analysed: its values, its track, the first car's laps, and the messages the
// window shows. Nothing here writes a game file.
#include "lap_analysis.h"
#include "saved_game_reader.h"
#include "track_reader.h"

#include <string>
#include <vector>

constexpr size_t savedGameLimit = 64u << 20;  // beyond any replay the game can record
constexpr size_t trackFileLimit = 16u << 20;
constexpr size_t maxMessages = 7, maxMessageLength = 100;

struct Analysis {
    std::string gamePath;
    SavedGameInfo game;
    bool trackRead = false;
    std::string trackPath;
    TrackInfo track;
    LapAnalysis laps;
    std::vector<std::string> messages;  // the newest last
    std::string trackMessage;           // why no track is shown, until one is used
};

// Reads the saved game, finds its track (beside it, else beside its saves folder, else below
// gameFolder's tracks) and cuts the laps. False,
// with a one-line reason, when the saved game cannot be read; a missing track is only a message.
bool analyseSavedGame(const std::string& gameFolder, const std::string& gamPath, Analysis& out, std::string& why);

// Reads a track file (one the user chose, or the one found) into the analysis and cuts the
// laps anew: the message why there was none goes. False, with the reason, when it
// cannot be used; the map then stays empty.
bool useTrackFile(Analysis& a, const std::string& trackPath, std::string& why);

// The same work on bytes in memory; track may be null.
bool analyseBytes(const uint8_t* gam, size_t gamSize, const uint8_t* trk, size_t trkSize, Analysis& out,
                  std::string& why);

// Adds a line to the messages: at most 7 are kept, each cut to 100 characters.
void addMessage(Analysis& a, const std::string& text);
