#include "render/surfaces.h"

#include "state/game_state.h"
#include "render/draw_access.h"

static SDL_Surface* makeSurface(int width, int height)
{
    return SDL_CreateRGBSurface(SDL_SWSURFACE, width, height, 8, 0, 0, 0, 0);
}

void freeDrawSurfaces()
{
    unlockDraw();
    if (game.drawSurface) SDL_FreeSurface(game.drawSurface);
    if (game.backgroundSurface) SDL_FreeSurface(game.backgroundSurface);
    game.drawSurface = nullptr;
    game.backgroundSurface = nullptr;
}

bool createDrawSurfaces(int width, int height)
{
    freeDrawSurfaces();
    game.drawSurface = makeSurface(width, height);
    game.backgroundSurface = makeSurface(width, height);
    if (game.drawSurface && game.backgroundSurface) return true;
    freeDrawSurfaces();
    return false;
}

bool setVideoMode(int width, int height, bool windowed)
{
    freeDrawSurfaces();
    Uint32 flags = windowed ? 0 : (SDL_FULLSCREEN | SDL_HWPALETTE);
    game.videoSurface = SDL_SetVideoMode(width, height, 8, flags);
    if (!game.videoSurface) return false;
    return createDrawSurfaces(width, height);
}

void presentDrawSurface()
{
    SDL_Surface* video = SDL_GetVideoSurface();
    if (game.drawSurface && video) SDL_BlitSurface(game.drawSurface, nullptr, video, nullptr);
    if (video) SDL_Flip(video);
}
