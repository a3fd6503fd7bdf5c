#pragma once
// What the screens ask of the season, the drivers, the saved games and the track manager. Each
// procedure here does the least that keeps the menus usable until its owner fills it in.
#include <string>
#include <vector>

struct DriverProfile;

// A driver the menus can offer: its name and the profile the driver list owns (may be null).
struct MenuDriver {
    std::string name;
    DriverProfile* profile = nullptr;
};

// Every driver in listing order.
void listMenuDrivers(std::vector<MenuDriver>& out);
// Puts a driver into race slot 0..5 with its name and colours; the slot count is the caller's.
void seatDriver(int slot, const std::string& name, DriverProfile* profile);
// Writes race slot's driver profile (its car changed).
void saveSlotDriver(int slot);
// A new driver in the list: empty when made, else the message that refuses the name.
std::string createMenuDriver(const std::string& name, bool human);
// Removes a driver and its file.
void deleteMenuDriver(const std::string& name);
// The driver page closed: every driver written, the race slots matched again.
void storeMenuDrivers();
// Writes one driver whose statistics were reset.
void saveMenuDriver(const std::string& name);

// Start on the main menu with players and tracks: true when a race now owns the screen.
bool startSeasonFromMenu(const std::vector<std::string>& tracks);
// The race frame's calls into the menus (pause menu, back to the main menu, autosave) for a
// season started or loaded from the main menu.
void installMenuHooks();

// The pause menu's actions that the season and the replays own.
bool replayRecorded();
void startReplay();
void endSeason();
// Autosave: before every race of a season, and around a restart of the display or language
// while a race is paused (saved before, loaded after, so the game survives it).
bool saveAutosave();
void autosaveBeforeRace();
void reloadAutosave();

// The file dialog's buttons; save is false for "Load".
void confirmFileDialog(bool save);
void deleteInFileDialog();

// The track manager's buttons and lists of the main menu, by widget index.
void trackManagerAction(int widget);

// The control selection of the driver page: a control code, or -1 when cancelled.
int chooseControl(const std::string& caption);
// The name a control code is shown by.
std::string controlLabel(unsigned code);

// The sound set named in the options, loaded again.
void reloadSoundSet();
