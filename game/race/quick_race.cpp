#include "race/quick_race.h"

#include "audio/sound.h"
#include "audio/sound_set.h"
#include "platform/clock.h"
#include "platform/name_compare.h"
#include "race/race_frame.h"
#include "race/race_rules.h"
#include "race/race_screens.h"
#include "render/palette.h"
#include "render/raster.h"
#include "render/scenery.h"
#include "state/driver_profile.h"
#include "state/game_state.h"
#include "state/particle_ring.h"
#include "state/random_table.h"
#include "track/ghost_lap.h"
#include "track/track_loader.h"

#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

// The computer drivers' colours: told apart at a glance from each other and from the
// new driver's white and blue.
static const uint32_t computerColours[maxCars][2] = {{0x2020D0, 0x202020}, {0x20B040, 0xF0E020}, {0xD04020, 0xF0F0F0},
                                                     {0x10C0F0, 0x6020A0}, {0xC030C0, 0x20D0D0}, {0x2080F0, 0x101010}};

RaceDriver humanDriver(const std::string& name, const CarModel& model)
{
    return RaceDriver{name, {SDLK_UP, SDLK_DOWN, SDLK_LEFT, SDLK_RIGHT}, model, 0xFFFFFF, 0xFF0000};
}

RaceDriver computerDriverEntry(const std::string& name, int skill, const CarModel& model, int index)
{
    const uint32_t* c = computerColours[std::abs(index) % maxCars];
    return RaceDriver{name, {0, uint32_t(std::max(skill, 0)), 0, 100}, model, c[0], c[1]};
}

std::vector<int> spreadSkills(int n)
{
    std::vector<int> skills;
    for (int k = 0; k < n; ++k) skills.push_back(n == 1 ? 100 : 90 + (20 * k + (n - 1) / 2) / (n - 1));
    return skills;
}

std::string trackEntryFor(const std::string& name)
{
    std::string entry = name;
    std::replace(entry.begin(), entry.end(), '/', '\\');
    if (entry.size() > 4 && equalNoCase(entry.substr(entry.size() - 4), ".trk")) entry.resize(entry.size() - 4);
    if (entry.empty() || entry[0] != '\\') entry = "\\" + entry;
    return entry;
}

static void enterDriver(int car, const RaceDriver& d)
{
    game.carModels[car] = d.model;
    std::snprintf(game.driverNames[car], sizeof game.driverNames[car], "%s", d.name.c_str());
    for (int k = 0; k < 4; ++k) game.cars[car].controls[k] = d.controls[k];
    setCarColours(car, d.colour1, d.colour2);
}

int prepareRace(const std::string& entry, const std::vector<RaceDriver>& drivers, int laps)
{
    int cars = int(std::min<size_t>(drivers.size(), maxCars));
    if (cars == 0) return -1;
    game.carCount = cars;
    if (cars == 1) clearGhost();  // before the load, which reads the track's ghost
    if (loadTrack(entry) != 0) return -1;
    for (int i = 0; i < cars; ++i) enterDriver(i, drivers[i]);
    game.stepMs = stepMsFor(game.options.stepRate);
    allocateParticleRing();
    // The race rules take the length from the options; a length of its own must not change them.
    OptionsRecord options = game.options;
    if (laps > 0) game.options.raceLength = uint16_t(laps), game.options.distanceUnit = 0;
    int startingOrder[maxCars] = {};
    startRace(startingOrder);
    game.options = options;
    game.racePhase = WaitForKey;
    game.phaseCounter = 0;
    game.startLight = -1;
    game.fireworksDelay = 0;
    game.skidLevel = game.impactLevel = 0;
    setEffectVolumes(game.options.effectsVolume);
    loadEngineSounds(game.options.soundSet);
    // The physics sets the engines' volume only once the race runs: until then, on the
    // pre-race screen and under the lamps, they idle at the menu's engine volume.
    int32_t engine = volumeFromMenu(game.options.engineVolume);
    for (int i = 0; i < cars; ++i) {
        setSoundVolume(game.engineSound[i], engine);
        playLoop(game.engineSound[i]);
    }
    setSoundVolume(game.skidSound, 0);
    playLoop(game.skidSound);
    game.pendingMs = 0;
    game.lastTick = ticks();
    return 0;
}

// The menu's race slots, which the quick race borrows and gives back when it ends.
static struct {
    int carCount;
    char names[maxCars][sizeof game.driverNames[0]];
    DriverProfile* drivers[maxCars];
    void (*after)();
} borrowed;

static void borrowSlots(void (*after)())
{
    borrowed.carCount = game.carCount;
    std::memcpy(borrowed.names, game.driverNames, sizeof borrowed.names);
    for (int i = 0; i < maxCars; ++i) borrowed.drivers[i] = game.drivers[i];
    borrowed.after = after;
}

static void leaveQuickRace()
{
    game.raceRunning = 0;
    game.carCount = borrowed.carCount;
    std::memcpy(game.driverNames, borrowed.names, sizeof borrowed.names);
    for (int i = 0; i < maxCars; ++i) {
        game.drivers[i] = borrowed.drivers[i];
        // The race painted its own colours over the menu drivers' ones.
        if (const DriverProfile* p = game.drivers[i]) setCarColours(i, p->colour1, p->colour2);
    }
    if (borrowed.after) borrowed.after();
}

// A throttle still held across the line must not skip the results: they stay up until every
// key has been released and one is pressed again.
static void holdResults()
{
    game.racePhase = StandingsHeld;
}

int startQuickRace(const std::string& trackName, int laps, int computers, void (*afterRace)())
{
    if (!game.models || game.modelCount <= 0) return -1;
    std::srand(ticks());
    fillRandomTable();
    const CarModel& model = game.models[0];
    game.seasonRace = 0;
    game.seasonRaceCount = 1;
    std::vector<RaceDriver> drivers{humanDriver("Player", model)};
    std::vector<int> skills = spreadSkills(std::clamp(computers, 0, maxCars - 1));
    for (size_t k = 0; k < skills.size(); ++k)
        drivers.push_back(computerDriverEntry("Computer " + std::to_string(k + 1), skills[k], model, int(k)));
    borrowSlots(afterRace);
    if (prepareRace(trackEntryFor(trackName), drivers, laps) != 0) {
        leaveQuickRace();
        return -1;
    }
    // A pause menu installed by the front end stays; what follows a race is the quick race's.
    game.raceHooks.showFinalStandings = holdResults;
    game.raceHooks.startNextRace = leaveQuickRace;
    game.raceHooks.leaveRace = leaveQuickRace;
    setProjectionScale(game.screenWidth, game.screenHeight);
    buildRaceBackground();
    SDL_ShowCursor(0);
    game.raceRunning = 1;
    showRaceInformation();
    game.lastTick = ticks();
    return 0;
}
