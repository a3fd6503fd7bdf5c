#include "shell/main_loop.h"

#include "race/game_state.h"

bool pumpEvents(uint32_t maxEvents)
{
    SDL_Event event;
    uint32_t count = 0;
    while (SDL_PollEvent(&event)) {
        if (!dispatchEvent(event)) return false;
        ++count;
        if (maxEvents != 0 && count >= maxEvents) break;
    }
    if (game.raceRunning) {
        // The race frame draws and flips on its own.
    } else {
        SDL_Surface* video = SDL_GetVideoSurface();
        if (game.drawSurface && video) SDL_BlitSurface(game.drawSurface, nullptr, video, nullptr);
        if (video) SDL_Flip(video);
    }
    return true;
}
