#pragma once
// Folder listing with Windows-style short names for names that do not fit eight plus three.
#include <string>
#include <vector>

struct FolderEntry {
    std::string name;       // the name on disk
    std::string shortName;  // its alias, e.g. LONGTR~1.TRK; empty when the name already fits 8.3
    bool isFolder = false;
};

// Entries of a game folder whose name or short name matches the pattern's last component
// ('*' and '?', case-insensitive), e.g. "tracks\*.trk". "." and ".." are never listed.
// Entries come in order of their names on disk; an absent folder lists nothing.
std::vector<FolderEntry> listGameFolder(const std::string& gamePattern);

// Every entry of a host folder with its alias, in order of names on disk.
std::vector<FolderEntry> listHostFolder(const std::string& hostFolder);

// True when the name fits the 8.3 form and needs no alias.
bool fitsShortForm(const std::string& name);

// Case-insensitive wildcard match with '*' and '?'.
bool wildcardMatch(const std::string& pattern, const std::string& name);
