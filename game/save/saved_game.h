#pragma once
// Saved games: the whole running game in saves\<name>.gam.
#include <string>

// Writes saves\<name>.gam through a temporary file renamed over the old one; false when it
// could not be written whole (the old file then stays), and during replay playback, whose cars
// are not the race's. A save that worked clears the replay's cut marks: a cut belongs to the
// one save it was marked for.
bool saveGame(const std::string& name);
// Rebuilds the running game from saves\<name>.gam: 0, or -1 when the file cannot be opened,
// is of a later version or fails its checks (the running game is then left as it was).
// Loaded, it is on the screen it was saved on and owns the screen as a season's start would:
// a race shows paused under the pause menu when the front end set one in the hooks, which
// stay as the caller set them; the caller parks its menu.
int loadGame(const std::string& name);
// True when saves\<name>.gam would load: it opens, and its required part is whole and in
// range. Nothing of the running game changes.
bool savedGameReadable(const std::string& name);

// A name that may become saves\<name>.gam: one safe file name, never a path.
bool isSavedGameName(const std::string& name);
// saves\<name>.gam
std::string savedGamePath(const std::string& name);
// The game folder becomes the working folder, as every whole-file operation starts.
void enterGameFolder();
