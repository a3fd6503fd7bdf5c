// One race of six computer cars on the largest sample track, stepped as fast as the machine
// allows: simulated race seconds per wall second (six cars at 100 steps a second should reach
// 1000), and the allocations made while the race runs, which should be none.
#include "platform/exe_folder.h"
#include "race/car_models.h"
#include "race/quick_race.h"
#include "race/race_frame.h"
#include "files/options_file.h"
#include "state/game_state.h"
#include "state/random_table.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <ctime>
#include <cstdlib>
#include <filesystem>
#include <new>
#include <vector>

namespace {

std::atomic<long> allocations{0};
bool counting = false;

// The built game folder beside the benchmarks' own.
bool enterGameFolder()
{
    std::filesystem::path folder = std::filesystem::path(programFolder()).parent_path() / "tarmacade";
    if (!std::filesystem::is_regular_file(folder / "tracks" / "gp.trk")) return false;
    game.exeFolder = folder.string();
    changeToFolder(game.exeFolder);
    return true;
}

void BM_SixCarRace(benchmark::State& state)
{
    if (!enterGameFolder()) return state.SkipWithError("no built game folder with tracks/gp.trk");
    setDefaultOptions(game.options);
    loadCarModels();
    uint8_t keys[keySnapshotSize] = {};
    game.keySnapshot = keys;
    int64_t steps = 0;
    double seconds = 0;
    std::vector<double> cpuRates;  // simulated seconds per processor second, one per race
    cpuRates.reserve(size_t(state.max_iterations));  // no allocation counted against a race
    long allocated = 0;
    for (auto _ : state) {
        // Every race the same race: the table refilled and read from its start.
        std::srand(1);
        fillRandomTable();
        game.randomIndex = 0;
        std::vector<RaceDriver> drivers;
        std::vector<int> skills = spreadSkills(maxCars);
        for (int i = 0; i < maxCars; ++i)
            drivers.push_back(computerDriverEntry("Computer", skills[size_t(i)], game.models[0], i));
        if (prepareRace("\\gp", drivers, 3) != 0) return state.SkipWithError("gp.trk does not load");
        game.racePhase = Racing;
        allocations = 0;
        counting = true;
        auto t0 = std::chrono::steady_clock::now();
        std::clock_t c0 = std::clock();
        int raceSteps = 0;
        while (game.racePhase < RaceOver && raceSteps < 3 * 12000) raceStep(), ++raceSteps;
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        double cpu = double(std::clock() - c0) / CLOCKS_PER_SEC;
        cpuRates.push_back(cpu > 0 ? raceSteps / 100.0 / cpu : 0);
        counting = false;
        allocated += allocations;
        steps += raceSteps;
    }
    game.keySnapshot = nullptr;
    if (cpuRates.empty()) return;
    state.counters["race_s"] = double(steps) / 100 / double(state.iterations());
    state.counters["race_s_per_wall_s"] = double(steps) / 100 / seconds;
    // The machine may be shared: the processor time tells what the race itself costs, and the
    // median of several races what is left of it when other work crowds the processor.
    std::sort(cpuRates.begin(), cpuRates.end());
    state.counters["race_s_per_cpu_s"] = cpuRates[cpuRates.size() / 2];
    state.counters["race_s_per_cpu_s_best"] = cpuRates.back();
    state.counters["us_per_step"] = seconds * 1e6 / double(steps);
    state.counters["allocations"] = double(allocated);
}
BENCHMARK(BM_SixCarRace)->Unit(benchmark::kMillisecond)->Iterations(9);

}  // namespace

// Every allocation of the process passes here; only those during a race are counted. The
// compiler cannot see that these two belong together.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t size)
{
    if (counting) ++allocations;
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
