#pragma once
// The game folder as the zipper sees it: folders found in any letter case, the newest file of
// a folder, and a saved game's track name turned into a file that surely lies in Tracks.
#include "folder_entries.h"

#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

struct FoundFile {
    std::string path;   // host path to open
    std::string name;   // the file's own name, as it is on disk
    time_t mtime = 0;
    long mtimeNanos = 0;
};

// Names of the folders inside folder, sorted without regard to case.
std::vector<std::string> subfolders(const std::string& folder);

// Regular files of folder whose name ends in extension (any case), newest first.
std::vector<FoundFile> listNewestFirst(const std::string& folder, const char* extension);

// The saved game to pack: the newest, unless that is the autosave and another exists.
const FoundFile* chooseSavedGame(const std::vector<FoundFile>& newestFirst);

enum class TrackLookup {
    Found,
    BadName,   // "..", "/", an empty name: never looked up
    Missing,   // no such file below Tracks
    Outside,   // the name leads out of Tracks (through a link)
};

// Tracks + entry + ".trk" for a track list entry such as "\rally\forest" (backslashes separate
// track folders). Only files that really lie below the game folder's Tracks are found.
TrackLookup findTrackFile(const std::string& gameFolder, const std::string& entry, FoundFile& out);

// The whole file; false when it cannot be read or is larger than limit.
bool readWholeFile(const std::string& path, std::vector<uint8_t>& data, size_t limit);
