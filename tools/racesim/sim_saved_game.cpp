#include "sim_saved_game.h"

#include "sim_folder.h"

#include "platform/clock.h"
#include "race/pit_lane_driver.h"
#include "save/saved_game.h"
#include "state/game_state.h"

#include <algorithm>
#include <cstring>

static uint32_t loadSeed = 0;

// Nobody sits at the keys: a human's car is driven on by a computer driver of skill 100,
// onto the racing line from the point of it nearest to the car.
static void handHumansToComputers()
{
    for (int i = 0; i < game.carCount && i < maxCars; ++i) {
        CarState& c = game.cars[i];
        if (c.controls[0] == 0) continue;
        uint32_t nearest = 0;
        float least = 1e30f;
        for (int p = 0; p < game.drivingLineCount; ++p) {
            Vec3 d = game.drivingLine[p] - c.positionVector;
            float d2 = d.x * d.x + d.z * d.z;
            if (d2 < least) least = d2, nearest = uint32_t(p);
        }
        c.controls[0] = 0;
        c.controls[1] = 100;
        c.controls[2] = nearest;
        c.controls[3] = 100;
        c.revvingCounter = OnLine;
    }
}

// The steps from the grid, read back from the phase and the clock.
static int stepsRun()
{
    switch (game.racePhase) {
    case Countdown: return game.phaseCounter;
    case Racing: return lightsSteps + game.raceClock;
    default: {
        // Racing ended on the step the last car finished, its clock counted, or on the one the
        // clock ran out on a minute after the leader's finish, which counted no time.
        int leader = game.runningOrder[0];
        bool timedOut = game.leaderLaps >= game.raceLaps && leader >= 0 && leader < maxCars &&
                        game.raceClock - game.cars[leader].lastCrossing >= emptyLapTime;
        return lightsSteps + game.raceClock + (timedOut ? 1 : 0) + game.phaseCounter;
    }
    }
}

bool continueSavedRace(const SimArguments& a, ContinuedRace& out, std::string& why)
{
    // The loader seeds the random numbers from the clock, and the track's ground takes its
    // scatter from them: read off the seed, they are the race's, ground and all.
    loadSeed = a.seed;
    setTickFunction([] { return loadSeed; });
    int loaded = loadGame(simSavedGameName);
    setTickFunction(nullptr);
    if (loaded != 0) return why = "the game refuses the saved game " + a.loadFile, false;
    // A missing track ends the loaded season at once; a race that was over has nothing to run.
    if (!game.raceRunning || game.racePhase > RaceOver)
        return why = "no race to continue in " + a.loadFile + " (it is over or its track is not found)", false;
    out.gridRandom = game.randomIndex;
    handHumansToComputers();
    const CarModel& model = game.carModels[0];
    out.carType = std::string(model.name, strnlen(model.name, sizeof model.name));
    std::string entry = game.trackEntry;
    std::replace(entry.begin(), entry.end(), '\\', '/');
    out.trackShown = a.track.empty() ? (simGameFolder(a) / ("tracks" + entry + ".trk")).string() : a.track;
    // Saved before the lights, it starts them as tmsim starts a race.
    if (game.racePhase == WaitForKey) {
        game.racePhase = Countdown;
        game.phaseCounter = 0;
    }
    out.steps = stepsRun();
    return true;
}

std::vector<std::string> unsavedRaceState(uint8_t gridRandom, bool marked)
{
    std::vector<std::string> lacks;
    bool running = game.racePhase < RaceOver;
    if (running && game.randomIndex != gridRandom) lacks.push_back("random draw");
    if (marked) lacks.push_back("tyre marks");
    bool boxes = false, approach = false;
    // A free box's tasks start again when it is taken; its crew only walk.
    for (int b = 0; b < game.pitBoxCount && b < maxPitBoxes; ++b) boxes = boxes || game.pitBoxes[b].owner < maxCars;
    for (int i = 0; i < game.carCount && i < maxCars; ++i)
        approach = approach || (game.cars[i].revvingCounter != OnLine && game.boxApproachSteps[i] != 0);
    if (running && boxes) lacks.push_back("pit boxes");
    if (running && approach) lacks.push_back("box approach");
    return lacks;
}
