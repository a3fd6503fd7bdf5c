// The scenery pass of the largest sample track at the smallest common and at a large screen:
// it runs once per race, and should stay well inside a tenth of a second at 1920 x 1080.
#include "platform/exe_folder.h"
#include "state/game_state.h"
#include "state/random_table.h"
#include "render/palette.h"
#include "render/raster.h"
#include "render/scenery.h"
#include "render/surfaces.h"
#include "shell/game_system.h"
#include "track/track_loader.h"

#include <benchmark/benchmark.h>

#include <filesystem>

namespace fs = std::filesystem;

static std::string largestTrackEntry()
{
    fs::path folder = fs::path(programFolder()).parent_path() / "tarmacade", best;
    uintmax_t size = 0;
    std::error_code ec;
    for (auto& e : fs::recursive_directory_iterator(folder / "tracks", ec))
        if (e.path().extension() == ".trk" && e.file_size() > size) size = e.file_size(), best = e.path();
    if (best.empty()) return {};
    game.exeFolder = folder.string();
    std::string entry = "\\" + fs::relative(best, folder / "tracks").replace_extension().string();
    for (char& c : entry)
        if (c == '/') c = '\\';
    return entry;
}

static void BM_TerrainPass(benchmark::State& state)
{
    int width = int(state.range(0)), height = int(state.range(1));
    std::string entry = largestTrackEntry();
    if (entry.empty()) return state.SkipWithError("no sample tracks: build the game folder first");
    game.screenWidth = width, game.screenHeight = height;
    game.viewAngle = game.viewRotation = 0x7FFF;
    game.viewZoom = 0;
    game.ratioAdjust = 1;
    game.carCount = 1;
    if (!createDrawSurfaces(width, height)) return state.SkipWithError("no drawing surfaces");
    uint32_t colours[paletteSize] = {};
    builtInPalette(colours);
    applyPalette(colours);
    buildCircleTable();
    fillRandomTable();
    setProjectionScale(width, height);
    if (loadTrack(entry) != 0) return state.SkipWithError("the track does not load");
    for (auto _ : state) buildRaceBackground();
    state.SetLabel(entry.substr(1) + " " + std::to_string(game.objectCount) + " objects");
    freeTrackData();
    freeSceneImages();
    freeDrawSurfaces();
}
BENCHMARK(BM_TerrainPass)->Args({640, 480})->Args({1920, 1080})->Unit(benchmark::kMillisecond);
