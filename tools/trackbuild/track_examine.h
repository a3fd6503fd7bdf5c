#pragma once
// Reading a built track back through the game's own loader, to describe it, to check what an
// author must fix, and to draw its map.
#include <string>
#include <vector>

// Loads a track file from any host path into the game record. False when the game refuses it.
bool loadTrackForInspection(const std::string& hostPath, std::string& why);

// The track's version, size, counts, lap length, author, records and checksum.
std::string describeTrack(const std::string& hostPath);

// Problems an author must fix; empty when there are none. Needs the track loaded.
std::vector<std::string> checkTrack(const std::string& hostPath);

// A top-down picture of the loaded track: ground by class, water, the driving line, gates,
// grid slots, pit lane and boxes, objects. False when it cannot be written.
bool writeTrackMap(const std::string& bmpHostPath);
