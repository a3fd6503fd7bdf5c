// Case-insensitive lookup of names in a folder.
#include "folder_entries.h"

#include <algorithm>
#include <cstring>
#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>

bool isKind(const std::string& path, EntryKind kind)
{
    struct stat st;
    if (stat(path.c_str(), &st) != 0) {
        return false;
    }
    switch (kind) {
    case EntryKind::File:
        return S_ISREG(st.st_mode);
    case EntryKind::Folder:
        return S_ISDIR(st.st_mode);
    case EntryKind::Any:
        break;
    }
    return true;
}

std::vector<std::string> folderEntries(const std::string& folder)
{
    std::vector<std::string> names;
    DIR* dir = opendir(folder.c_str());
    if (!dir) {
        return names;
    }
    while (struct dirent* e = readdir(dir)) {
        if (strcmp(e->d_name, ".") != 0 && strcmp(e->d_name, "..") != 0) {
            names.push_back(e->d_name);
        }
    }
    closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

std::string findEntry(const std::string& folder, const std::string& name, EntryKind kind)
{
    std::string exact = folder + "/" + name;
    if (isKind(exact, kind)) {
        return exact;
    }
    for (const std::string& n : folderEntries(folder)) {
        std::string path = folder + "/" + n;
        if (strcasecmp(n.c_str(), name.c_str()) == 0 && isKind(path, kind)) {
            return path;
        }
    }
    return "";
}
