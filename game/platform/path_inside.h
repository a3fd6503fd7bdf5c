#pragma once
// Whether a game path stays inside a folder of the game once links are resolved, so that file
// operations a person starts cannot reach through a link into the rest of the disk.
#include <string>

// True when the folder holding the path's last component lies inside gameFolder (or is it)
// with every link resolved. The last component itself is not followed, since a move or a
// removal acts on a link and not on what it points to. False when either folder is missing.
bool parentStaysInside(const std::string& gamePath, const std::string& gameFolder);
