#include "season/driver_list.h"

#include "platform/exe_folder.h"
#include "platform/game_path.h"
#include "season/driver_file.h"
#include "season/race_slots.h"
#include "files/folder_list.h"
#include "files/language.h"
#include "state/game_state.h"

#include <vector>

constexpr int driverNeedsNameText = 85, driverExistsText = 86, reallyDeleteText = 102;
constexpr int driverNameTooLongText = 165, driverNameNotAllowedText = 166;

int driverNameMessageIndex(int check)
{
    if (check == driverNameEmpty) return driverNeedsNameText;
    if (check == driverNameTaken) return driverExistsText;
    if (check == driverNameTooLong) return driverNameTooLongText;
    if (check == driverNameNotAllowed) return driverNameNotAllowedText;
    return -1;
}

std::string driverNameMessage(int check)
{
    int index = driverNameMessageIndex(check);
    return index >= 0 ? uiText(index, englishStrings[index]) : std::string();
}

int checkNewDriverName(const std::string& name)
{
    if (name.find_first_not_of(' ') == std::string::npos) return driverNameEmpty;
    if (name.size() > static_cast<size_t>(driverNameLength)) return driverNameTooLong;
    if (!isDriverFileName(name)) return driverNameNotAllowed;
    // A file the list does not hold (written since start-up, or left by a failed delete)
    // would be overwritten by the new driver.
    if (findDriver(name) >= 0 || gameFileExists("drivers\\" + name + ".drv")) return driverNameTaken;
    return driverNameOk;
}

int createDriver(const std::string& name, bool human)
{
    int check = checkNewDriverName(name);
    if (check != driverNameOk) return check;
    game.driverList.push_back({name, std::make_unique<DriverProfile>(newDriverProfile(human))});
    return driverNameOk;
}

std::string deleteDriverQuestion(const std::string& name)
{
    return uiText(reallyDeleteText, englishStrings[reallyDeleteText]) + " '" + name + "'?";
}

void deleteDriverEntry(int index)
{
    if (index < 0 || index >= static_cast<int>(game.driverList.size())) return;
    changeToFolder(game.exeFolder);
    deleteDriver(game.driverList[index].name);
    game.driverList.erase(game.driverList.begin() + index);
    matchRaceSlots();
}

int findDriver(const std::string& name)
{
    for (size_t i = 0; i < game.driverList.size(); ++i)
        if (sameDriverName(game.driverList[i].name.c_str(), name.c_str())) return static_cast<int>(i);
    return -1;
}

void loadDriverList()
{
    game.driverList.clear();
    changeToFolder(game.exeFolder);
    std::vector<std::string> names;
    listFolder(names, "drivers", "drv", listFiles, driverNameLength);
    for (const std::string& name : names) {
        DriverEntry e{name, std::make_unique<DriverProfile>(newDriverProfile(false))};
        readDriver(name, e.profile.get());
        game.driverList.push_back(std::move(e));
    }
    matchRaceSlots();
}

void writeAllDrivers()
{
    changeToFolder(game.exeFolder);
    for (const DriverEntry& e : game.driverList) writeDriver(e.name, e.profile.get());
}

void freeDriverList()
{
    game.driverList.clear();
    matchRaceSlots();
}

void storeDriversAndMatchSlots()
{
    writeAllDrivers();
    matchRaceSlots();
}
