#include "replay/replay_session.h"

#include "audio/sound.h"
#include "platform/clock.h"
#include "race/race_pause.h"
#include "race/race_screens.h"
#include "render/surfaces.h"
#include "replay/replay_controls.h"
#include "replay/replay_playback.h"
#include "replay/replay_screen.h"
#include "state/game_state.h"
#include "ui/file_dialog.h"

#include <SDL.h>

// The screen of the phase the race is back in, for the pause menu to keep behind it.
static void redrawRaceScreen()
{
    switch (game.racePhase) {
    case WaitForKey: showRaceInformation(); break;
    case ResultsShown: showRaceResults(); break;
    case StandingsHeld:
    case StandingsShown:
        if (game.raceHooks.showStandings) game.raceHooks.showStandings();
        break;
    default:
        if (drawRacePicture(0)) presentDrawSurface();
        break;
    }
}

void beginReplay()
{
    if (game.racePhase == Replay || game.racePhase == ReplayEnd) return;
    ReplayState& r = game.replay;
    for (int car = 0; car < replayCarSlots; ++car) r.carsBefore[car] = game.cars[car];
    r.phaseBefore = game.racePhase;
    r.startLightBefore = game.startLight;
    game.startLight = -1;
    r.position = 0;
    r.direction = 1;
    r.rateNumerator = r.rateDenominator = 1;
    r.fast = 0;
    updateReplaySpeed();
    r.cutBegin = r.cutEnd = -1;
    r.cutPresses = 0;
    r.keysDown = 0;
    replayLandingShown();
    game.raceHooks.replayStep = replayStep;
    game.raceHooks.endReplay = endReplayFromKeys;
    game.raceHooks.drawReplay = drawReplayScreen;
    game.racePhase = Replay;
    for (int car = 0; car < game.carCount && car < maxCars; ++car) {
        setSoundVolume(game.engineSound[car], 0);
        playLoop(game.engineSound[car]);
    }
    SDL_ShowCursor(0);
    game.raceRunning = 1;
    game.pendingMs = 0;
    game.lastTick = ticks();
}

void restoreRaceAfterReplay()
{
    ReplayState& r = game.replay;
    for (int car = 0; car < replayCarSlots; ++car) game.cars[car] = r.carsBefore[car];
    game.racePhase = r.phaseBefore;
    game.startLight = r.startLightBefore;
    // The race's own resume starts the engines again where the cars are driving.
    for (int car = 0; car < maxCars; ++car) stopSoundHandle(game.engineSound[car]);
}

void endReplayFromKeys()
{
    game.replay.cutBegin = game.replay.cutEnd = -1;
    restoreRaceAfterReplay();
}

void endReplayForCut()
{
    restoreRaceAfterReplay();
    redrawRaceScreen();
    // Without a pause menu there is no dialog to save from: the race goes on, the cut kept.
    if (!game.raceHooks.pauseMenu) return resumeRace();
    pauseRace();
    openFileDialog(true);
}
