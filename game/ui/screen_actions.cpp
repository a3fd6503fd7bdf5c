#include "ui/screen_actions.h"

#include "audio/sound_set.h"

#include "race/race_pause.h"
#include "season/championship.h"
#include "season/driver_file.h"
#include "season/driver_list.h"
#include "season/race_slots.h"
#include "state/driver_profile.h"
#include "state/game_state.h"
#include "ui/dialog.h"
#include "ui/file_dialog.h"
#include "ui/main_menu.h"
#include "ui/message_box.h"
#include "ui/pause_menu.h"
#include "ui/screens.h"

#include <cstring>

void listMenuDrivers(std::vector<MenuDriver>& out)
{
    for (const DriverEntry& d : game.driverList) out.push_back({d.name, d.profile.get()});
}

void seatDriver(int slot, const std::string& name, DriverProfile* profile)
{
    if (slot < 0 || slot >= maxCars) return;
    std::strncpy(game.driverNames[slot], name.c_str(), sizeof game.driverNames[slot] - 1);
    game.driverNames[slot][sizeof game.driverNames[slot] - 1] = 0;
    game.drivers[slot] = profile;
    assignParticipant(slot, profile);
}

void saveSlotDriver(int slot)
{
    if (slot >= 0 && slot < maxCars && game.drivers[slot]) writeDriver(game.driverNames[slot], game.drivers[slot]);
}

std::string createMenuDriver(const std::string& name, bool human)
{
    int check = createDriver(name, human);
    return check == driverNameOk ? std::string() : driverNameMessage(check);
}

void deleteMenuDriver(const std::string& name)
{
    int index = findDriver(name);
    if (index >= 0) deleteDriverEntry(index);
}

void storeMenuDrivers() { storeDriversAndMatchSlots(); }

void saveMenuDriver(const std::string& name)
{
    int index = findDriver(name);
    if (index >= 0) writeDriver(game.driverList[size_t(index)].name, game.driverList[size_t(index)].profile.get());
}

// The season runs with the menus' pause menu and comes back to the parked main menu.
bool startSeasonFromMenu(const std::vector<std::string>& tracks)
{
    game.seasonTracks = tracks;
    installMenuHooks();
    if (startSeason() == 0) return true;
    // Nothing to race: no track or no driver chosen.
    messageBox(messageBoxOk, uiText(20), uiText(0));
    return false;
}

void installMenuHooks()
{
    game.raceHooks = RaceHooks{};
    game.raceHooks.pauseMenu = openPauseMenu;
    game.raceHooks.leaveRace = backToMainMenu;
    game.raceHooks.autosave = autosaveBeforeRace;
}

void endSeason() { endSeasonFromMenu(); }

void reloadSoundSet()
{
    loadSoundSet(game.options.soundSet);
    // The options may have been changed in a paused race, which goes on with the new set.
    setEffectVolumes(game.options.effectsVolume);
}
