#pragma once
// One pass of the main loop and the routing of SDL events.
#include <SDL.h>
#include <cstdint>

// Handles pending events (all of them when maxEvents is 0), then runs one race frame or shows
// the back buffer. False when the program must end.
bool pumpEvents(uint32_t maxEvents);

// Global keys first, then the active dialog unless a race runs. False when the program must end.
bool dispatchEvent(const SDL_Event& event);

// Alt+Enter: switches between window and fullscreen, restoring the old mode when the switch
// fails. False when even the restore failed.
bool toggleFullscreen();

// The call that sets the video mode on Alt+Enter, so tests can refuse a mode; nullptr
// restores SDL's own.
using VideoModeSetter = SDL_Surface* (*)(int width, int height, int bpp, Uint32 flags);
void setVideoModeSetter(VideoModeSetter f);
