#include "save/saved_game_file.h"

#include "save/car_state_file.h"
#include "season/driver_file.h"
#include "files/options_file.h"
#include "track/car_model_file.h"
#include "track/ghost_lap.h"

#include <cstring>

static long bytesLeft(TrackFile& f) { return f.size() - f.tell(); }

static std::string fixedString(const char* bytes, size_t size)
{
    return std::string(bytes, strnlen(bytes, size));
}

static bool readTracks(TrackFile& f, SavedGame& g)
{
    bool withChecksums = g.version >= firstChecksumVersion;
    size_t nameSize = withChecksums ? trackNameSize : oldTrackNameSize;
    if (uint64_t(bytesLeft(f)) < uint64_t(g.raceCount) * 56) return false;
    g.tracks.resize(size_t(g.raceCount));
    for (SavedTrack& t : g.tracks) {
        char name[oldTrackNameSize] = {};
        if (!f.readBytes(name, nameSize)) return false;
        t.name = fixedString(name, nameSize);
        std::memset(t.checksum, 0, sizeof t.checksum);
        if (withChecksums)
            for (uint32_t& s : t.checksum)
                if (!f.readU32(s)) return false;
    }
    return true;
}

static bool readCars(TrackFile& f, SavedGame& g)
{
    int n = g.carCount;
    for (int i = 0; i < n; ++i) {
        if (!f.readBytes(g.names[i], 13)) return false;
        g.names[i][12] = 0;
    }
    for (int i = 0; i < n; ++i)
        if (!readDriverProfile(f, g.profiles[i])) return false;
    for (int i = 0; i < n; ++i)
        if (!readCarModel(f, g.carModels[i])) return false;
    return true;
}

static bool readRace(TrackFile& f, SavedGame& g)
{
    int n = g.carCount;
    for (int i = 0; i < n; ++i)
        if (!readCarState(f, g.cars[i])) return false;
    for (int i = 0; i < n; ++i)
        if (!f.readI32(g.runningOrder[i])) return false;
    for (int i = 0; i < n; ++i)
        if (!f.readI32(g.points[i])) return false;
    for (int32_t* v : {&g.raceLaps, &g.leaderLaps, &g.raceClock, &g.fastestLapTime, &g.fastestLapCar, &g.recordCar})
        if (!f.readI32(*v)) return false;
    return true;
}

// What the race would index or divide by: every value where the running game can take it.
static const char* outOfRange(const SavedGame& g)
{
    int n = g.carCount;
    if (g.racePhase > FinalShown) return "phase";
    bool seen[maxCars] = {};
    for (int p = 0; p < n; ++p) {
        int car = g.runningOrder[p];
        if (car < 0 || car >= n || seen[car]) return "running order";
        seen[car] = true;
    }
    for (int i = 0; i < n; ++i) {
        const CarState& c = g.cars[i];
        if (c.position >= n || !carStateInRange(c)) return "car state";
        if (!isDriverFileName(g.names[i])) return "driver name";
    }
    if (g.raceLaps < 1 || g.raceLaps > 65535 || g.leaderLaps < 0 || g.leaderLaps > 65535) return "laps";
    if (g.raceClock < 0 || g.fastestLapTime < 0 || g.fastestLapTime > emptyLapTime) return "race clock";
    if (g.fastestLapCar < -1 || g.fastestLapCar >= n || g.recordCar < -1 || g.recordCar >= n) return "race car";
    return nullptr;
}

static void readGhostBlock(TrackFile& f, SavedGame& g)
{
    g.ghostSteps = 0;
    g.ghostStored.clear();
    uint16_t n = 0;
    if (!f.readU16(n) || n == 0 || n > ghostNone) return;
    std::vector<uint8_t> stored(size_t(n + 1) / 2 * ghostStoredSampleSize);
    // Fewer bytes than the count asks for: no ghost at all.
    if (!f.readBytes(stored.data(), stored.size())) return;
    g.ghostSteps = n;
    g.ghostStored.swap(stored);
}

bool readSavedGame(TrackFile& f, SavedGame& g, std::string& why)
{
    uint32_t cars = 0, races = 0, race = 0;
    if (!f.readU16(g.version)) return why = "empty", false;
    if (g.version > savedGameVersion) return why = "version", false;
    if (!f.readU8(g.racePhase) || !f.readU8(g.phaseCounter)) return why = "short", false;
    if (bytesLeft(f) < 74 + 4) return why = "short", false;
    readOptionsFields(f, g.options);
    if (!f.readU32(cars) || cars < 1 || cars > maxCars) return why = "car count", false;
    g.carCount = int32_t(cars);
    if (!readCars(f, g)) return why = "short", false;
    if (!f.readU32(races) || !f.readU32(race)) return why = "short", false;
    if (races < 1 || races > maxSeasonRaces || race >= races) return why = "race count", false;
    g.raceCount = int32_t(races);
    g.seasonRace = int32_t(race);
    if (!readTracks(f, g)) return why = "short", false;
    if (!readRace(f, g)) return why = "short", false;
    if (const char* bad = outOfRange(g)) return why = bad, false;
    if (g.carCount == 1) readGhostBlock(f, g);
    readReplayBlock(f, g.carCount, g.replay);
    return true;
}
