// The main menu at 1920 x 1080: its first full draw (background, captions and all 30 widgets
// with three players' cars and a filled track list) and the redraw of one widget, the track
// list, as a click on a track causes it. In milliseconds.
#include "platform/exe_folder.h"
#include "render/font.h"
#include "shell/game_system.h"
#include "state/game_state.h"
#include "ui/dialog.h"
#include "ui/main_menu.h"
#include "ui/screen_actions.h"
#include "ui/screens.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

void writeFile(const fs::path& p, const std::string& bytes)
{
    std::ofstream(p, std::ios::binary) << bytes;
}

// A game folder with a font, 40 track names and six drivers, and the game started in it.
struct MenuGame {
    fs::path root;
    bool ok = false;
    MenuGame()
    {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        char name[] = "/tmp/tmbench-menu-XXXXXX";
        if (!mkdtemp(name)) return;
        root = name;
        fs::create_directories(root / "tracks" / "rally");
        fs::create_directories(root / "drivers");
        std::vector<uint8_t> ink(size_t(fontImageWidth) * fontCellHeight, 0);
        for (size_t i = 0; i < ink.size(); i += 3) ink[i] = 1;
        writeFile(root / "font.bmp", fontFileImage(ink));
        for (int i = 0; i < 40; ++i) writeFile(root / (i < 30 ? "tracks" : "tracks/rally") / ("track" + std::to_string(i) + ".trk"), "");
        for (const char* d : {"Ada", "Bruno", "Chen", "Dora", "Emil", "Fay"}) writeFile(root / "drivers" / (std::string(d) + ".drv"), "");
        game.exeFolder = root.string();
        changeToFolder(game.exeFolder);
        if (SDL_Init(SDL_INIT_VIDEO) != 0) return;
        game.options.windowedMode = 1;
        game.options.raceLength = 5;
        game.screenWidth = 1920;
        game.screenHeight = 1080;
        ok = initGameSystem() == 1;
        for (int k = 0; k < 3; ++k) seatDriver(k, "Driver " + std::to_string(k), nullptr);
        game.carCount = 3;
        selectRandomTracks(12);
    }
    ~MenuGame()
    {
        if (ok) shutdownGameSystem(false);
        SDL_Quit();
        std::error_code ec;
        if (!root.empty()) fs::remove_all(root, ec);
    }
};

MenuGame& menuGame()
{
    static MenuGame g;
    return g;
}

void BM_MainMenuFirstDraw(benchmark::State& state)
{
    if (!menuGame().ok) {
        state.SkipWithError("the game did not start");
        return;
    }
    for (auto _ : state) {
        closeDialog();
        showScreen(screenMainMenu);
        benchmark::DoNotOptimize(game.drawSurface->pixels);
    }
}
BENCHMARK(BM_MainMenuFirstDraw)->Unit(benchmark::kMillisecond);

void BM_MainMenuTrackListRedraw(benchmark::State& state)
{
    if (!menuGame().ok) {
        state.SkipWithError("the game did not start");
        return;
    }
    if (!game.dialog.active) showScreen(screenMainMenu);
    for (auto _ : state) {
        redrawWidget(menuTracks, redrawSelection);
        benchmark::DoNotOptimize(game.drawSurface->pixels);
    }
}
BENCHMARK(BM_MainMenuTrackListRedraw)->Unit(benchmark::kMillisecond);

void BM_MainMenuButtonRedraw(benchmark::State& state)
{
    if (!menuGame().ok) {
        state.SkipWithError("the game did not start");
        return;
    }
    if (!game.dialog.active) showScreen(screenMainMenu);
    for (auto _ : state) {
        redrawWidget(menuStart, redrawPressed);
        benchmark::DoNotOptimize(game.drawSurface->pixels);
    }
}
BENCHMARK(BM_MainMenuButtonRedraw)->Unit(benchmark::kMillisecond);

}  // namespace
