#include "race/race_frame.h"

#include "audio/sound.h"
#include "platform/clock.h"
#include "race/car_physics.h"
#include "race/collisions.h"
#include "race/controls.h"
#include "race/race_pause.h"
#include "race/race_rules.h"
#include "race/race_screens.h"
#include "render/draw_access.h"
#include "render/hud.h"
#include "render/race_view.h"
#include "render/surfaces.h"
#include "race/replay_buffer.h"
#include "state/game_state.h"
#include "state/particle_ring.h"
#include "state/random_table.h"
#include "track/ghost_lap.h"
#include "track/terrain_height.h"
#include "track/track_records.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int countdownSteps = 211;   // lights at 0, 70, 140 and green at 210
constexpr int lightSpacing = 70;
constexpr int lightsVisibleAfterGreen = 70;
constexpr int finishingSteps = 200;
constexpr float soundAmountLimit = 1e8f;
constexpr int escapeKey = 27;

int carsInRace() { return std::clamp(game.carCount, 0, maxCars); }

void leaveRace()
{
    if (game.raceHooks.leaveRace) game.raceHooks.leaveRace();
    else game.raceRunning = 0;
}

// The lamps change seldom: the whole view is drawn again with them, so the cars show on the grid.
void showStartLight(int light)
{
    game.startLight = light;
    setSoundRate(game.lightSound, light < 3 ? 24000.0f / 22050.0f : 32000.0f / 22050.0f);
    playOnce(game.lightSound);
    if (drawRacePicture(0)) presentDrawSurface();
}

void countdownStep()
{
    if (game.raceClock == 0) {
        // Holding the throttle before the green light costs the car as many steps in neutral.
        for (int i = 0; i < carsInRace(); ++i) {
            CarState& c = game.cars[i];
            if (c.controls[0] != 0 && readControl(c.controls[0]) != 0) ++c.revvingCounter;
            else c.revvingCounter = 0;
        }
    }
    if (game.phaseCounter % lightSpacing == 0) showStartLight(game.phaseCounter / lightSpacing);
    ++game.phaseCounter;
    if (game.phaseCounter >= countdownSteps) {
        game.racePhase = Racing;
        game.phaseCounter = 0;
    }
}

// The clock stops 60 s after the leader completed the last lap, however far the others are.
bool leaderStillRunning()
{
    if (game.leaderLaps < game.raceLaps) return true;
    int leader = game.runningOrder[0];
    int32_t lastCrossing = leader >= 0 && leader < maxCars ? game.cars[leader].lastCrossing : 0;
    return game.raceClock - lastCrossing < emptyLapTime;
}

void racingStep()
{
    if (game.phaseCounter == lightsVisibleAfterGreen) game.startLight = -1;
    if (game.phaseCounter <= lightsVisibleAfterGreen) ++game.phaseCounter;
    if (leaderStillRunning()) {
        ++game.raceClock;
    } else {
        game.racePhase = Finishing;
        game.phaseCounter = 0;
    }
    simulationStep();
}

void finishingStep()
{
    if (++game.phaseCounter >= finishingSteps) game.racePhase = RaceOver;
    simulationStep();
}

void raceOverStep()
{
    game.racePhase = ResultsShown;
    silenceCars();
    if (game.carCount != 1 && game.raceHooks.awardPoints) game.raceHooks.awardPoints();
    saveTrackRecords();
    showRaceResults();
}

void resultsStep()
{
    if (!anyKeyDown()) return;
    if (game.seasonRace + 1 >= game.seasonRaceCount) {
        if (game.raceHooks.showFinalStandings) game.raceHooks.showFinalStandings();
        else leaveRace();
    } else {
        if (game.raceHooks.showStandings) game.raceHooks.showStandings();
        else leaveRace();
    }
}

void standingsStep()
{
    if (!anyKeyDown()) return;
    ++game.seasonRace;
    if (game.raceHooks.startNextRace) game.raceHooks.startNextRace();
    else leaveRace();
}

// Shells rise from random points of the terrain, more often on a small track.
void fireworks()
{
    if (--game.fireworksDelay > 0) return;
    float size = std::max(game.trackSize, 1.0f);
    float x = nextRandom() * size, z = nextRandom() * size;
    uint8_t kind = uint8_t(9 + int(5 * nextRandom()));
    startParticle(kind, 100, Vec3{x, terrainHeight(x, z), z}, Vec3{0, 30, 0});
    game.fireworksDelay = int32_t(nextRandom() * 700000.0f / (size * size));
}

bool drawsAfterStep(uint8_t phase)
{
    return phase == Racing || phase == Finishing || phase == FinalHeld || phase == FinalShown || phase == Replay;
}

void drawPicture(int steps)
{
    bool drawn;
    if (game.racePhase == FinalHeld || game.racePhase == FinalShown) drawn = drawFireworks(steps);
    else if (game.racePhase == Replay && game.raceHooks.drawReplay) return game.raceHooks.drawReplay(steps);
    else drawn = drawRacePicture(steps);
    if (drawn) presentDrawSurface();
}

}  // namespace

void silenceCars()
{
    for (int i = 0; i < maxCars; ++i) setSoundVolume(game.engineSound[i], 0);
    setSoundVolume(game.skidSound, 0);
}

uint16_t stepMsFor(int stepRate)
{
    return stepRate > 0 ? uint16_t(std::lround(1000.0 / stepRate)) : 10;
}

int32_t effectVolume(float amount, int volumeOption)
{
    // NaN or a negative sum from a broken step plays nothing rather than poisoning the level.
    if (!(amount > 0)) amount = 0;
    amount = std::min(amount, soundAmountLimit);
    double level = -10000 + std::floor(1000 * std::log10(1 + double(volumeOption) * amount));
    return volumeFromLevel(int32_t(std::min(level, 0.0)));
}

bool anyKeyDown()
{
    if (!game.keySnapshot) return false;
    for (int k = 1; k < keySnapshotSize; ++k) {
        if (k == SDLK_F11 || k == SDLK_F12) continue;
        if (game.keySnapshot[k] & 1) return true;
    }
    return false;
}

void simulationStep()
{
    bool painting = lockBackground();
    int cars = carsInRace();
    if (cars == 1) {
        const CarState& c = game.cars[0];
        recordGhostSample(c.positionVector, c.rightAxis, c.upAxis, c.forwardAxis);
    }
    recordReplayFrame();
    for (int i = 0; i < cars; ++i) carStep(i);
    carCarContacts(cars);
    servePitBoxes();

    setSoundVolume(game.skidSound, effectVolume(game.skidLevel, game.options.skidVolume));
    game.skidLevel = 0;
    if (game.impactLevel > 1) {
        setSoundVolume(game.impactSound, effectVolume(game.impactLevel, game.options.effectsVolume));
        playOnce(game.impactSound);
    }
    game.impactLevel = 0;
    if (painting) unlockDraw();
}

bool raceStep()
{
    takeKeySnapshot();
    pollJoystick();
    if (game.racePhase < FinalHeld && game.keySnapshot && (game.keySnapshot[escapeKey] & 1)) {
        pauseRace();
        return false;
    }
    switch (game.racePhase) {
    case WaitForKey:
        // A count set when the screen came up with a key held: that key must come up first.
        if (game.phaseCounter != 0) {
            if (!anyKeyDown()) game.phaseCounter = 0;
            return true;
        }
        if (anyKeyDown()) {
            game.racePhase = Countdown;
            game.phaseCounter = 0;
        }
        return true;
    case Countdown: countdownStep(); return true;
    case Racing: racingStep(); return true;
    case Finishing: finishingStep(); return true;
    case RaceOver: raceOverStep(); return false;
    case ResultsShown: resultsStep(); return false;
    case StandingsHeld:
        if (!anyKeyDown()) game.racePhase = StandingsShown;
        return true;
    case StandingsShown: standingsStep(); return false;
    case FinalHeld:
        if (!anyKeyDown()) game.racePhase = FinalShown;
        fireworks();
        return true;
    case FinalShown:
        if (anyKeyDown()) {
            leaveRace();
            return false;
        }
        fireworks();
        return true;
    case Replay:
        return game.raceHooks.replayStep && game.raceHooks.replayStep();
    case ReplayEnd:
        if (!(game.keySnapshot && (game.keySnapshot[escapeKey] & 1))) {
            if (game.raceHooks.endReplay) game.raceHooks.endReplay();
            resumeRace();
        }
        return false;
    default: return true;
    }
}

void raceFrame()
{
    if (game.stepMs == 0) game.stepMs = stepMsFor(game.options.stepRate);
    uint32_t elapsed = ticks() - game.lastTick;
    game.pendingMs = std::min(elapsed, maxPassMs);
    // Measured from the start of the pass, the steps' own time is made up in the next pass.
    if (game.alternativeSpeedSetting == 0 && game.pendingMs >= game.stepMs)
        game.lastTick = ticks() - game.pendingMs % game.stepMs;
    if (game.pendingMs < game.stepMs) return;
    int drawingSteps = 0;
    do {
        game.pendingMs -= game.stepMs;
        if (game.alternativeSpeedSetting != 0) game.lastTick = ticks() - game.pendingMs;
        bool drawing = drawsAfterStep(game.racePhase);
        if (!raceStep()) return;
        if (drawing) ++drawingSteps;
    } while (game.pendingMs >= game.stepMs && game.raceRunning);
    if (drawingSteps > 0 && game.raceRunning) drawPicture(drawingSteps);
}
