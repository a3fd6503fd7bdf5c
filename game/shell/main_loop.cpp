#include "shell/main_loop.h"

#include "race/race_frame.h"
#include "state/game_state.h"
#include "render/surfaces.h"

bool pumpEvents(uint32_t maxEvents)
{
    SDL_Event event;
    uint32_t count = 0;
    while (SDL_PollEvent(&event)) {
        if (!dispatchEvent(event)) return false;
        ++count;
        if (maxEvents != 0 && count >= maxEvents) break;
    }
    // The race frame draws and flips on its own.
    if (game.raceRunning) raceFrame();
    else presentDrawSurface();
    return true;
}
