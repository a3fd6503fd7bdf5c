#include "pictures.h"

#include "state/game_state.h"
#include "render/draw_access.h"
#include "support/harness.h"

#include <SDL.h>

#include <filesystem>

bool savePicture(const std::string& name)
{
    std::filesystem::path folder = buildFolder() / "pictures";
    std::error_code e;
    std::filesystem::create_directories(folder, e);
    bool locked = game.lockedSurface == game.drawSurface && game.pixelBase;
    unlockDraw();
    bool saved = game.drawSurface && SDL_SaveBMP(game.drawSurface, (folder / name).string().c_str()) == 0;
    if (locked) lockDraw();
    return saved;
}
