// Listing and opening names in big folders: 10,000 track names of one beginning listed with
// their aliases, one alias opened, and the screenshot number probe over 10,300 shots. Each is
// set beside a bare read of the same folder, measured in the same run; all should stay far
// under 0.1 s.
#include "platform/exe_folder.h"
#include "platform/folder_entries.h"
#include "platform/game_path.h"
#include "render/screenshot.h"
#include "files/folder_list.h"
#include "state/game_state.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// A game folder with tracks\ and screens\ filled once for the whole run.
struct BigFolder {
    fs::path root;
    BigFolder()
    {
        char name[] = "/tmp/tmbench-XXXXXX";
        if (!mkdtemp(name)) return;
        root = name;
        fs::create_directories(root / "tracks");
        fs::create_directories(root / "screens");
        for (int i = 0; i < 10000; ++i) touch(root / "tracks" / ("thirteen_chars_" + std::to_string(i) + ".trk"));
        char shot[32];
        for (int i = 0; i < 10300; ++i) {
            std::snprintf(shot, sizeof shot, "shot%04d.bmp", i);
            touch(root / "screens" / shot);
        }
        game.exeFolder = root.string();
        changeToFolder(game.exeFolder);
    }
    ~BigFolder()
    {
        std::error_code ec;
        if (!root.empty()) fs::remove_all(root, ec);
    }
    static void touch(const fs::path& p)
    {
        if (std::FILE* f = std::fopen(p.c_str(), "wb")) std::fclose(f);
    }
};

BigFolder& bigFolder()
{
    static BigFolder folder;
    return folder;
}

// Seconds for one bare readdir of a host folder: the unit of the reported multiples.
double bareRead(const std::string& folder)
{
    auto t0 = std::chrono::steady_clock::now();
    int n = 0;
    for (int i = 0; i < 20; ++i) {
        DIR* d = opendir(folder.c_str());
        while (readdir(d)) ++n;
        closedir(d);
    }
    benchmark::DoNotOptimize(n);
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count() / 20;
}

template <typename Step>
void measure(benchmark::State& state, const std::string& folder, Step step)
{
    double unit = bareRead(folder);
    auto t0 = std::chrono::steady_clock::now();
    int64_t runs = 0;
    for (auto _ : state) {
        step();
        ++runs;
    }
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count() / double(runs);
    state.counters["ms"] = seconds * 1000;
    state.counters["x_readdir"] = seconds / unit;
}

}  // namespace

static void BM_ListTenThousandTracks(benchmark::State& state)
{
    if (bigFolder().root.empty()) return state.SkipWithError("no temporary folder");
    size_t count = 0;
    measure(state, "tracks", [&] {
        std::vector<std::string> names;
        count = size_t(listFolder(names, "tracks", "trk", listFiles, 12));
    });
    if (count != 10000) state.SkipWithError("not every name was listed");
}
BENCHMARK(BM_ListTenThousandTracks)->Unit(benchmark::kMillisecond);

static void BM_OpenOneShortName(benchmark::State& state)
{
    if (bigFolder().root.empty()) return state.SkipWithError("no temporary folder");
    std::vector<std::string> names;
    listFolder(names, "tracks", "trk", listFiles, 12);
    std::string path = "tracks\\" + names[names.size() / 2] + ".trk";
    bool opened = true;
    measure(state, "tracks", [&] {
        std::FILE* f = openGameFile(path, "rb");
        opened = opened && f;
        if (f) std::fclose(f);
    });
    if (!opened) state.SkipWithError("the short name did not open");
    state.SetLabel(path);
}
BENCHMARK(BM_OpenOneShortName)->Unit(benchmark::kMillisecond);

static void BM_ScreenshotProbeOverTenThousandShots(benchmark::State& state)
{
    if (bigFolder().root.empty()) return state.SkipWithError("no temporary folder");
    // Without a screen the probe runs and nothing is written.
    measure(state, "screens", [&] {
        game.screenshotCounter = 0;
        takeScreenshot(0, 0);
    });
    if (game.screenshotCounter != 10301) state.SkipWithError("the probe stopped at the wrong number");
}
BENCHMARK(BM_ScreenshotProbeOverTenThousandShots)->Unit(benchmark::kMillisecond);

// Every later F12 of the same run starts from the counter: one name tried, one folder read.
static void BM_ScreenshotProbeOfALaterShot(benchmark::State& state)
{
    if (bigFolder().root.empty()) return state.SkipWithError("no temporary folder");
    measure(state, "screens", [&] {
        game.screenshotCounter = 10300;
        takeScreenshot(0, 0);
    });
}
BENCHMARK(BM_ScreenshotProbeOfALaterShot)->Unit(benchmark::kMillisecond);
