#include "ui/screen_actions.h"

#include "platform/clock.h"
#include "state/driver_profile.h"
#include "state/game_state.h"
#include "render/palette.h"
#include "shell/folder_list.h"
#include "ui/dialog.h"
#include "ui/file_dialog.h"
#include "ui/screens.h"

#include <cstring>

// Until the driver list lands the menus offer the driver files by name alone.
void listMenuDrivers(std::vector<MenuDriver>& out)
{
    std::vector<std::string> names;
    listFolder(names, "drivers", "drv", listFiles, 12);
    for (const std::string& name : names) out.push_back({name, nullptr});
}

void seatDriver(int slot, const std::string& name, DriverProfile* profile)
{
    if (slot < 0 || slot >= maxCars) return;
    std::strncpy(game.driverNames[slot], name.c_str(), sizeof game.driverNames[slot] - 1);
    game.driverNames[slot][sizeof game.driverNames[slot] - 1] = 0;
    game.drivers[slot] = profile;
    if (profile) setCarColours(slot, profile->colour1, profile->colour2);
}

void saveSlotDriver(int) {}
bool createMenuDriver(const std::string&, bool) { return true; }
void deleteMenuDriver(const std::string&) {}
void storeMenuDrivers() {}
void saveMenuDriver(const std::string&) {}

bool startSeasonFromMenu(const std::vector<std::string>&) { return false; }

void resumeRace()
{
    closeDialog();
    SDL_ShowCursor(0);
    game.pendingMs = 0;
    game.lastTick = ticks();
    game.raceRunning = 1;
}

bool replayRecorded() { return false; }
void startReplay() { resumeRace(); }

// Without a season behind it, ending the race goes straight back to the main menu.
void endRace()
{
    game.raceRunning = 0;
    SDL_ShowCursor(1);
    returnToParkedScreen();
}

void endSeason() { endRace(); }
void saveAutosave() {}

void confirmFileDialog(bool) { closeFileDialog(); }
void deleteInFileDialog() {}

void trackManagerAction(int) {}

int chooseControl(const std::string&) { return -1; }

std::string controlLabel(unsigned code)
{
    return code == 0 ? uiText(80) : "c" + std::to_string(code);
}

void reloadSoundSet() {}
