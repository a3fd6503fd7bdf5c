#pragma once
// What the race view changed on drawSurface, row by row, so that a frame puts back only the
// background its moving things covered and presents only the rows that changed, instead of
// copying the whole screen twice.
//
// The bookkeeping holds while every write to drawSurface is marked: the race view's drawing
// runs inside a TrackedDrawing, where the primitives mark what they write. Locking or filling
// drawSurface outside one, a new background, new surfaces or a new palette make the next frame
// whole again.

struct SDL_Surface;

// Opened around the drawing of a race picture; nests.
struct TrackedDrawing {
    TrackedDrawing();
    ~TrackedDrawing();
    TrackedDrawing(const TrackedDrawing&) = delete;
    TrackedDrawing& operator=(const TrackedDrawing&) = delete;
};

// drawSurface made a copy of backgroundSurface again: the whole of it, or only the rows'
// stretches drawn over since the last time. False without both surfaces.
bool restoreBackground();

// The primitives' marks: pixels in [left, right) x [top, bottom) of the surface were written.
// Only drawSurface's marks count; outside a TrackedDrawing they end the bookkeeping.
void markDrawn(const SDL_Surface* surface, int left, int top, int right, int bottom);
// backgroundSurface changed in a rectangle (a repainted ground cell): the next restore copies it.
void markBackgroundChanged(int left, int top, int right, int bottom);
// drawSurface or backgroundSurface changed in a way nobody marked: the next frame is whole.
void forgetFrames();
// The screen's colours changed: the next present is whole.
void forgetScreen();
// Whether drawing now is marked (a TrackedDrawing is open).
bool drawingTracked();

// Copies the rows of drawSurface changed since the last present onto the video surface and
// updates only those on the screen. False when the screen is not known to hold the last
// present (then the caller presents the whole surface and calls presentedWhole).
bool presentChanges(SDL_Surface* draw, SDL_Surface* video);
void presentedWhole(SDL_Surface* draw, SDL_Surface* video);
