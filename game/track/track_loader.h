#pragma once
// Reading a track file into the game record before a race or for the information screen.
#include <string>

// entry: the track's path below tracks, beginning with a backslash, without extension.
// 0 on success; -1 when the file cannot be opened or is newer than this game, leaving the
// loaded track as it was.
int loadTrack(const std::string& entry);

// The same body for the information screen, with the author and description and without pit
// boxes, the ghost or the records seed.
int loadTrackPreview(const std::string& entry);

// Frees the track's maps and arrays.
void freeTrackData();
