#include "platform/folder_entries.h"

#include "platform/game_path.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <dirent.h>
#include <unordered_set>
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
// dropped, anything else unusual turned into '_'. ASCII only, so no locale changes an alias.
static std::string aliasChars(const std::string& s)
{
    std::string out;
    for (char c : s) {
        unsigned char u = static_cast<unsigned char>(c);
        if (c == ' ' || c == '.') continue;
        if (c >= 'a' && c <= 'z') out += static_cast<char>(c - 32);
        else if (u <= ' ' || u >= 127 || std::strchr("+,;=[]\"*?<>|:/\\", c)) out += '_';
        else out += c;
    }
    return out;
}

// Crockford's base 32: no I, L, O or U, so an alias is never misread when typed.
static const char hashDigits[] = "0123456789ABCDEFGHJKMNPQRSTVWXYZ";

// FNV-1a over the exact bytes of the name and the candidate number, then mixed so that every
// bit of the name reaches the low bits kept. Fixed forever: stored names depend on it.
static uint32_t nameHash(const std::string& name, int k)
{
    uint32_t h = 2166136261u;
    for (char c : name) h = (h ^ static_cast<unsigned char>(c)) * 16777619u;
    for (int i = 0; i < 4; ++i) h = (h ^ ((static_cast<uint32_t>(k) >> (8 * i)) & 0xFF)) * 16777619u;
    h ^= h >> 16;
    h *= 0x85EBCA6Bu;
    h ^= h >> 13;
    h *= 0xC2B2AE35u;
    h ^= h >> 16;
    return h;
}

std::string aliasCandidate(const std::string& name, int k)
{
    size_t dot = name.rfind('.');
    bool hasExt = dot != std::string::npos && dot > 0 && dot + 1 < name.size();
    std::string base = aliasChars(hasExt ? name.substr(0, dot) : name).substr(0, 3);
    std::string ext = hasExt ? aliasChars(name.substr(dot + 1)).substr(0, 3) : std::string();
    if (base.empty()) base = "_";
    uint32_t h = nameHash(name, k);
    std::string alias = base + "~";
    for (int i = 0; i < 4; ++i) alias += hashDigits[(h >> (5 * i)) & 31];
    return ext.empty() ? alias : alias + "." + ext;
}

static std::string upperAscii(std::string s)
{
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    return s;
}

// Entries come sorted bytewise, which is the order that settles clashes.
static void assignAliases(std::vector<FolderEntry>& entries)
{
    std::unordered_set<std::string> taken;
    for (auto& e : entries)
        if (fitsShortForm(e.name)) taken.insert(upperAscii(e.name));
    for (auto& e : entries) {
        if (fitsShortForm(e.name)) continue;
        // Four hash characters give about a million candidates: a free one comes at once.
        for (int k = 0; k < 1000; ++k) {
            std::string alias = aliasCandidate(e.name, k);
            if (taken.insert(alias).second) {
                e.shortName = alias;
                break;
            }
        }
    }
}

static long folderReads = 0;

long hostFolderReads()
{
    return folderReads;
}

std::vector<FolderEntry> listHostFolder(const std::string& hostFolder)
{
    std::vector<FolderEntry> entries;
    DIR* dir = opendir(hostFolder.empty() ? "." : hostFolder.c_str());
    if (!dir) return entries;
    ++folderReads;
    while (dirent* d = readdir(dir)) {
        if (!std::strcmp(d->d_name, ".") || !std::strcmp(d->d_name, "..")) continue;
        FolderEntry e;
        e.name = d->d_name;
        if (d->d_type == DT_DIR || d->d_type == DT_REG) {
            e.isFolder = d->d_type == DT_DIR;
        } else {
            // Links and file systems that do not say: ask for what the entry leads to.
            std::string full = (hostFolder.empty() ? std::string(".") : hostFolder) + "/" + e.name;
            struct stat st;
            e.isFolder = stat(full.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
        }
        entries.push_back(e);
    }
    closedir(dir);
    // Bytewise name order settles alias clashes the same way in every listing.
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
