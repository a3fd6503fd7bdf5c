#pragma once
// The sorted listing behind every list of the game: languages, sound sets, track folders,
// tracks, drivers, cars and saved games. The names it gives build the file paths again.
#include <string>
#include <vector>

enum FolderListKinds { listFiles = 1, listFolders = 2 };

// Appends the names of folder (a game path) that have the extension (without its dot; empty
// for any name) and are of the kinds, sorted case-insensitively as the user's locale sorts.
// With an extension the ending is removed. A name longer than maxLength (0: no limit) without
// its extension is replaced by its short alias. Returns the size of out; a folder with no match
// leaves out untouched and returns 0.
int listFolder(std::vector<std::string>& out, const std::string& folder, const std::string& extension, int kinds,
               int maxLength);

// Stable merge sort by the locale-aware, case-insensitive comparison.
void sortNames(std::vector<std::string>& names);
