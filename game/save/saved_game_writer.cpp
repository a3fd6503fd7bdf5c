#include "save/saved_game.h"

#include "platform/exe_folder.h"
#include "platform/game_path.h"
#include "platform/safe_name.h"
#include "race/quick_race.h"
#include "save/car_state_file.h"
#include "save/saved_game_file.h"
#include "season/driver_file.h"
#include "files/options_file.h"
#include "track/car_model_file.h"
#include "track/ghost_lap.h"
#include "track/track_checksum.h"

#include <algorithm>
#include <cstring>

static const char savesFolder[] = "saves";

bool isSavedGameName(const std::string& name)
{
    return isSafeFileName(name, maxFileNameLength - 4);
}

std::string savedGamePath(const std::string& name)
{
    return std::string(savesFolder) + "\\" + name + ".gam";
}

void enterGameFolder()
{
    if (!game.exeFolder.empty()) changeToFolder(game.exeFolder);
}

// Race i's entry of the season list; a single race outside a season names its loaded track.
static std::string seasonTrack(int i)
{
    if (i >= 0 && size_t(i) < game.seasonTracks.size()) return game.seasonTracks[size_t(i)];
    if (i == game.seasonRace && !game.trackEntry.empty())
        return game.trackEntry[0] == '\\' ? game.trackEntry.substr(1) : game.trackEntry;
    return std::string();
}

static void writeTrackEntry(TrackFile& f, const std::string& name)
{
    char field[trackNameSize] = {};
    std::memcpy(field, name.data(), std::min(name.size(), sizeof field - 1));
    f.writeBytes(field, sizeof field);
    uint32_t sums[4] = {};
    if (!name.empty()) trackChecksum(trackEntryFor(name), sums);
    for (uint32_t s : sums) f.writeU32(s);
}

static void writeGhostBlock(TrackFile& f)
{
    uint16_t n = game.ghostBestSteps;
    const GhostSample* best = game.ghostBest >= 0 ? game.ghostBuffers[game.ghostBest] : nullptr;
    if (!best || n == 0 || n > ghostNone) {
        f.writeU16(0);
        return;
    }
    std::vector<uint8_t> block;
    packGhostLap(best, n, block);
    f.writeBytes(block.data(), block.size());
}

static bool writeBody(TrackFile& f, int cars)
{
    f.writeU16(savedGameVersion);
    f.writeU8(game.racePhase);
    f.writeU8(game.phaseCounter);
    writeOptionsFields(f, game.options);
    f.writeU32(uint32_t(cars));
    for (int i = 0; i < cars; ++i) {
        char name[13] = {};
        std::memcpy(name, game.driverNames[i], sizeof name - 1);
        f.writeBytes(name, sizeof name);
    }
    for (int i = 0; i < cars; ++i)
        writeDriverProfile(f, game.drivers[i] ? *game.drivers[i] : newDriverProfile(false));
    for (int i = 0; i < cars; ++i) writeCarModel(f, game.carModels[i]);
    int races = std::max(game.seasonRaceCount, 0);
    f.writeU32(uint32_t(races));
    f.writeU32(uint32_t(game.seasonRace));
    for (int i = 0; i < races; ++i) writeTrackEntry(f, seasonTrack(i));
    for (int i = 0; i < cars; ++i) writeCarState(f, game.cars[i]);
    for (int i = 0; i < cars; ++i) f.writeI32(game.runningOrder[i]);
    for (int i = 0; i < cars; ++i) f.writeI32(game.seasonPoints[i]);
    for (int32_t v : {game.raceLaps, game.leaderLaps, game.raceClock, game.fastestLapTime, game.fastestLapCar,
                      game.trackRecordCar})
        f.writeI32(v);
    if (cars == 1) writeGhostBlock(f);
    return writeReplayBlock(f);
}

bool saveGame(const std::string& name)
{
    int cars = game.carCount;
    if (cars < 1 || cars > maxCars || !isSavedGameName(name)) return false;
    // During playback the cars hold the replay's positions, not the race's: the race must
    // have been put back before it can be saved.
    if (game.racePhase > FinalShown) return false;
    enterGameFolder();
    if (!makeGameFolder(savesFolder)) return false;
    TrackFile f;
    if (!f.open(savedGamePath(name), trackFileWrite | trackFileReplace)) return false;
    bool ok = writeBody(f, cars);
    // A failed write leaves the old file: close drops the temporary file then.
    ok = f.close() && ok;
    if (ok) {
        // A cut belongs to the one save it was marked for.
        game.replay.cutBegin = game.replay.cutEnd = -1;
    }
    return ok;
}
