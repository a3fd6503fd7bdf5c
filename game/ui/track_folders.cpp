#include "ui/track_folders.h"

#include "platform/file_ops.h"
#include "platform/game_path.h"
#include "platform/path_inside.h"
#include "platform/safe_name.h"
#include "files/folder_list.h"

#include <algorithm>

namespace {

constexpr int trackNameLimit = 12;
const std::string tracksFolder = "tracks";

std::vector<std::string> selection;

// A name on disk holding a backslash or a dot-dot would turn into another path once joined.
bool usableName(const std::string& name) { return isSafeFileName(name); }

// "\name" or "\folder\name" split into its parts; false for anything else.
bool splitTrackPath(const std::string& path, std::string& folder, std::string& name)
{
    if (path.size() < 2 || path[0] != '\\') return false;
    size_t last = path.rfind('\\');
    name = path.substr(last + 1);
    folder = last == 0 ? std::string() : path.substr(1, last - 1);
    if (!usableName(name)) return false;
    return folder.empty() || usableName(folder);
}

// The game path of a selected track's file when it is one this game may touch.
bool trackFile(const std::string& path, std::string& gamePath, std::string& name)
{
    std::string folder;
    if (!splitTrackPath(path, folder, name)) return false;
    gamePath = tracksFolder + path + ".trk";
    return gameFileExists(gamePath) && !isGameFolder(gamePath) && parentStaysInside(gamePath, tracksFolder);
}

// The file's own name on disk: a track listed by its short name keeps its long name.
std::string nameOnDisk(const std::string& gamePath)
{
    std::string host = hostPath(gamePath);
    size_t slash = host.find_last_of('/');
    return slash == std::string::npos ? host : host.substr(slash + 1);
}

}  // namespace

std::vector<std::string> trackFolderNames()
{
    std::vector<std::string> names;
    listFolder(names, tracksFolder, "", listFolders, trackFolderNameLimit);
    names.erase(std::remove_if(names.begin(), names.end(), [](const std::string& n) { return !usableName(n); }),
                names.end());
    return names;
}

std::vector<ListedTrack> listFolderTracks(const std::string& folder)
{
    std::vector<ListedTrack> out;
    if (!folder.empty() && !usableName(folder)) return out;
    std::vector<std::string> names;
    listFolder(names, folder.empty() ? tracksFolder : tracksFolder + "\\" + folder, "trk", listFiles, trackNameLimit);
    for (const std::string& name : names)
        if (usableName(name)) out.push_back({name, (folder.empty() ? "\\" : "\\" + folder + "\\") + name});
    return out;
}

const std::vector<std::string>& selectedTracks() { return selection; }

bool isTrackSelected(const std::string& path)
{
    return std::find(selection.begin(), selection.end(), path) != selection.end();
}

void setTrackSelected(const std::string& path, bool on)
{
    auto at = std::find(selection.begin(), selection.end(), path);
    if (on && at == selection.end()) selection.push_back(path);
    if (!on && at != selection.end()) selection.erase(at);
}

void clearTrackSelection() { selection.clear(); }

void chooseFolderEntry(std::vector<uint8_t>& chosen, int clicked, bool ctrl, bool shift, int& anchor, int previous)
{
    int count = int(chosen.size());
    if (clicked < 0 || clicked >= count) return;
    if (ctrl) {
        chosen[size_t(clicked)] ^= 1;
        anchor = -1;
        return;
    }
    if (shift) {
        if (anchor < 0 || anchor >= count) anchor = previous >= 0 && previous < count ? previous : 0;
        int from = std::min(anchor, clicked), to = std::max(anchor, clicked);
        for (int i = 0; i < count; ++i) chosen[size_t(i)] = i >= from && i <= to;
        return;
    }
    for (int i = 0; i < count; ++i) chosen[size_t(i)] = i == clicked;
    anchor = -1;
}

bool isTrackFolderNameAllowed(const std::string& name)
{
    return isSafeFileName(name, trackFolderNameLimit);
}

bool createTrackFolder(const std::string& name)
{
    if (!isTrackFolderNameAllowed(name) || !isGameFolder(tracksFolder)) return false;
    // The path finds anything already there under another case or by its short name.
    std::string path = tracksFolder + "\\" + name;
    if (gameFileExists(path)) return false;
    return makeGameFolder(path) && isGameFolder(path);
}

bool deleteTrackFolder(const std::string& name)
{
    if (!usableName(name)) return false;
    // A file under the name of a folder that is gone is not what the player chose to remove.
    std::string path = tracksFolder + "\\" + name;
    if (!isGameFolder(path) || !parentStaysInside(path, tracksFolder)) return false;
    return deleteGameTree(path);
}

int moveTracks(const std::vector<std::string>& paths, const std::string& target)
{
    std::string folder = tracksFolder + "\\" + target;
    bool targetOk = usableName(target) && isGameFolder(folder) && parentStaysInside(folder + "\\x", tracksFolder);
    int failures = 0;
    for (const std::string& path : paths) {
        std::string from, name;
        if (!targetOk || !trackFile(path, from, name)) {
            ++failures;
            continue;
        }
        std::string onDisk = nameOnDisk(from);
        if (!usableName(onDisk) || !moveGameFile(from, folder + "\\" + onDisk)) ++failures;
    }
    return failures;
}

int deleteTracks(const std::vector<std::string>& paths)
{
    int failures = 0;
    for (const std::string& path : paths) {
        std::string file, name;
        if (!trackFile(path, file, name) || !removeGameFile(file)) ++failures;
    }
    return failures;
}
