#include "render/draw_access.h"

#include "state/game_state.h"
#include "render/frame_damage.h"

#include <algorithm>

void fillCorners(int x1, int y1, int x2, int y2, uint8_t colour)
{
    SDL_Surface* s = game.drawSurface;
    if (!s) return;
    // Clip before SDL sees the rectangle: its fields are 16 bits wide.
    x1 = std::max(x1, 0), y1 = std::max(y1, 0);
    x2 = std::min(x2, s->w), y2 = std::min(y2, s->h);
    if (x2 <= x1 || y2 <= y1) return;
    SDL_Rect r;
    r.x = Sint16(x1), r.y = Sint16(y1);
    r.w = Uint16(x2 - x1), r.h = Uint16(y2 - y1);
    SDL_FillRect(s, &r, colour);
    markDrawn(s, x1, y1, x2, y2);
}

void fillRect(int x, int y, int width, int height, uint8_t colour)
{
    if (width <= 0 || height <= 0) return;
    fillCorners(x, y, x + width, y + height, colour);
}

void fillRect(const DrawRect* rect, uint8_t colour)
{
    if (!game.drawSurface) return;
    if (!rect) {
        SDL_FillRect(game.drawSurface, nullptr, colour);
        forgetFrames();
        return;
    }
    fillCorners(rect->left, rect->top, rect->right, rect->bottom, colour);
}

bool lockSurface(SDL_Surface* s)
{
    if (game.lockedSurface) return game.lockedSurface == s;
    if (!s || SDL_LockSurface(s) != 0) return false;
    game.pixelBase = static_cast<uint8_t*>(s->pixels);
    game.pixelPitch = s->pitch;
    game.lockedSurface = s;
    return true;
}

bool lockDraw()
{
    // Pixels written under a lock taken outside a race picture are nobody's marks.
    if (!drawingTracked()) forgetFrames();
    if (game.lockedSurface) return true;
    return lockSurface(game.drawSurface);
}

bool lockBackground()
{
    return lockSurface(game.backgroundSurface);
}

void unlockDraw()
{
    if (!game.lockedSurface) return;
    SDL_UnlockSurface(game.lockedSurface);
    game.lockedSurface = nullptr;
    game.pixelBase = nullptr;
    game.pixelPitch = 0;
}
