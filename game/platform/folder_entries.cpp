#include "platform/folder_entries.h"

#include "platform/game_path.h"
#include "platform/name_compare.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <dirent.h>
#include <map>
#include <sys/stat.h>

bool fitsShortForm(const std::string& name)
{
    if (name.empty() || name == "." || name == "..") return true;
    size_t dot = name.find('.');
    std::string base = name.substr(0, dot);
    std::string ext = dot == std::string::npos ? std::string() : name.substr(dot + 1);
    if (base.empty() || base.size() > 8 || ext.size() > 3) return false;
    if (ext.find('.') != std::string::npos) return false;
    if (dot != std::string::npos && ext.empty()) return false;
    for (char c : name) {
        unsigned char u = static_cast<unsigned char>(c);
        if (u <= ' ' || u >= 127 || std::strchr("+,;=[]\"*?<>|:", c)) return false;
    }
    return true;
}

// The characters that survive into an alias: letters and digits upper-cased, spaces and dots
// dropped, anything else unusual turned into '_'.
static std::string aliasChars(const std::string& s)
{
    std::string out;
    for (char c : s) {
        unsigned char u = static_cast<unsigned char>(c);
        if (c == ' ' || c == '.') continue;
        if (std::isalnum(u)) out += static_cast<char>(std::toupper(u));
        else if (u >= 127 || std::strchr("+,;=[]\"*?<>|:", c)) out += '_';
        else out += c;
    }
    return out;
}

static void assignAliases(std::vector<FolderEntry>& entries)
{
    std::vector<std::string> taken;
    for (auto& e : entries)
        if (fitsShortForm(e.name)) taken.push_back(e.name);
    auto isTaken = [&](const std::string& alias) {
        for (auto& t : taken)
            if (equalNoCase(t, alias)) return true;
        return false;
    };
    for (auto& e : entries) {
        if (fitsShortForm(e.name)) continue;
        size_t dot = e.name.rfind('.');
        bool hasExt = dot != std::string::npos && dot > 0 && dot + 1 < e.name.size();
        std::string base = aliasChars(hasExt ? e.name.substr(0, dot) : e.name);
        std::string ext = hasExt ? aliasChars(e.name.substr(dot + 1)).substr(0, 3) : std::string();
        if (base.empty()) base = "_";
        for (int n = 1; n < 1000000; ++n) {
            std::string tail = "~" + std::to_string(n);
            size_t keep = std::min<size_t>(base.size(), tail.size() <= 2 ? 6 : 8 - tail.size());
            std::string alias = base.substr(0, keep) + tail + (ext.empty() ? "" : "." + ext);
            if (!isTaken(alias)) {
                e.shortName = alias;
                taken.push_back(alias);
                break;
            }
        }
    }
}

std::vector<FolderEntry> listHostFolder(const std::string& hostFolder)
{
    std::vector<FolderEntry> entries;
    DIR* dir = opendir(hostFolder.empty() ? "." : hostFolder.c_str());
    if (!dir) return entries;
    while (dirent* d = readdir(dir)) {
        if (!std::strcmp(d->d_name, ".") || !std::strcmp(d->d_name, "..")) continue;
        FolderEntry e;
        e.name = d->d_name;
        std::string full = (hostFolder.empty() ? std::string(".") : hostFolder) + "/" + e.name;
        struct stat st;
        e.isFolder = stat(full.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
        entries.push_back(e);
    }
    closedir(dir);
    // Name order on disk keeps the aliases the same from one listing to the next.
    std::sort(entries.begin(), entries.end(),
              [](const FolderEntry& a, const FolderEntry& b) { return a.name < b.name; });
    assignAliases(entries);
    return entries;
}

static char upper(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
}

bool wildcardMatch(const std::string& pattern, const std::string& name)
{
    size_t p = 0, n = 0, starP = std::string::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || upper(pattern[p]) == upper(name[n]))) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (starP != std::string::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

std::vector<FolderEntry> listGameFolder(const std::string& gamePattern)
{
    std::string pattern = gamePattern, folder;
    size_t slash = gamePattern.find_last_of("\\/");
    if (slash != std::string::npos) {
        folder = gamePattern.substr(0, slash);
        pattern = gamePattern.substr(slash + 1);
    }
    std::vector<FolderEntry> out;
    for (auto& e : listHostFolder(folder.empty() ? std::string(".") : hostPath(folder)))
        if (wildcardMatch(pattern, e.name) || (!e.shortName.empty() && wildcardMatch(pattern, e.shortName)))
            out.push_back(e);
    return out;
}
