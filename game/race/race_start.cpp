#include "race/race_rules.h"

#include "race/object_grid.h"
#include "race/race_reset.h"
#include "race/replay_buffer.h"
#include "state/game_state.h"
#include "state/random_table.h"
#include "track/terrain_height.h"

#include <cstdio>

static int raceLapsFromOptions()
{
    int laps = game.options.raceLength;
    if (game.options.distanceUnit != 0) {
        // An exact multiple of the lap still gets one lap more than it covers.
        laps = game.lapLength > 0 ? 1 + int(1000.0 * game.options.raceLength / game.lapLength) : 1;
    }
    return laps < 1 ? 1 : laps;
}

// Car at each grid position: drawn from the random table, then ordered by the option.
static void drawGrid(int grid[], int cars)
{
    for (int i = 0; i < maxCars; ++i) grid[i] = -1;
    for (int car = 0; car < cars; ++car) {
        int k = int(nextRandom() * (cars - car));
        for (int p = 0; p < cars; ++p) {
            if (grid[p] >= 0) continue;
            if (k-- == 0) {
                grid[p] = car;
                break;
            }
        }
    }

    int order = game.options.startingOrder;
    if (order != 1 && order != 2) return;
    if (game.seasonRace == 0) {
        for (int p = 0; p < cars; ++p) grid[p] = order == 1 ? p : cars - 1 - p;
        return;
    }
    // Exchange sort that swaps only out-of-order neighbours: ties keep their random order.
    for (int pass = 0; pass < cars; ++pass) {
        for (int p = 0; p + 1 < cars; ++p) {
            int a = game.seasonPoints[grid[p]], b = game.seasonPoints[grid[p + 1]];
            if (order == 1 ? a < b : a > b) {
                int t = grid[p];
                grid[p] = grid[p + 1];
                grid[p + 1] = t;
            }
        }
    }
}

// Forward along the grid object, up along the terrain, right completing the frame.
static void placeOnGrid(int car, int gridPosition)
{
    CarState& c = game.cars[car];
    Vec3 at{0, 0, 0}, direction{0, 0, 1};
    if (game.trackObjects && gridPosition < game.objectCount) {
        at = game.trackObjects[gridPosition].position;
        direction = game.trackObjects[gridPosition].direction;
    }
    Vec3 up = terrainNormal(at.x, at.z);
    Vec3 forward = normalised(direction - up * dot(direction, up));
    if (dot(forward, forward) < 0.5f) forward = normalised(cross(Vec3{1, 0, 0}, up));
    c.upAxis = up;
    c.forwardAxis = forward;
    c.rightAxis = cross(up, forward);
    c.positionVector = {at.x, terrainHeight(at.x, at.z) + game.carModels[car].ellipsoid.y, at.z};
    for (int w = 0; w < 4; ++w) {
        const Vec3& p = game.carModels[car].wheelPositions[w];
        c.wheelPoints[w] = c.positionVector + c.rightAxis * p.x + c.upAxis * p.y + c.forwardAxis * p.z;
        c.wheelContactKind[w] = 0;
    }
}

void showPlace(int car)
{
    CarPanel& p = game.carPanels[car];
    std::snprintf(p.place, sizeof p.place, "%-2d", game.cars[car].position + 1);
    p.changed = 1;
}

void startRace(int startingOrder[])
{
    int cars = game.carCount < 1 ? 1 : game.carCount > maxCars ? maxCars : game.carCount;
    game.raceLaps = raceLapsFromOptions();
    drawGrid(startingOrder, cars);
    resetRaceControl(startingOrder, cars);
    game.trackRecordCar = -1;
    game.phaseCounter = 0;
    resetPitBoxes();
    buildObjectGrid();
    setupReplay(0, 0);
    // The track file carries no box flag: with a box for every car each keeps to its own, so
    // no car stops in a box another is heading for.
    game.ownPitBoxesOnly = game.pitBoxCount >= cars ? 1 : 0;

    int gridPosition[maxCars] = {};
    for (int p = 0; p < cars; ++p) gridPosition[startingOrder[p]] = p;
    for (int car = 0; car < cars; ++car) {
        resetCarForRace(car, gridPosition[car]);
        placeOnGrid(car, gridPosition[car]);
        CarState& c = game.cars[car];
        c.bodyLoad = c.loadShare = c.engineLoad = 0;
        for (float& l : c.wheelLoads) l = 0;
        c.slip[0] = c.slip[1] = 0;
        // A computer driver starts on the line's first point at the middle offset.
        if (c.controls[0] == 0) {
            c.controls[2] = 0;
            c.controls[3] = 100;
        }
        CarPanel& panel = game.carPanels[car];
        panel = CarPanel{};
        showPlace(car);
        std::snprintf(panel.lapCounter, sizeof panel.lapCounter, "%d/%d", 1, game.raceLaps);
        std::snprintf(panel.lapCount, sizeof panel.lapCount, "%3d", 0);
    }
}
