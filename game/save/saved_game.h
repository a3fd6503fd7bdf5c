#pragma once
// Saved games: the whole running game in saves\<name>.gam.
#include <string>

// Writes saves\<name>.gam through a temporary file; false when it could not be written whole.
bool saveGame(const std::string& name);
// Rebuilds the running game from saves\<name>.gam: 0, or -1 when the file cannot be opened,
// is of a later version or fails its checks (the running game is then left as it was).
int loadGame(const std::string& name);
