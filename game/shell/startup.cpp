#include "shell/startup.h"

#include "platform/exe_folder.h"
#include "platform/message_box.h"
#include "platform/name_compare.h"
#include "state/game_state.h"
#include "shell/game_system.h"
#include "shell/main_loop.h"
#include "shell/options_file.h"

#include <cstdio>
#include <cstdlib>

static constexpr Uint32 sdlSubsystems = SDL_INIT_AUDIO | SDL_INIT_VIDEO | SDL_INIT_JOYSTICK;

static void findGameFolder()
{
    // Every file of the game lies beside the program, wherever it was started from.
    game.exeFolder = programFolder();
    changeToFolder(game.exeFolder);
}

int runGame(int, char**)
{
    game.raceRunning = 0;
    initPlatformLocale();
    findGameFolder();
    std::srand(SDL_GetTicks());
    loadOptions();
    if (SDL_Init(sdlSubsystems) != 0) {
        std::fprintf(stderr, "SDL: %s\n", SDL_GetError());
        return -1;
    }
    SDL_WM_SetCaption("Tarmacade 1.10c", nullptr);
    if (initGameSystem() < 0) {
        shutdownGameSystem(false);
        showStartupFailure("Failed to initialize the game system.", "Error!");
        return 1;
    }
    while (pumpEvents(0)) SDL_Delay(game.raceRunning ? 1 : 25);
    shutdownGameSystem(false);
    saveOptions();
    SDL_Quit();
    return 0;
}
