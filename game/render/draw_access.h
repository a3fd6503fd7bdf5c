#pragma once
// Rectangle fills on drawSurface and the lock that opens its pixels to the renderers.
#include <SDL.h>

#include <cstdint>

struct DrawRect {
    int32_t left, top, right, bottom;  // right and bottom exclusive
};

// All three do nothing without a drawSurface and clip to it.
void fillRect(int x, int y, int width, int height, uint8_t colour);
void fillCorners(int x1, int y1, int x2, int y2, uint8_t colour);  // x2, y2 exclusive
void fillRect(const DrawRect* rect, uint8_t colour);               // nullptr: the whole surface

// Publishes pixelBase, pixelPitch and lockedSurface while drawSurface is locked. False when
// there is nothing to lock. Locking twice keeps the first lock.
bool lockDraw();
// The same for backgroundSurface, for the passes that paint the static race picture, or for
// any other 8-bit surface. False when another surface is locked.
bool lockBackground();
bool lockSurface(SDL_Surface* surface);
// Clears them and unlocks; nothing when nothing is locked.
void unlockDraw();
