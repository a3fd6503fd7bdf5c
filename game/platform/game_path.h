#pragma once
// Game paths: relative to the game folder, with backslashes, as the files and menus store them.
#include <cstdio>
#include <string>

// The host path of a game path: '\' becomes '/', and each component that does not exist under
// its exact name is matched without regard to case, then against the short names of its
// folder. Components that match nothing are kept as given, so new files keep their exact name.
std::string hostPath(const std::string& gamePath);

std::FILE* openGameFile(const std::string& gamePath, const char* mode);
bool gameFileExists(const std::string& gamePath);  // a file or a folder
bool isGameFolder(const std::string& gamePath);
bool makeGameFolder(const std::string& gamePath);  // true when it exists afterwards
bool removeGameFile(const std::string& gamePath);
// Size in bytes of a file; -1 when it does not exist.
long gameFileSize(const std::string& gamePath);
