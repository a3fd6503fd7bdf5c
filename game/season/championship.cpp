#include "season/championship.h"

#include "platform/clock.h"
#include "race/race_frame.h"
#include "race/race_screens.h"
#include "render/draw_access.h"
#include "render/race_panels.h"
#include "render/raster.h"
#include "render/scenery.h"
#include "render/surfaces.h"
#include "season/driver_file.h"
#include "season/season_points.h"
#include "season/season_standings.h"
#include "state/game_state.h"
#include "state/particle_ring.h"
#include "state/random_table.h"

#include <SDL.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

static int participants() { return std::clamp(game.carCount, 0, maxCars); }

// A slot the menus filled without a profile races as a new computer driver would.
static DriverProfile slotProfile(int slot)
{
    return game.drivers[slot] ? *game.drivers[slot] : newDriverProfile(false);
}

std::vector<RaceDriver> seasonDrivers()
{
    std::vector<RaceDriver> drivers;
    for (int i = 0; i < participants(); ++i) {
        DriverProfile p = slotProfile(i);
        RaceDriver d;
        d.name.assign(game.driverNames[i], strnlen(game.driverNames[i], sizeof game.driverNames[i]));
        for (int k = 0; k < 4; ++k) d.controls[k] = p.controls[k];
        if (isComputerDriver(p)) {
            d.controls[2] = 0;
            d.controls[3] = 100;
        }
        d.model = game.carModels[i];
        d.colour1 = p.colour1;
        d.colour2 = p.colour2;
        drivers.push_back(d);
    }
    return drivers;
}

void installSeasonHooks()
{
    game.raceHooks.awardPoints = awardRacePoints;
    game.raceHooks.showStandings = showStandings;
    game.raceHooks.showFinalStandings = showFinalStandings;
    game.raceHooks.startNextRace = startNextRace;
}

void prepareSeasonData()
{
    game.stepMs = stepMsFor(game.options.stepRate);
    allocateParticleRing();
    clearParticles();
    std::srand(ticks());
    fillRandomTable();
}

int startSeason()
{
    int cars = participants();
    if (game.seasonTracks.empty() || cars == 0) return -1;
    SDL_ShowCursor(0);
    game.seasonRaceCount = int(game.seasonTracks.size());
    prepareSeasonData();
    game.seasonRace = 0;
    for (int i = 0; i < maxCars; ++i) {
        game.seasonPoints[i] = 0;
        if (i >= cars) continue;
        // The copy is the car for the whole season, and the saved game's car.
        if (game.models && game.modelCount > 0) game.carModels[i] = game.models[driverCarType(slotProfile(i))];
    }
    installSeasonHooks();
    game.raceRunning = 1;
    startNextRace();
    return 0;
}

void showLoadingScreen()
{
    if (!lockDraw()) return;
    drawLoadingScreen();
    unlockDraw();
    presentDrawSurface();
}

// The track of race seasonRace made ready on its grid; false when it does not load.
static bool prepareSeasonRace()
{
    int races = std::min(game.seasonRaceCount, int(game.seasonTracks.size()));
    if (game.seasonRace < 0 || game.seasonRace >= races) return false;
    return prepareRace(trackEntryFor(game.seasonTracks[size_t(game.seasonRace)]), seasonDrivers(), 0) == 0;
}

void startNextRace()
{
    for (;;) {
        showLoadingScreen();
        if (prepareSeasonRace()) break;
        if (game.seasonRace >= game.seasonRaceCount - 1) {
            showFinalStandings();
            return;
        }
        ++game.seasonRace;
    }
    setProjectionScale(game.screenWidth, game.screenHeight);
    buildRaceBackground();
    showRaceInformation();
    // The key that left the standings is still down: it must not skip this pre-race screen too.
    game.phaseCounter = anyKeyDown() ? 1 : 0;
    if (game.raceHooks.autosave) game.raceHooks.autosave();
    // Loading and drawing took real time the race must not make up.
    game.pendingMs = 0;
    game.lastTick = ticks();
}

void leaveSeason()
{
    if (game.raceHooks.leaveRace) {
        game.raceHooks.leaveRace();
        return;
    }
    game.raceRunning = 0;
    SDL_ShowCursor(1);
}
