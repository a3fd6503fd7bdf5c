#pragma once
// Folder listing with Windows-style short names for names that do not fit eight plus three.
#include <string>
#include <vector>

struct FolderEntry {
    std::string name;       // the name on disk
    std::string shortName;  // its alias, e.g. THI~4K2P.TRK; empty when the name already fits 8.3
    bool isFolder = false;
};

// Entries of a game folder whose name or short name matches the pattern's last component
// ('*' and '?', case-insensitive), e.g. "tracks\*.trk". "." and ".." are never listed.
// Entries come in order of their names on disk; an absent folder lists nothing.
std::vector<FolderEntry> listGameFolder(const std::string& gamePattern);

// Every entry of a host folder with its alias, in order of names on disk.
std::vector<FolderEntry> listHostFolder(const std::string& hostFolder);

// Short names are stored in saved games, seasons and tool settings, so an alias depends on its
// own long name and not on which other files the folder holds. Candidate number k of a name is
// the first three characters of its base (upper case, spaces and dots dropped, characters an
// 8.3 name cannot hold as '_'), '~', four characters of a hash of the whole name and k, and the
// first three of its extension: THI~4K2P.TRK. A name takes its first candidate that is not the
// real name of another entry and was not taken by a name that sorts before it (bytewise), so
// only a name whose candidate clashes with another's can ever see its alias change; two names
// of one beginning and extension clash with odds of about one in a million.
std::string aliasCandidate(const std::string& name, int k);

// True when the name fits the 8.3 form and needs no alias.
bool fitsShortForm(const std::string& name);

// Case-insensitive wildcard match with '*' and '?'.
bool wildcardMatch(const std::string& pattern, const std::string& name);

// How many host folders have been read since the program started; lets tests check that
// opening files does not read whole folders.
long hostFolderReads();
