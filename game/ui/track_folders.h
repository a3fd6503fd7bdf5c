#pragma once
// The track collection on disk as the track manager works on it: the folders below tracks, the
// tracks in each, the ordered selection handed to a race, and the file operations a person
// starts from the main menu. Every path is built from names that could stand as one file name,
// and nothing is created, moved or removed outside tracks, not even through a link.
#include <cstdint>
#include <string>
#include <vector>

// The folder list shows names up to this length as they are, longer ones by their short name.
constexpr int trackFolderNameLimit = 20;

// Subfolders of tracks, sorted, as the folder lists show them.
std::vector<std::string> trackFolderNames();

// A listed track: its name in the list and its path below tracks, "\name" or "\folder\name".
struct ListedTrack {
    std::string name;
    std::string path;
};
// The tracks of one folder ("" for those lying directly in tracks), sorted.
std::vector<ListedTrack> listFolderTracks(const std::string& folder);

// The ordered selection of track paths; it outlives changes of the listed folders.
const std::vector<std::string>& selectedTracks();
bool isTrackSelected(const std::string& path);
void setTrackSelected(const std::string& path, bool on);
void clearTrackSelection();

// A click on entry clicked of the folder list. chosen holds the entries' flags before the click;
// anchor is where a Shift range starts (-1 none) and previous the entry clicked before (-1 none).
// Ctrl toggles the entry, Shift chooses the range from the anchor, else the entry alone.
void chooseFolderEntry(std::vector<uint8_t>& chosen, int clicked, bool ctrl, bool shift, int& anchor,
                       int previous);

// A name typed for a new folder that is shown as typed and opens nothing but itself.
bool isTrackFolderNameAllowed(const std::string& name);
// Makes tracks\<name>; false for a refused name, one already taken, or a failed create.
bool createTrackFolder(const std::string& name);
// Removes tracks\<name> with everything in it; a link is removed, never followed.
bool deleteTrackFolder(const std::string& name);
// Moves each track into tracks\<target>, never over a file there. Returns how many failed.
int moveTracks(const std::vector<std::string>& paths, const std::string& target);
// Removes each track file. Returns how many failed.
int deleteTracks(const std::vector<std::string>& paths);
