// Finding the files to pack in the game folder.
#include "zipper_folder.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <strings.h>
#include <sys/stat.h>

std::vector<std::string> subfolders(const std::string& folder)
{
    std::vector<std::string> found;
    for (const std::string& n : folderEntries(folder)) {
        if (isKind(folder + "/" + n, EntryKind::Folder)) {
            found.push_back(n);
        }
    }
    std::stable_sort(found.begin(), found.end(), [](const std::string& a, const std::string& b) {
        return strcasecmp(a.c_str(), b.c_str()) < 0;
    });
    return found;
}

std::vector<FoundFile> listNewestFirst(const std::string& folder, const char* extension)
{
    std::vector<FoundFile> files;
    size_t extLength = strlen(extension);
    for (const std::string& n : folderEntries(folder)) {
        if (n.size() <= extLength || strcasecmp(n.c_str() + n.size() - extLength, extension) != 0) {
            continue;
        }
        FoundFile f;
        f.path = folder + "/" + n;
        f.name = n;
        struct stat st;
        if (stat(f.path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
            continue;
        }
        f.mtime = st.st_mtim.tv_sec;
        f.mtimeNanos = st.st_mtim.tv_nsec;
        files.push_back(f);
    }
    // Full precision rather than whole minutes, so two files of one minute still have an order.
    std::stable_sort(files.begin(), files.end(), [](const FoundFile& a, const FoundFile& b) {
        if (a.mtime != b.mtime) {
            return a.mtime > b.mtime;
        }
        return a.mtimeNanos > b.mtimeNanos;
    });
    return files;
}

const FoundFile* chooseSavedGame(const std::vector<FoundFile>& newestFirst)
{
    if (newestFirst.empty()) {
        return nullptr;
    }
    // The autosave is written before every race; the user's own save is the entry.
    if (strcasecmp(newestFirst[0].name.c_str(), "Autosave.gam") == 0 && newestFirst.size() > 1) {
        return &newestFirst[1];
    }
    return &newestFirst[0];
}

static std::string realPath(const std::string& path)
{
    char buf[PATH_MAX];
    return realpath(path.c_str(), buf) ? std::string(buf) : std::string();
}

TrackLookup findTrackFile(const std::string& gameFolder, const std::string& entry, FoundFile& out)
{
    // Split at backslashes; the leading one of a list entry gives an empty first part.
    std::vector<std::string> parts;
    std::string part;
    for (size_t i = 0; i <= entry.size(); i++) {
        if (i == entry.size() || entry[i] == '\\') {
            if (!part.empty()) {
                parts.push_back(part);
            }
            part.clear();
            continue;
        }
        unsigned char c = (unsigned char)entry[i];
        if (c == '/' || c < 0x20) {
            return TrackLookup::BadName;
        }
        part += entry[i];
    }
    if (parts.empty()) {
        return TrackLookup::BadName;
    }
    for (const std::string& p : parts) {
        if (p == "." || p == "..") {
            return TrackLookup::BadName;
        }
    }

    std::string tracks = findEntry(gameFolder, "Tracks", EntryKind::Folder);
    if (tracks.empty()) {
        return TrackLookup::Missing;
    }
    std::string at = tracks;
    for (size_t i = 0; i + 1 < parts.size(); i++) {
        at = findEntry(at, parts[i], EntryKind::Folder);
        if (at.empty()) {
            return TrackLookup::Missing;
        }
    }
    std::string file = findEntry(at, parts.back() + ".trk", EntryKind::File);
    if (file.empty()) {
        return TrackLookup::Missing;
    }
    // A link inside Tracks may point anywhere; only what really lies below Tracks is read.
    std::string root = realPath(tracks);
    std::string real = realPath(file);
    if (root.empty() || real.size() <= root.size() + 1 || real.compare(0, root.size(), root) != 0 ||
        real[root.size()] != '/') {
        return TrackLookup::Outside;
    }
    struct stat st;
    if (stat(real.c_str(), &st) != 0) {
        return TrackLookup::Missing;
    }
    out.path = real;
    // The name the save refers to, not that of a link's target: the game finds it by that.
    out.name = file.substr(file.rfind('/') + 1);
    out.mtime = st.st_mtim.tv_sec;
    out.mtimeNanos = st.st_mtim.tv_nsec;
    return TrackLookup::Found;
}

bool readWholeFile(const std::string& path, std::vector<uint8_t>& data, size_t limit)
{
    FILE* f = fopen(path.c_str(), "rb");
    if (!f) {
        return false;
    }
    data.clear();
    uint8_t buf[65536];
    size_t got;
    bool ok = true;
    while ((got = fread(buf, 1, sizeof buf, f)) > 0) {
        if (data.size() + got > limit) {
            ok = false;
            break;
        }
        data.insert(data.end(), buf, buf + got);
    }
    ok = ok && !ferror(f);
    fclose(f);
    return ok;
}
