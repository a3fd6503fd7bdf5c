// Loading the largest sample track against simply reading its bytes: the loader decodes the
// ground map with its scatters and reads the body twice, and should stay a small multiple.
#include "platform/exe_folder.h"
#include "state/game_state.h"
#include "track/ghost_lap.h"
#include "track/track_loader.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <vector>

namespace fs = std::filesystem;

// The game folder beside the benchmark's build folder, and its largest track.
static fs::path largestTrack(fs::path& gameFolder)
{
    gameFolder = fs::path(programFolder()).parent_path() / "tarmacade";
    fs::path best;
    uintmax_t size = 0;
    std::error_code ec;
    for (auto& e : fs::recursive_directory_iterator(gameFolder / "tracks", ec))
        if (e.path().extension() == ".trk" && e.file_size() > size) size = e.file_size(), best = e.path();
    return best;
}

static void BM_ReadTrackBytes(benchmark::State& state)
{
    fs::path folder, track = largestTrack(folder);
    if (track.empty()) return state.SkipWithError("no sample tracks: build the game folder first");
    std::vector<char> buf(fs::file_size(track));
    for (auto _ : state) {
        FILE* f = std::fopen(track.c_str(), "rb");
        benchmark::DoNotOptimize(std::fread(buf.data(), 1, buf.size(), f));
        std::fclose(f);
    }
    state.SetLabel(track.filename().string());
}
BENCHMARK(BM_ReadTrackBytes)->Unit(benchmark::kMillisecond);

static void BM_LoadTrack(benchmark::State& state)
{
    fs::path folder, track = largestTrack(folder);
    if (track.empty()) return state.SkipWithError("no sample tracks: build the game folder first");
    game.exeFolder = folder.string();
    game.viewAngle = game.viewRotation = 0x7FFF;
    game.carCount = 1;
    std::string entry = "\\" + fs::relative(track, folder / "tracks").replace_extension().string();
    for (char& c : entry)
        if (c == '/') c = '\\';
    // Reading the bytes, measured in the same run, is the unit of the reported multiple.
    std::vector<char> buf(fs::file_size(track));
    auto t0 = std::chrono::steady_clock::now();
    for (int i = 0; i < 2000; ++i) {
        FILE* f = std::fopen(track.c_str(), "rb");
        benchmark::DoNotOptimize(std::fread(buf.data(), 1, buf.size(), f));
        std::fclose(f);
    }
    double readSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count() / 2000;
    auto t1 = std::chrono::steady_clock::now();
    int64_t loads = 0;
    for (auto _ : state) {
        if (loadTrack(entry) != 0) return state.SkipWithError("the track does not load");
        ++loads;
    }
    double loadSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t1).count() / double(loads);
    state.counters["ms"] = loadSeconds * 1000;
    state.counters["x_read"] = loadSeconds / readSeconds;
    state.SetLabel(track.filename().string());
    freeTrackData();
    freeGhost();
}
BENCHMARK(BM_LoadTrack)->Unit(benchmark::kMillisecond);
