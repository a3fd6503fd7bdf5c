#include "track_render.h"

#include "track_inspect.h"

#include "platform/exe_folder.h"
#include "race/game_state.h"
#include "race/random_table.h"
#include "render/draw_access.h"
#include "render/font.h"
#include "render/palette.h"
#include "render/raster.h"
#include "render/scenery.h"
#include "render/surfaces.h"
#include "shell/game_system.h"

#include <filesystem>

void drawRaceMovingThings()
{
}

bool renderTrackPicture(const std::string& trackPath, const std::string& bmp, int width, int height, std::string& why)
{
    // Loading the font changes the working folder: settle the paths first.
    std::error_code ec;
    std::string track = std::filesystem::absolute(trackPath, ec).string();
    std::string out = std::filesystem::absolute(bmp, ec).string();
    if (width < 16 || height < 16 || width > 4096 || height > 4096) return why = "the picture size must lie in 16 .. 4096", false;
    game.screenWidth = width;
    game.screenHeight = height;
    // The font and the palette come from the game folder the tool lives in.
    game.exeFolder = programFolder();
    if (game.paletteFile.empty()) game.paletteFile = "tm.pal";
    if (!createDrawSurfaces(width, height)) return why = "cannot make the drawing surfaces", false;
    loadPalette();
    if (loadFont() != 0) why = "no font.bmp beside tmtrack: the panel has no text";
    buildCircleTable();
    fillRandomTable();
    setProjectionScale(width, height);
    std::string gameFolder = game.exeFolder, loadWhy;
    bool ok = loadTrackForInspection(track, loadWhy);
    game.exeFolder = gameFolder;
    if (!ok) {
        freeDrawSurfaces();
        return why = loadWhy, false;
    }
    buildRaceBackground();
    SDL_BlitSurface(game.backgroundSurface, nullptr, game.drawSurface, nullptr);
    if (lockDraw()) {
        drawRaceMovingThings();
        unlockDraw();
    }
    ok = SDL_SaveBMP(game.drawSurface, out.c_str()) == 0;
    if (!ok) why = "cannot write " + bmp;
    freeSceneImages();
    freeDrawSurfaces();
    freeFont();
    return ok;
}
