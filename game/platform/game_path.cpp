#include "platform/game_path.h"

#include "platform/folder_entries.h"
#include "platform/name_compare.h"

#include <sys/stat.h>
#include <unistd.h>

static bool hostExists(const std::string& path)
{
    struct stat st;
    return lstat(path.c_str(), &st) == 0;
}

// The entry of a folder that a component names: same name without regard to case, else an alias.
static std::string matchComponent(const std::string& folder, const std::string& component)
{
    std::vector<FolderEntry> entries = listHostFolder(folder);
    for (auto& e : entries)
        if (equalNoCase(e.name, component)) return e.name;
    for (auto& e : entries)
        if (!e.shortName.empty() && equalNoCase(e.shortName, component)) return e.name;
    return component;
}

std::string hostPath(const std::string& gamePath)
{
    std::string path = gamePath;
    for (char& c : path)
        if (c == '\\') c = '/';
    std::string out;
    size_t i = 0;
    if (!path.empty() && path[0] == '/') {
        out = "/";
        i = 1;
    }
    bool resolving = true;  // once a component is missing, nothing below it can exist
    while (i <= path.size()) {
        size_t end = path.find('/', i);
        if (end == std::string::npos) end = path.size();
        std::string component = path.substr(i, end - i);
        i = end + 1;
        if (component.empty()) continue;
        std::string folder = out.empty() ? std::string(".") : out;
        std::string joined = out.empty() || out.back() == '/' ? out + component : out + "/" + component;
        if (resolving && component != "." && component != ".." && !hostExists(joined)) {
            std::string match = matchComponent(folder, component);
            joined = out.empty() || out.back() == '/' ? out + match : out + "/" + match;
            if (match == component) resolving = false;
        }
        out = joined;
    }
    return out.empty() ? std::string(".") : out;
}

std::FILE* openGameFile(const std::string& gamePath, const char* mode)
{
    return std::fopen(hostPath(gamePath).c_str(), mode);
}

bool gameFileExists(const std::string& gamePath)
{
    struct stat st;
    return stat(hostPath(gamePath).c_str(), &st) == 0;
}

bool isGameFolder(const std::string& gamePath)
{
    struct stat st;
    return stat(hostPath(gamePath).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool makeGameFolder(const std::string& gamePath)
{
    std::string host = hostPath(gamePath);
    if (mkdir(host.c_str(), 0755) == 0) return true;
    struct stat st;
    return stat(host.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool removeGameFile(const std::string& gamePath)
{
    return unlink(hostPath(gamePath).c_str()) == 0;
}

long gameFileSize(const std::string& gamePath)
{
    struct stat st;
    if (stat(hostPath(gamePath).c_str(), &st) != 0) return -1;
    return static_cast<long>(st.st_size);
}
