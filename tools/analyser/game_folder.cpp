#include "game_folder.h"

#include "folder_entries.h"

#include <filesystem>
#include <strings.h>
#include <unistd.h>
#include <vector>

static std::vector<std::string> components(const std::string& path)
{
    std::vector<std::string> parts;
    std::string part;
    for (char c : path) {
        if (c == '\\' || c == '/') {
            parts.push_back(part);
            part.clear();
        } else {
            part += c;
        }
    }
    parts.push_back(part);
    return parts;
}

bool safeTrackName(const std::string& name)
{
    if (name.empty()) return false;
    std::vector<std::string> parts = components(name);
    // The game's entries begin with a backslash.
    if (parts.size() > 1 && parts.front().empty()) parts.erase(parts.begin());
    for (const std::string& p : parts) {
        if (p.empty() || p == "." || p == "..") return false;
        for (unsigned char c : p)
            if (c < 0x20 || c == 0x7f) return false;
    }
    return true;
}

std::string resolveInFolder(const std::string& folder, const std::string& relative)
{
    std::string path = folder;
    for (const std::string& part : components(relative)) {
        if (part.empty()) continue;
        path = findEntry(path, part, EntryKind::Any);
        if (path.empty()) return "";
    }
    return path;
}

std::string findTrackFile(const std::string& gameFolder, const std::string& trackName, std::string& why)
{
    if (!safeTrackName(trackName)) {
        why = "track name \"" + trackName + "\" leads outside the tracks folder";
        return "";
    }
    std::string tracks = resolveInFolder(gameFolder, "tracks");
    if (tracks.empty() || !isKind(tracks, EntryKind::Folder)) {
        why = "no tracks folder in " + gameFolder;
        return "";
    }
    std::string path = resolveInFolder(tracks, trackName + ".trk");
    if (!path.empty() && isKind(path, EntryKind::File)) return path;
    // A track moved into a track folder keeps its file name.
    std::string file = components(trackName).back() + ".trk";
    path = resolveInFolder(tracks, file);
    if (!path.empty() && isKind(path, EntryKind::File)) return path;
    for (const std::string& sub : folderEntries(tracks)) {
        if (!isKind(tracks + "/" + sub, EntryKind::Folder)) continue;
        path = resolveInFolder(tracks + "/" + sub, file);
        if (!path.empty() && isKind(path, EntryKind::File)) return path;
    }
    why = trackName + " not found!!";
    return "";
}

std::string findTrackForSave(const std::string& gamPath, const std::string& gameFolder, const std::string& trackName,
                             std::string& why)
{
    if (!safeTrackName(trackName)) return findTrackFile(gameFolder, trackName, why);
    namespace fs = std::filesystem;
    std::error_code error;
    fs::path folder = fs::absolute(gamPath, error).lexically_normal().parent_path();
    if (!error && !folder.empty()) {
        // Beside the saved game the file goes by its own name, whatever track folder it came from.
        std::string path = resolveInFolder(folder.string(), components(trackName).back() + ".trk");
        if (!path.empty() && isKind(path, EntryKind::File)) return path;
        if (strcasecmp(folder.filename().c_str(), "saves") == 0) {
            std::string ignored;
            path = findTrackFile(folder.parent_path().string(), trackName, ignored);
            if (!path.empty()) return path;
        }
    }
    std::string path = findTrackFile(gameFolder, trackName, why);
    // Looked for in more places than the game folder's tracks.
    if (path.empty()) why = trackName + " not found!!";
    return path;
}

std::string programFolder()
{
    char buffer[4096];
    ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0) return ".";
    std::string path(buffer, size_t(n));
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
}
