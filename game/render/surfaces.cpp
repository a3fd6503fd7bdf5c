#include "render/surfaces.h"

#include "state/game_state.h"
#include "render/draw_access.h"
#include "render/frame_damage.h"

#include <cstdint>
#include <cstring>

static SDL_Surface* makeSurface(int width, int height)
{
    return SDL_CreateRGBSurface(SDL_SWSURFACE, width, height, 8, 0, 0, 0, 0);
}

void freeDrawSurfaces()
{
    unlockDraw();
    forgetFrames();  // a new surface may come at the same address
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
    forgetScreen();
    if (!game.videoSurface) return false;
    return createDrawSurfaces(width, height);
}

// What SDL's blit does between two surfaces of one size when it copies bytes unchanged: both
// 8-bit in memory without locking, one palette (SDL then maps colours to themselves), no
// colour key or alpha on the source, no clipping on the destination.
bool copiesBytes(const SDL_Surface* from, const SDL_Surface* to)
{
    const SDL_PixelFormat* f = from->format;
    const SDL_PixelFormat* t = to->format;
    if (f->BitsPerPixel != 8 || t->BitsPerPixel != 8 || !f->palette || !t->palette) return false;
    if (from->w != to->w || from->h != to->h || !from->pixels || !to->pixels) return false;
    if (SDL_MUSTLOCK(from) || SDL_MUSTLOCK(to) || from == to) return false;
    if (from->flags & (SDL_SRCCOLORKEY | SDL_SRCALPHA)) return false;
    const SDL_Rect& clip = to->clip_rect;
    if (clip.x != 0 || clip.y != 0 || clip.w != to->w || clip.h != to->h) return false;
    int colours = f->palette->ncolors;
    return colours <= t->palette->ncolors &&
           std::memcmp(f->palette->colors, t->palette->colors, size_t(colours) * sizeof(SDL_Color)) == 0;
}

void copyWholeSurface(SDL_Surface* from, SDL_Surface* to)
{
    if (!from || !to) return;
    if (to == game.drawSurface || to == game.backgroundSurface) forgetFrames();
    if (!copiesBytes(from, to)) {
        SDL_BlitSurface(from, nullptr, to, nullptr);
        return;
    }
    const auto* source = static_cast<const uint8_t*>(from->pixels);
    auto* target = static_cast<uint8_t*>(to->pixels);
    if (from->pitch == to->pitch && from->pitch == from->w) {
        std::memcpy(target, source, size_t(from->w) * size_t(from->h));
        return;
    }
    for (int y = 0; y < from->h; ++y)
        std::memcpy(target + size_t(y) * to->pitch, source + size_t(y) * from->pitch, size_t(from->w));
}

void presentDrawSurface()
{
    SDL_Surface* video = SDL_GetVideoSurface();
    if (!video) return;
    if (game.drawSurface && presentChanges(game.drawSurface, video)) return;
    if (game.drawSurface) copyWholeSurface(game.drawSurface, video);
    SDL_Flip(video);
    presentedWhole(game.drawSurface, video);
}
