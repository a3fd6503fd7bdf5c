// The analyser's whole work on a six-car saved game with a ten-minute replay: reading both
// files, cutting the laps, drawing the map and writing the JPEG, in milliseconds, beside the
// bare read of the saved game's bytes.
#include "analysis.h"
#include "analysis_text.h"
#include "analyser/composed_files.h"
#include "map_picture.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace fs = std::filesystem;

struct BenchFolder {
    fs::path game;
    std::string save, jpeg;
    BenchFolder()
    {
        game = fs::temp_directory_path() / ("analyser_bench-" + std::to_string(getpid()));
        fs::create_directories(game / "tracks");
        fs::create_directories(game / "saves");
        ComposedTrack t;
        ComposedGame g;
        g.cars.assign(6, ComposedCar());
        g.cars[0].human = true;
        g.frames = squareLaps(t, 30, 400, 10);  // 30 laps of 20 s: 12011 frames a car
        write(game / "tracks" / "oval.trk", composeTrack(t));
        save = (game / "saves" / "race.gam").string();
        write(save, composeSavedGame(g));
        jpeg = (game / "race.jpg").string();
    }
    ~BenchFolder() { std::error_code ec; fs::remove_all(game, ec); }
    static void write(const fs::path& p, const std::vector<uint8_t>& b)
    {
        std::ofstream(p, std::ios::binary).write(reinterpret_cast<const char*>(b.data()), long(b.size()));
    }
};

static BenchFolder& folder()
{
    static BenchFolder f;
    return f;
}

static void BM_ReadSavedGameBytes(benchmark::State& state)
{
    std::vector<uint8_t> bytes;
    for (auto _ : state) {
        readWholeFile(folder().save, bytes, savedGameLimit);
        benchmark::DoNotOptimize(bytes.data());
    }
}
BENCHMARK(BM_ReadSavedGameBytes)->Unit(benchmark::kMillisecond);

static void BM_FullAnalysis(benchmark::State& state)
{
    PictureLook look = loadPictureLook(folder().game.string());
    for (auto _ : state) {
        Analysis a;
        std::string why;
        if (!analyseSavedGame(folder().game.string(), folder().save, a, why) || a.laps.laps.size() != 30) {
            state.SkipWithError("the saved game was not analysed");
            break;
        }
        Picture p;
        drawMapPicture(p, &a.track, a.laps, 0, pictureLines(a, 0), look);
        benchmark::DoNotOptimize(reportText(a));
        if (!writeJpeg(p, folder().jpeg, 90, why)) {
            state.SkipWithError(why.c_str());
            break;
        }
    }
}
BENCHMARK(BM_FullAnalysis)->Unit(benchmark::kMillisecond);
