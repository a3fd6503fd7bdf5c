#include "game_folder.h"

#include <algorithm>
#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>
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

static bool exists(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

static bool isFolder(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

static bool isFile(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

static std::vector<std::string> entriesOf(const std::string& folder)
{
    std::vector<std::string> names;
    if (DIR* d = opendir(folder.c_str())) {
        while (dirent* e = readdir(d)) {
            std::string n = e->d_name;
            if (n != "." && n != "..") names.push_back(n);
        }
        closedir(d);
    }
    // Listing order differs between file systems; sorted, the first match is always the same.
    std::sort(names.begin(), names.end());
    return names;
}

std::string resolveInFolder(const std::string& folder, const std::string& relative)
{
    std::string path = folder;
    for (const std::string& part : components(relative)) {
        if (part.empty()) continue;
        std::string exact = path + "/" + part;
        if (exists(exact)) {
            path = exact;
            continue;
        }
        std::string found;
        for (const std::string& n : entriesOf(path)) {
            if (strcasecmp(n.c_str(), part.c_str()) == 0) {
                found = path + "/" + n;
                break;
            }
        }
        if (found.empty()) return "";
        path = found;
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
    if (tracks.empty() || !isFolder(tracks)) {
        why = "no tracks folder in " + gameFolder;
        return "";
    }
    std::string path = resolveInFolder(tracks, trackName + ".trk");
    if (!path.empty() && isFile(path)) return path;
    // A track moved into a track folder keeps its file name.
    std::string file = components(trackName).back() + ".trk";
    path = resolveInFolder(tracks, file);
    if (!path.empty() && isFile(path)) return path;
    for (const std::string& sub : entriesOf(tracks)) {
        if (!isFolder(tracks + "/" + sub)) continue;
        path = resolveInFolder(tracks + "/" + sub, file);
        if (!path.empty() && isFile(path)) return path;
    }
    why = trackName + " not found!!";
    return "";
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
