#pragma once
// The video mode and the two 8-bit drawing surfaces of the screen's size.

struct SDL_Surface;

// Creates drawSurface and backgroundSurface without touching the video mode; when either
// fails both are freed and false comes back.
bool createDrawSurfaces(int width, int height);
void freeDrawSurfaces();

// Frees both drawing surfaces, sets the mode (8 bits; fullscreen with a hardware palette
// unless windowed) and makes new surfaces. True only when the mode and both surfaces exist.
bool setVideoMode(int width, int height, bool windowed);

// Shows drawSurface: blitted onto the video surface, then flipped (the flip also without a
// back buffer); after race pictures only the rows that changed are copied and updated.
void presentDrawSurface();

// The whole of one surface onto another, as SDL_BlitSurface(from, nullptr, to, nullptr) does;
// where that blit would copy bytes unchanged it is done by one memcpy, twice as fast.
void copyWholeSurface(SDL_Surface* from, SDL_Surface* to);
// Whether SDL's blit of one surface onto the other would copy bytes unchanged: both 8-bit in
// memory without locking, one size, one palette, no colour key, alpha or clipping.
bool copiesBytes(const SDL_Surface* from, const SDL_Surface* to);
