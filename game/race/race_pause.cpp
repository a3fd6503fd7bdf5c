#include "race/race_pause.h"

#include "audio/sound.h"
#include "platform/clock.h"
#include "race/race_screens.h"
#include "state/game_state.h"
#include "track/track_records.h"

static void carSoundsOff()
{
    for (int i = 0; i < maxCars; ++i) stopSoundHandle(game.engineSound[i]);
    stopSoundHandle(game.skidSound);
}

// Silent at first: the next engine update brings each car's own volume back.
static void carSoundsOn()
{
    for (int i = 0; i < game.carCount && i < maxCars; ++i) {
        setSoundVolume(game.engineSound[i], 0);
        playLoop(game.engineSound[i]);
    }
    setSoundVolume(game.skidSound, 0);
    playLoop(game.skidSound);
}

// The pause took real time that must not be simulated.
static void takeScreenBack()
{
    game.raceRunning = 1;
    game.pendingMs = 0;
    game.lastTick = ticks();
}

void pauseRace()
{
    carSoundsOff();
    game.raceRunning = 0;
    if (game.raceHooks.pauseMenu) game.raceHooks.pauseMenu();
    else endRaceFromMenu();
}

void resumeRace()
{
    switch (game.racePhase) {
    case WaitForKey: showRaceInformation(); break;
    case Countdown:
    case Racing:
        // Every resume shows the whole light sequence; the clock stands meanwhile.
        game.racePhase = Countdown;
        game.phaseCounter = 0;
        break;
    case ResultsShown: showRaceResults(); break;
    case StandingsHeld:
    case StandingsShown:
        if (game.raceHooks.showStandings) game.raceHooks.showStandings();
        break;
    default: break;
    }
    if (game.racePhase <= Finishing) carSoundsOn();
    takeScreenBack();
}

void endRaceFromMenu()
{
    if (game.racePhase > Finishing) return resumeRace();
    bool decided = game.leaderLaps >= game.raceLaps || (game.carCount == 1 && game.leaderLaps >= 1);
    takeScreenBack();
    if (decided) {
        game.startLight = -1;
        game.racePhase = RaceOver;
        return;
    }
    saveTrackRecords();
    bool last = game.seasonRace + 1 >= game.seasonRaceCount;
    void (*standings)() = last ? game.raceHooks.showFinalStandings : game.raceHooks.showStandings;
    if (standings) standings();
    else if (game.raceHooks.leaveRace) game.raceHooks.leaveRace();
    else game.raceRunning = 0;
}

void endSeasonFromMenu()
{
    if (game.racePhase < ResultsShown) saveTrackRecords();
    takeScreenBack();
    if (game.raceHooks.showFinalStandings) game.raceHooks.showFinalStandings();
    else if (game.raceHooks.leaveRace) game.raceHooks.leaveRace();
    else game.raceRunning = 0;
}
