#pragma once
// Names in a folder found the way the game names them: its files may be spelt in any letter
// case on disk.
#include <string>
#include <vector>

enum class EntryKind {
    Any,     // whatever exists (through links too)
    File,    // a regular file
    Folder,
};

// Whether path exists as that kind; links are followed, a dangling one is nothing.
bool isKind(const std::string& path, EntryKind kind);

// The names in folder but "." and "..", sorted by their bytes so that when two differ only in
// letter case the same one is picked every run. Empty when the folder cannot be read.
std::vector<std::string> folderEntries(const std::string& folder);

// folder + "/" + the entry called name in any letter case, of the kind asked for; the exact
// spelling wins. Empty when there is none.
std::string findEntry(const std::string& folder, const std::string& name, EntryKind kind);
