#include "shell/game_system.h"

#include "audio/mixer.h"
#include "audio/sound_registry.h"
#include "audio/sound_set.h"
#include "platform/exe_folder.h"
#include "state/game_state.h"
#include "files/config.h"
#include "files/language.h"
#include "race/car_models.h"
#include "state/joystick_state.h"
#include "state/particle_ring.h"
#include "state/random_table.h"
#include "render/font.h"
#include "render/car_view.h"
#include "render/palette.h"
#include "render/raster.h"
#include "render/surfaces.h"
#include "race/replay_buffer.h"
#include "season/driver_list.h"
#include "shell/main_loop.h"
#include "track/ghost_lap.h"
#include "track/track_loader.h"
#include "ui/dialog.h"
#include "ui/dialog_events.h"
#include "ui/main_menu.h"
#include "ui/message_box.h"
#include "ui/pause_menu.h"
#include "ui/screens.h"

#include <cmath>
#include <cstring>

constexpr int offeredResolutionTotal = 23;

void buildCircleTable()
{
    delete[] game.circleTable;
    game.circleTable = new float[circleTableSize];
    for (int i = 0; i < circleTableSize; ++i) {
        double t = 0.02 * i - 0.99;
        game.circleTable[i] = static_cast<float>(std::sqrt(1.0 - t * t));
    }
}

static void freeInputBuffers()
{
    delete[] game.keySnapshot;
    game.keySnapshot = nullptr;
    delete[] game.joysticks;
    game.joysticks = nullptr;
    game.joystickCount = 0;
}

static void allocateInputBuffers()
{
    if (!game.keySnapshot) {
        game.keySnapshot = new uint8_t[keySnapshotSize];
        std::memset(game.keySnapshot, 0, keySnapshotSize);
    }
    delete[] game.joysticks;
    game.joysticks = nullptr;
    game.joystickCount = SDL_NumJoysticks();
    if (game.joystickCount < 0) game.joystickCount = 0;
    if (game.joystickCount > 0) game.joysticks = new JoystickState[game.joystickCount]();
}

static void setUpDisplay()
{
    if (!game.drawSurface) {
        Uint32 flags = game.options.windowedMode == 1 ? 0 : (SDL_FULLSCREEN | SDL_HWPALETTE);
        game.videoSurface = SDL_SetVideoMode(game.screenWidth, game.screenHeight, 8, flags);
        if (game.videoSurface) createDrawSurfaces(game.screenWidth, game.screenHeight);
    }
    game.offeredResolutionCount = offeredResolutionTotal;
    for (int i = 0; i < offeredResolutionTotal; ++i) game.offeredResolutions[i] = i;
    if (game.options.resolution != 2 && game.options.resolution >= offeredResolutionTotal) {
        game.options.resolution = 2;
        game.screenWidth = 640;
        game.screenHeight = 480;
        setVideoMode(game.screenWidth, game.screenHeight, game.options.windowedMode == 1);
    }
}

int initGameSystem()
{
    game.systemHooks = SystemHooks{pumpEvents, initGameSystem, shutdownGameSystem};
    changeToFolder(game.exeFolder);
    loadLanguage(game.options.language);  // a missing file leaves English
    loadConfig();
    selectCarView(game.tyreAutoSort);
    setUpDisplay();
    // Without a device the game plays on in silence: nothing loads, every handle stays 0.
    if (!game.audioOpen && !openAudio()) {
        closeAudio();
        clearSounds();
    }
    if (game.audioOpen) loadSoundSet(game.options.soundSet);
    buildCircleTable();
    loadPalette();
    setProjectionScale(game.screenWidth, game.screenHeight);
    int font = loadFont();
    if (font == -1 || font == -2) return -1;
    loadCarModels();
    // A restart keeps the drivers it has; only the first start (or an empty list) reads them.
    if (game.driverList.empty()) loadDriverList();
    allocateInputBuffers();
    allocateParticleRing();
    game.guiOriginX = (game.screenWidth - 80.0f * game.guiScale) * 0.5f;
    game.guiOriginY = (game.screenHeight - 60.0f * game.guiScale) * 0.5f;
    connectDialogInput();
    connectScreenInput();
    buildScreens();
    // A race from the command line pauses into the same menu as a season's race.
    game.raceHooks.pauseMenu = openPauseMenu;
    SDL_ShowCursor(1);
    openMainMenu();
    return 1;
}

void shutdownGameSystem(bool partial)
{
    SDL_ShowCursor(1);
    if (!partial) {
        closeDialog();
        delete game.parkedDialog;
        game.parkedDialog = nullptr;
        freeModalBoxes();
        freeScreens();
    }
    delete[] game.circleTable;
    game.circleTable = nullptr;
    freeCarModels();
    freeDrawSurfaces();
    freeSceneImages();
    freeFont();
    freeInputBuffers();
    for (auto& s : game.engineSound) s = 0;
    game.skidSound = game.impactSound = game.lightSound = 0;
    game.finalLapSound = game.fuelWarningSound = 0;
    clearSounds();
    if (!partial) closeAudio();
    // A resolution change keeps the loaded track; only the end of the program frees it.
    if (!partial) {
        freeTrackData();
        freeGhost();
        freeReplay();
        freeParticleRing();
        freeRandomTable();
        freeDriverList();
    }
}
