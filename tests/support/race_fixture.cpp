#include "support/race_fixture.h"

#include "race/car_models.h"
#include "season/driver_file.h"
#include "season/race_slots.h"
#include "files/config.h"
#include "files/options_file.h"

#include <filesystem>
#include <memory>

namespace fs = std::filesystem;

void wireRaceKeys(uint8_t* keys)
{
    releaseAllKeys();
    game.keySnapshot = keys;
    game.raceHooks = RaceHooks{};
}

void unwireRaceKeys()
{
    releaseAllKeys();
    game.keySnapshot = nullptr;
    game.raceHooks = RaceHooks{};
    game.raceRunning = 0;
}

bool copyBuiltGame(const TempGameFolder& folder, BuiltTracks tracks)
{
    fs::path built = buildFolder() / "tarmacade";
    if (!fs::is_regular_file(built / "tracks" / "gp.trk")) return false;
    if (tracks == BuiltTracks::All) {
        fs::copy(built / "tracks", folder.path("tracks"), fs::copy_options::recursive);
    } else {
        folder.makeFolder("tracks");
        fs::copy_file(built / "tracks" / "gp.trk", folder.path("tracks/gp.trk"));
    }
    fs::copy(built / "cars", folder.path("cars"));
    return true;
}

void loadRaceSetup()
{
    setDefaultOptions(game.options);
    loadConfig();
    loadCarModels();
}

void clearSeason()
{
    game.seasonTracks.clear();
    game.driverList.clear();
    matchRaceSlots();
}

DriverProfile* enterDriver(const std::string& name, bool human, uint32_t carType)
{
    game.driverList.push_back({name, std::make_unique<DriverProfile>(newDriverProfile(human))});
    DriverProfile* p = game.driverList.back().profile.get();
    p->carType = carType;
    assignParticipant(game.carCount++, p);
    return p;
}
