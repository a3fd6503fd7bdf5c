#include "race/race_rules.h"

#include "audio/sound.h"
#include "state/game_state.h"
#include "track/ghost_lap.h"
#include "track/track_records.h"

#include <algorithm>
#include <cstdio>

static bool isComputer(int car) { return game.cars[car].controls[0] == 0; }

static int carsInRace() { return game.carCount < 1 ? 1 : game.carCount > maxCars ? maxCars : game.carCount; }

void checkpointTest(int car)
{
    CarState& c = game.cars[car];
    if (!game.checkpoints || game.checkpointCount == 0) return;
    // A saved game or an older track may leave the index past the gates.
    if (c.nextCheckpoint >= game.checkpointCount) c.nextCheckpoint = 0;
    const Checkpoint& g = game.checkpoints[c.nextCheckpoint];
    float dx = c.positionVector.x - g.x, dz = c.positionVector.z - g.z;
    float along = g.ux * dx + g.uz * dz;
    float across = g.uz * dx - g.ux * dz;
    if (!(along > 0 && along < g.length && across > -1 && across < 1)) return;
    if (++c.nextCheckpoint >= game.checkpointCount) {
        c.nextCheckpoint = 0;
        lineCrossing(car);
    }
}

bool shortOfFuel(int car)
{
    const CarState& c = game.cars[car];
    // A track may claim a lap of billions of metres: more than a full tank is need enough, and
    // held there it stays within an int.
    double need = std::min(game.options.fuelConsumption * double(game.lapLength) * 1.8, 65536.0);
    return game.raceLaps - c.laps > 1 && game.leaderLaps < game.raceLaps && c.fuel < int(need);
}

bool updateFuelFlag(int car)
{
    CarState& c = game.cars[car];
    if (shortOfFuel(car)) {
        c.serviceState = 1;
        std::snprintf(game.carPanels[car].place, sizeof game.carPanels[car].place, "F");
        game.carPanels[car].changed = 1;
        return true;
    }
    c.serviceState = 0;
    showPlace(car);
    return false;
}

// Moves the car at place `from` down to place `to` (to = from + 1).
static void moveDown(int from)
{
    int other = game.runningOrder[from];
    game.runningOrder[from + 1] = other;
    if (other < 0 || other >= maxCars) return;
    game.cars[other].position = uint8_t(from + 1);
    if (game.cars[other].serviceState != 1) showPlace(other);
}

// Where the car stands in the running order; a record that lost the car (an odd saved game)
// puts it last.
static int placeOf(int car, int cars)
{
    int p = game.cars[car].position;
    if (p < cars && game.runningOrder[p] == car) return p;
    for (p = 0; p < cars; ++p)
        if (game.runningOrder[p] == car) return p;
    return cars - 1;
}

static void updateRunningOrder(int car)
{
    CarState& c = game.cars[car];
    int cars = carsInRace();
    int p = placeOf(car, cars);
    if (c.laps > game.leaderLaps) {
        game.leaderLaps = c.laps;
        for (int k = p - 1; k >= 0; --k) moveDown(k);
        p = 0;
        if (game.leaderLaps == game.raceLaps) playOnce(game.finalLapSound);
    } else {
        while (p > 0) {
            int ahead = game.runningOrder[p - 1];
            if (ahead >= 0 && ahead < maxCars && game.cars[ahead].laps >= c.laps) break;
            moveDown(p - 1);
            --p;
        }
    }
    game.runningOrder[p] = car;
    c.position = uint8_t(p);
}

static void showLapTime(int car, int lap, uint8_t colour)
{
    CarPanel& panel = game.carPanels[car];
    std::snprintf(panel.lapTime, sizeof panel.lapTime, "%2d.%d%d", lap / 100 % 100, lap / 10 % 10, lap % 10);
    panel.lapTimeColour = colour;
    panel.changed = 1;
}

static void newTrackRecord(int car, int lap)
{
    game.trackRecordCar = car;
    updateLapRecord(car, lap);
}

static void judgeLapTime(int car, int lap)
{
    bool eligible = carMaySetRecords(car);
    if (lap < game.fastestLapTime) {
        if (!eligible || lap >= game.trackRecords.time[0]) {
            showLapTime(car, lap, LapTimeFastest);
        } else {
            newTrackRecord(car, lap);
            showLapTime(car, lap, LapTimeRecord);
        }
        int previous = game.fastestLapCar;
        if (previous >= 0 && previous < maxCars && previous != car) {
            CarPanel& p = game.carPanels[previous];
            p.lapTimeColour = LapTimeNormal;
            p.changed = 1;
        }
        game.fastestLapTime = lap;
        game.fastestLapCar = car;
    } else if (eligible && lap < game.trackRecords.time[0]) {
        newTrackRecord(car, lap);
        showLapTime(car, lap, LapTimeRecord);
    } else {
        showLapTime(car, lap, LapTimeNormal);
    }
}

void lineCrossing(int car)
{
    if (car < 0 || car >= maxCars) return;
    CarState& c = game.cars[car];
    if (c.serviceState == 2) return;

    if (game.carCount == 1 && carMaySetRecords(car)) finishGhostLap();

    int lap = game.raceClock - c.lastCrossing;
    if (lap > emptyLapTime) lap = emptyLapTime;
    if (lap < 0) lap = 0;
    c.lastLap = lap;
    c.lastCrossing = game.raceClock;
    c.laps += 1;

    updateRunningOrder(car);

    if (updateFuelFlag(car) && !isComputer(car)) playOnce(game.fuelWarningSound);

    CarPanel& panel = game.carPanels[car];
    int shownLap = game.leaderLaps + 1 < game.raceLaps ? game.leaderLaps + 1 : game.raceLaps;
    std::snprintf(panel.lapCounter, sizeof panel.lapCounter, "%d/%d", shownLap, game.raceLaps);
    std::snprintf(panel.lapCount, sizeof panel.lapCount, "%3d", c.laps % 1000);
    panel.changed = 1;

    if (lap < c.bestLap) c.bestLap = uint16_t(lap);
    // Every completed lap, the last one too, may be the race's fastest or the track's record.
    judgeLapTime(car, lap);

    if (c.laps >= game.raceLaps) {
        c.lastLap = c.bestLap;
        c.serviceState = 2;
        bool allFinished = true;
        for (int i = 0; i < carsInRace(); ++i) allFinished = allFinished && game.cars[i].serviceState == 2;
        // Finishing already running keeps its own count.
        if (allFinished && game.racePhase == Racing) {
            game.racePhase = Finishing;
            game.phaseCounter = 0;
        }
    }

    if (c.laps == game.raceLaps - 1 && game.lightSound != 0) {
        setSoundRate(game.lightSound, 32000.0f / 22050.0f);
        playOnce(game.lightSound);
    }
}
