#pragma once
// Finding files in the game folder the way the game names them: backslash paths whose letter
// case need not match the disk.
#include <string>

// A season's track entry that stays below tracks: components separated by "\" or "/" (one
// leading separator allowed), none empty, "." or "..", and no control characters.
bool safeTrackName(const std::string& name);

// Host path of folder + relative path (components by "\" or "/"), each component matched
// exactly or else without regard to case. Empty when something does not exist.
std::string resolveInFolder(const std::string& folder, const std::string& relative);

// The track file of an entry, only ever below gameFolder/tracks: the entry's own path, else a
// file of its name in tracks or one of its folders. Empty, with the reason, when there is none.
std::string findTrackFile(const std::string& gameFolder, const std::string& trackName, std::string& why);

// The track file of a saved game's entry: beside the saved game (an unpacked competition
// entry), then in the tracks folder beside the saves folder it lies in (the game folder it came
// from), then below gameFolder's tracks. Empty, with the reason, when there is none.
std::string findTrackForSave(const std::string& gamPath, const std::string& gameFolder, const std::string& trackName,
                             std::string& why);

// Folder of the running program, where it is installed in the game folder; "." when unknown.
std::string programFolder();
