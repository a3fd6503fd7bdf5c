// Saving and loading a six-car season race whose replay rings are full, in milliseconds.
#include "platform/exe_folder.h"
#include "race/car_models.h"
#include "race/race_frame.h"
#include "save/saved_game.h"
#include "season/championship.h"
#include "season/driver_file.h"
#include "season/race_slots.h"
#include "files/config.h"
#include "files/options_file.h"
#include "state/game_state.h"

#include <benchmark/benchmark.h>

#include <SDL.h>

#include <cstdlib>
#include <filesystem>
#include <memory>

namespace fs = std::filesystem;

namespace {

// A private game folder whose tracks and cars are the built ones, so the saves stay out of it.
struct BenchFolder {
    fs::path root;
    BenchFolder()
    {
        fs::path built = fs::path(programFolder()).parent_path() / "tarmacade";
        if (!fs::is_regular_file(built / "tracks" / "gp.trk")) return;
        std::string pattern = (fs::temp_directory_path() / "tmbench-XXXXXX").string();
        if (!mkdtemp(pattern.data())) return;
        root = pattern;
        fs::create_directory_symlink(built / "tracks", root / "tracks");
        fs::create_directory_symlink(built / "cars", root / "cars");
        fs::copy_file(built / "tm.ini", root / "tm.ini");
    }
    ~BenchFolder()
    {
        std::error_code ec;
        if (!root.empty()) fs::remove_all(root, ec);
    }
};

// Six computer drivers raced until every replay ring has wrapped.
bool fullSixCarRace()
{
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    SDL_Init(SDL_INIT_VIDEO);
    setDefaultOptions(game.options);
    loadConfig();
    loadCarModels();
    static uint8_t keys[keySnapshotSize];
    game.keySnapshot = keys;
    game.options.raceLength = 50;
    // A minute of race in every ring, where tm.ini keeps ten seconds.
    game.replayLength = 60;
    static const char* const names[] = {"Ann", "Bob", "Cy", "Dee", "Eve", "Fay"};
    game.driverList.clear();
    game.carCount = 0;
    for (int i = 0; i < maxCars; ++i) {
        game.driverList.push_back({names[i], std::make_unique<DriverProfile>(newDriverProfile(false))});
        assignParticipant(game.carCount++, game.driverList.back().profile.get());
    }
    game.seasonTracks = {"gp", "hills", "lake"};
    if (startSeason() != 0) return false;
    game.racePhase = Racing;
    while (game.replay.start == 0 && game.racePhase < RaceOver) raceStep();
    return game.replay.frameCount == game.replay.capacity;
}

void BM_SaveAndLoadSixCars(benchmark::State& state)
{
    BenchFolder folder;
    if (folder.root.empty()) return state.SkipWithError("no built game folder with tracks/gp.trk");
    game.exeFolder = folder.root.string();
    changeToFolder(game.exeFolder);
    if (!fullSixCarRace()) return state.SkipWithError("the race did not fill its replay");
    const bool save = state.range(0) == 0;
    if (!saveGame("Bench")) return state.SkipWithError("the save failed");
    for (auto _ : state) {
        bool ok = save ? saveGame("Bench") : loadGame("Bench") == 0;
        if (!ok) return state.SkipWithError("a save or load failed");
    }
    state.counters["frames"] = double(game.replay.frameCount);
    state.counters["bytes"] = double(fs::file_size(folder.root / "saves" / "Bench.gam"));
    state.SetLabel(save ? "save" : "load");
}

}  // namespace

BENCHMARK(BM_SaveAndLoadSixCars)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
