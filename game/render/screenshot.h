#pragma once
// Screens saved as bitmaps into the screens folder: shot0000.bmp and onwards.
#include <SDL.h>

// (0, 0) saves the screen as it is, 8 bits with its palette; any other size saves a
// true-colour copy scaled to it (at most 2560 x 1920). 0 when the file was written. The
// number advances even when the save fails.
int takeScreenshot(int width, int height);

// A 32-bit copy of a surface of any depth, resampled to width x height with a Lanczos filter.
// The caller frees it; nullptr when it cannot be made.
SDL_Surface* scaledTrueColourCopy(SDL_Surface* source, int width, int height);
