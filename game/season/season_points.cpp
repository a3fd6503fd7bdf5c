#include "season/season_points.h"

#include "season/driver_file.h"

#include <algorithm>
#include <cstring>
#include <string>

static int carsInSeason() { return std::clamp(game.carCount, 0, maxCars); }

static bool isCar(int car) { return car >= 0 && car < carsInSeason(); }

void writeParticipants()
{
    for (int i = 0; i < carsInSeason(); ++i) {
        if (!game.drivers[i]) continue;
        const char* name = game.driverNames[i];
        writeDriver(std::string(name, strnlen(name, sizeof game.driverNames[i])), game.drivers[i]);
    }
}

// The place a car scores at position p: a car on the leader's lap, or one not behind on laps,
// that crossed the line on the same step as the car ahead shares its place.
static int scoredPlace(int p, int previousPlace)
{
    if (p == 0) return 0;
    int x = game.runningOrder[p], y = game.runningOrder[p - 1];
    if (!isCar(y)) return p;
    const CarState& a = game.cars[x];
    const CarState& b = game.cars[y];
    if (a.laps != game.leaderLaps && a.laps < b.laps) return p;
    if (a.lastCrossing > b.lastCrossing) return p;
    return previousPlace;
}

void awardRacePoints()
{
    int cars = carsInSeason();
    int place = 0;
    for (int p = 0; p < cars; ++p) {
        int x = game.runningOrder[p];
        if (!isCar(x)) {
            place = p;
            continue;
        }
        place = scoredPlace(p, place);
        uint32_t points = game.options.points[place];
        game.seasonPoints[x] += int32_t(points);
        if (DriverProfile* d = game.drivers[x]) {
            ++d->races;
            ++d->raceFinishes[p];
            d->totalPoints += points;
        }
    }
    // Every lap is judged, so the point goes to the car or cars that drove the fastest one; a
    // race in which nobody completed a lap has no fastest lap to score.
    for (int car = 0; car < cars; ++car) {
        if (game.cars[car].bestLap > game.fastestLapTime || game.cars[car].bestLap >= emptyLapTime) continue;
        uint32_t points = game.options.points[6];
        game.seasonPoints[car] += int32_t(points);
        if (DriverProfile* d = game.drivers[car]) {
            ++d->fastestLaps;
            d->totalPoints += points;
        }
    }
    writeParticipants();
}

int standingsOrder(int order[maxCars])
{
    int cars = carsInSeason();
    for (int i = 0; i < cars; ++i) {
        // Insertion that moves a car ahead only past fewer points keeps ties in car order.
        int p = i;
        while (p > 0 && game.seasonPoints[order[p - 1]] < game.seasonPoints[i]) {
            order[p] = order[p - 1];
            --p;
        }
        order[p] = i;
    }
    return cars;
}

int32_t championshipPointsTotal()
{
    int32_t total = 0;
    for (int i = 0; i < carsInSeason(); ++i) total += game.seasonPoints[i];
    return total;
}

void closeSeason()
{
    int order[maxCars];
    int cars = standingsOrder(order);
    int place = 0;
    for (int p = 0; p < cars; ++p) {
        int car = order[p];
        if (p > 0 && game.seasonPoints[car] < game.seasonPoints[order[p - 1]]) place = p;
        if (DriverProfile* d = game.drivers[car]) {
            ++d->seasons;
            ++d->championshipFinishes[place];
        }
    }
    writeParticipants();
}
