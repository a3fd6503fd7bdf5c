#include "shell/startup.h"

#include "platform/exe_folder.h"
#include "platform/message_box.h"
#include "platform/name_compare.h"
#include "platform/player_folder.h"
#include "race/quick_race.h"
#include "save/saved_game.h"
#include "state/game_state.h"
#include "shell/command_line.h"
#include "shell/game_system.h"
#include "shell/main_loop.h"
#include "files/killed_writes.h"
#include "files/options_file.h"
#include "track/track_loader.h"
#include "ui/main_menu.h"
#include "ui/pause_menu.h"
#include "ui/screen_actions.h"
#include "ui/screens.h"

#include <cstdio>
#include <cstdlib>

static constexpr Uint32 sdlSubsystems = SDL_INIT_AUDIO | SDL_INIT_VIDEO | SDL_INIT_JOYSTICK;

// Every file of the game lies beside the program, wherever it was started from; an installed
// game keeps them in the player's own folder instead.
static bool findGameFolder()
{
    std::string why;
    game.exeFolder = gameFolderFor(programFolder(), why);
    if (!why.empty()) {
        showStartupFailure(("The player's folder cannot be made: " + why).c_str(), "Error!");
        return false;
    }
    changeToFolder(game.exeFolder);
    return true;
}

// A race from the command line must name a track that loads, before any window opens.
static bool trackLoads(const std::string& name)
{
    std::string entry = trackEntryFor(name);
    for (size_t at = 0; (at = entry.find("..", at)) != std::string::npos; ++at)
        if ((at == 0 || entry[at - 1] == '\\') && (at + 2 == entry.size() || entry[at + 2] == '\\')) return false;
    return loadTrackPreview(entry) == 0;
}

// A saved game from the command line runs as one loaded from the main menu would: the menu
// waits behind it with the pause menu and the way back.
static bool startSavedGame(const std::string& name)
{
    parkScreen();
    installMenuHooks();
    if (loadGame(name) == 0) return true;
    game.raceHooks = RaceHooks{};
    return false;
}

int runGame(int argc, char** argv)
{
    CommandLine command;
    std::string why;
    if (!parseCommandLine(argc, argv, command, why)) {
        std::fprintf(stderr, "tarmacade: %s\n", why.c_str());
        return 2;
    }
    if (command.help) {
        std::fputs(commandLineUsage, stdout);
        return 0;
    }
    game.raceRunning = 0;
    initPlatformLocale();
    if (!findGameFolder()) return 1;
    removeKilledWrites();
    if (command.race && !trackLoads(command.track)) {
        std::fprintf(stderr, "tarmacade: no track '%s' in tracks\n", command.track.c_str());
        return 2;
    }
    if (command.load && !savedGameReadable(command.saveName)) {
        std::fprintf(stderr, "tarmacade: no saved game '%s' that loads in saves\n", command.saveName.c_str());
        return 2;
    }
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
    // The main menu waits behind the race and comes back after its results.
    if (command.race) parkScreen();
    if (command.race && startQuickRace(command.track, command.laps, command.computers, backToMainMenu) != 0) {
        shutdownGameSystem(false);
        SDL_Quit();
        std::fprintf(stderr, "tarmacade: the race on '%s' could not start\n", command.track.c_str());
        return 2;
    }
    if (command.load && !startSavedGame(command.saveName)) {
        shutdownGameSystem(false);
        SDL_Quit();
        std::fprintf(stderr, "tarmacade: the saved game '%s' could not be loaded\n", command.saveName.c_str());
        return 2;
    }
    while (pumpEvents(0)) {
        // A pass outside a race has just put the menu on the screen.
        if (command.quitAfterMenu && !game.raceRunning) break;
        SDL_Delay(game.raceRunning ? 1 : 25);
    }
    shutdownGameSystem(false);
    saveOptions();
    SDL_Quit();
    return 0;
}
