#include "save/saved_game.h"

#include "audio/sound_set.h"
#include "platform/clock.h"
#include "platform/safe_name.h"
#include "race/quick_race.h"
#include "race/race_frame.h"
#include "race/race_pause.h"
#include "race/race_rules.h"
#include "race/race_screens.h"
#include "render/raster.h"
#include "render/scenery.h"
#include "render/surfaces.h"
#include "race/replay_buffer.h"
#include "save/saved_game_file.h"
#include "season/championship.h"
#include "season/driver_file.h"
#include "season/driver_list.h"
#include "season/race_slots.h"
#include "season/season_standings.h"
#include "track/ghost_lap.h"
#include "track/track_checksum.h"

#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>

// Matches no track file: the race it stands for is skipped when it comes.
static const char missingTrack[] = "\\()";

// A track name from a file becomes a path below tracks: every part of it must be one plain
// name, so no entry leads out of the folder.
static bool safeTrackName(const std::string& name)
{
    std::string rest = name;
    std::replace(rest.begin(), rest.end(), '/', '\\');
    if (!rest.empty() && rest[0] == '\\') rest.erase(0, 1);
    size_t start = 0;
    for (;;) {
        size_t end = rest.find('\\', start);
        if (!isSafeFileName(rest.substr(start, end == std::string::npos ? std::string::npos : end - start))) return false;
        if (end == std::string::npos) return true;
        start = end + 1;
    }
}

static bool sameChecksum(const uint32_t a[4], const uint32_t b[4]) { return std::memcmp(a, b, 4 * sizeof a[0]) == 0; }

// The season list as the game will race it: the current race's track found by its name and
// checksum, or by checksum in a track folder, else the placeholder. False when it is missing.
static bool seasonTrackList(const SavedGame& g, std::vector<std::string>& tracks)
{
    bool found = true;
    tracks.clear();
    for (int i = 0; i < g.raceCount; ++i) {
        const SavedTrack& t = g.tracks[size_t(i)];
        std::string name = safeTrackName(t.name) ? t.name : missingTrack;
        if (i == g.seasonRace && g.version >= firstChecksumVersion && name != missingTrack) {
            uint32_t sums[4] = {};
            std::string moved;
            bool here = trackChecksum(trackEntryFor(name), sums) > 0 && sameChecksum(sums, t.checksum);
            if (!here && findTrackByChecksum(trackEntryFor(name), t.checksum, moved) && safeTrackName(moved))
                name = moved[0] == '\\' ? moved.substr(1) : moved;
            else if (!here)
                name = missingTrack;
        }
        if (i == g.seasonRace) found = name != missingTrack;
        tracks.push_back(name);
    }
    return found;
}

// The fields a load takes from the file; resolution, sync, step rate, ghost, reverse keys,
// effects, volumes and language stay as the player has set them now.
static void takeFileOptions(const OptionsRecord& from)
{
    OptionsRecord& o = game.options;
    o.raceLength = from.raceLength;
    std::memcpy(o.points, from.points, sizeof o.points);
    o.tyreWear = from.tyreWear;
    o.fuelConsumption = from.fuelConsumption;
    o.damage = from.damage;
    o.fuelMass = from.fuelMass;
    o.distanceUnit = from.distanceUnit;
    o.startingOrder = from.startingOrder;
    o.shadows = from.shadows;
    o.windowedMode = from.windowedMode;
    std::snprintf(o.soundSet, sizeof o.soundSet, "%s", isSafeFileName(from.soundSet) ? from.soundSet : "Default");
}

// The participants by name: a driver the list knows races as it is now; one it does not know
// joins the list with the profile from the file, and gets a file when its points are written.
static void takeParticipants(const SavedGame& g)
{
    game.carCount = 0;
    for (int i = 0; i < maxCars; ++i) {
        game.drivers[i] = nullptr;
        std::memset(game.driverNames[i], 0, sizeof game.driverNames[i]);
    }
    for (int i = 0; i < g.carCount; ++i) {
        int entry = findDriver(g.names[i]);
        if (entry < 0) {
            auto profile = std::make_unique<DriverProfile>(g.profiles[i]);
            profile->carType = uint32_t(driverCarType(*profile));
            game.driverList.push_back({g.names[i], std::move(profile)});
            entry = int(game.driverList.size()) - 1;
        }
        assignParticipant(i, game.driverList[size_t(entry)].profile.get());
        game.carCount = i + 1;
        game.carModels[i] = g.carModels[i];
    }
}

static void takeGhost(const SavedGame& g)
{
    if (g.carCount != 1 || g.ghostSteps == 0) return;
    for (GhostSample*& b : game.ghostBuffers)
        if (!b) b = new GhostSample[ghostCapacity]();
    if (game.ghostRecording < 0) game.ghostRecording = 0;
    int spare = 1 - game.ghostRecording;
    unpackGhostSamples(g.ghostStored.data(), g.ghostSteps, game.ghostBuffers[spare]);
    game.ghostBest = int8_t(spare);
    game.ghostBestSteps = g.ghostSteps;
}

static void takeReplay(const SavedGame& g)
{
    const SavedReplay& r = g.replay;
    if (!r.present || r.carsWithFrames == 0) {
        setupReplay(0, 0);
        return;
    }
    setupReplay(int(r.frameStep), int(r.frameCount));
    ReplayState& state = game.replay;
    for (int car = 0; car < replayCarSlots; ++car) {
        if (!state.frames[car]) continue;
        if (car >= r.carsWithFrames) {
            std::free(state.frames[car]);
            state.frames[car] = nullptr;
            continue;
        }
        std::copy(r.frames[car].begin(), r.frames[car].end(), state.frames[car]);
    }
    state.frameCount = int(r.frameCount);
    state.start = 0;
}

// The race as it stood: cars, order, points and the race's own values over the fresh grid.
static void takeRace(const SavedGame& g)
{
    for (int i = 0; i < g.carCount; ++i) {
        CarState& c = game.cars[i];
        c = g.cars[i];
        // A human plays with the keys the driver has today.
        if (c.controls[0] != 0 && game.drivers[i]) std::copy(game.drivers[i]->controls, game.drivers[i]->controls + 4, c.controls);
        game.runningOrder[i] = g.runningOrder[i];
        game.seasonPoints[i] = g.points[i];
    }
    for (int i = g.carCount; i < maxCars; ++i) {
        game.runningOrder[i] = -1;
        game.seasonPoints[i] = 0;
    }
    game.raceLaps = g.raceLaps;
    game.leaderLaps = g.leaderLaps;
    game.raceClock = g.raceClock;
    game.fastestLapTime = g.fastestLapTime;
    game.fastestLapCar = g.fastestLapCar;
    game.trackRecordCar = g.recordCar;
    game.racePhase = g.racePhase;
    game.phaseCounter = g.phaseCounter;
    // The panels as the rules would have left them; the last lap's time waits for the next one.
    int shownLap = std::min(game.leaderLaps + 1, game.raceLaps);
    for (int i = 0; i < g.carCount; ++i) {
        CarPanel& panel = game.carPanels[i];
        panel = CarPanel{};
        if (game.cars[i].serviceState == 1) std::snprintf(panel.place, sizeof panel.place, "F");
        else showPlace(i);
        std::snprintf(panel.lapCounter, sizeof panel.lapCounter, "%u/%u", unsigned(shownLap) % 100000, unsigned(game.raceLaps) % 100000);
        std::snprintf(panel.lapCount, sizeof panel.lapCount, "%3d", game.cars[i].laps % 1000);
        panel.changed = 1;
    }
}

// The screen of the phase it was saved in; a race is shown paused under its menu.
static void showSavedScreen()
{
    setProjectionScale(game.screenWidth, game.screenHeight);
    buildRaceBackground();
    bool pause = false;
    // The grid's engines were started; after the race they have nothing to say.
    if (game.racePhase >= ResultsShown) silenceCars();
    switch (game.racePhase) {
    case WaitForKey:
        showRaceInformation();
        pause = true;
        break;
    case Countdown:
    case Racing:
    case Finishing:
    case RaceOver:
        if (drawRacePicture(0)) presentDrawSurface();
        pause = true;
        break;
    case ResultsShown: showRaceResults(); break;
    case StandingsHeld:
    case StandingsShown: {
        // Drawn as after the race; the key that was awaited is still awaited.
        uint8_t phase = game.racePhase;
        showStandings();
        if (game.racePhase == StandingsHeld) game.racePhase = phase;
        break;
    }
    default: redrawFinalStandings(); break;
    }
    game.pendingMs = 0;
    game.lastTick = ticks();
    if (pause && game.raceHooks.pauseMenu) pauseRace();
}

// The current race could not be had: the season goes on with the next one, or ends.
static void skipMissingRace()
{
    if (game.seasonRace + 1 < game.seasonRaceCount) {
        ++game.seasonRace;
        startNextRace();
    } else {
        showFinalStandings();
    }
}

// The file read whole and checked; nothing of the running game changes.
static bool readSaved(const std::string& name, SavedGame& g)
{
    if (!isSavedGameName(name)) return false;
    enterGameFolder();
    TrackFile f;
    std::string why;
    return f.open(savedGamePath(name), trackFileRead) && readSavedGame(f, g, why);
}

bool savedGameReadable(const std::string& name)
{
    auto saved = std::make_unique<SavedGame>();
    return readSaved(name, *saved);
}

int loadGame(const std::string& name)
{
    auto saved = std::make_unique<SavedGame>();
    SavedGame& g = *saved;
    if (!readSaved(name, g)) return -1;
    std::vector<std::string> tracks;
    bool trackFound = seasonTrackList(g, tracks);

    // From here on the file is good: the running game becomes the saved one.
    showLoadingScreen();
    takeFileOptions(g.options);
    takeParticipants(g);
    game.seasonRaceCount = g.raceCount;
    game.seasonRace = g.seasonRace;
    game.seasonTracks = tracks;
    for (int i = 0; i < maxCars; ++i) game.seasonPoints[i] = i < g.carCount ? g.points[i] : 0;
    loadSoundSet(game.options.soundSet);
    prepareSeasonData();
    installSeasonHooks();
    // The race owns the screen, as at a season's start; a pause menu shows the cursor again.
    SDL_ShowCursor(0);
    game.raceRunning = 1;
    if (!trackFound || prepareRace(trackEntryFor(tracks[size_t(g.seasonRace)]), seasonDrivers(), 0) != 0) {
        skipMissingRace();
        return 0;
    }
    takeRace(g);
    takeGhost(g);
    takeReplay(g);
    showSavedScreen();
    return 0;
}
