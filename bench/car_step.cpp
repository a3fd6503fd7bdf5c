// The car step alone: six cars driving circles on a flat square of tarmac with grass around,
// one iteration being one simulation step of all six. The counter us_per_step is the time of
// that step in microseconds (the race budget is under 10 for all six).
#include "race/car_models.h"
#include "race/car_physics.h"
#include "race/race_reset.h"
#include "state/game_state.h"
#include "state/particle_ring.h"
#include "state/random_table.h"

#include <benchmark/benchmark.h>

#include <SDL.h>

#include <cstdlib>
#include <vector>

namespace {

void sixCarsOnTheGround(std::vector<uint8_t>& surface, std::vector<uint8_t>& heights, uint8_t* keys)
{
    std::srand(11);
    fillRandomTable();
    allocateParticleRing();
    clearParticles();
    for (int z = 0; z < surfaceMapSide; ++z)
        for (int x = 0; x < surfaceMapSide; ++x) surface[z * surfaceMapSide + x] = (x / 64 + z / 64) % 2 ? 3 : 10;
    game.surfaceMap = surface.data();
    game.heightMap = heights.data();
    game.trackSize = 512;
    game.surfaceCell = 1;
    game.heightCell = 512.0f / 63;
    game.waterLevel = -1;
    game.objectCount = 0;
    game.checkpointCount = 0;
    game.carCount = maxCars;
    game.racePhase = Racing;
    game.options.effects = 256;
    game.options.fuelMass = 100;
    game.options.fuelConsumption = 50;
    game.options.tyreWear = 50;
    game.options.damage = 50;
    game.keySnapshot = keys;
    keys[SDLK_UP] = keys[SDLK_LEFT] = 1;
    for (int i = 0; i < maxCars; ++i) {
        game.carModels[i] = generalCarModel();
        game.cars[i] = CarState{};
        resetCarForRace(i, i);
        CarState& c = game.cars[i];
        c.positionVector = {100.0f + 60 * i, 0.55f, 250};
        c.rightAxis = {1, 0, 0};
        c.upAxis = {0, 1, 0};
        c.forwardAxis = {0, 0, 1};
        c.upsideDownCounter = 0;
        uint32_t codes[4] = {SDLK_UP, SDLK_DOWN, SDLK_LEFT, SDLK_RIGHT};
        for (int k = 0; k < 4; ++k) c.controls[k] = codes[k];
    }
    // Half of them computer drivers, as in a race.
    for (int i = 3; i < maxCars; ++i) game.cars[i].controls[0] = 0, game.cars[i].controls[1] = 100;
}

void BM_CarStepSixCars(benchmark::State& state)
{
    std::vector<uint8_t> surface(surfaceMapCells), heights(heightMapCells, 0);
    uint8_t keys[keySnapshotSize] = {};
    sixCarsOnTheGround(surface, heights, keys);
    for (auto _ : state) {
        for (int i = 0; i < maxCars; ++i) carStep(i);
        benchmark::ClobberMemory();
    }
    state.counters["us_per_step"] = benchmark::Counter(double(state.iterations()) * 1e-6,
                                                       benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    game.surfaceMap = nullptr;
    game.heightMap = nullptr;
    game.keySnapshot = nullptr;
}
BENCHMARK(BM_CarStepSixCars);

}  // namespace
