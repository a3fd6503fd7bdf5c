#include "shell/main_loop.h"

#include "state/game_state.h"
#include "render/palette.h"
#include "render/screenshot.h"

static bool altHeld()
{
    int count = 0;
    Uint8* keys = SDL_GetKeyState(&count);
    if (!keys) return false;
    return (SDLK_LALT < count && keys[SDLK_LALT]) || (SDLK_RALT < count && keys[SDLK_RALT]);
}

// After a mode change the new surface needs the game's colours again.
static void redisplay()
{
    game.videoSurface = SDL_GetVideoSurface();
    loadPalette();
}

static VideoModeSetter modeSetter = SDL_SetVideoMode;

void setVideoModeSetter(VideoModeSetter f) { modeSetter = f ? f : SDL_SetVideoMode; }

bool toggleFullscreen()
{
    SDL_Surface* video = SDL_GetVideoSurface();
    if (!video) return true;
    Uint32 flags = video->flags;
    int width = video->w, height = video->h;
    if (modeSetter(width, height, 8, flags ^ SDL_FULLSCREEN)) {
        game.options.windowedMode = static_cast<uint8_t>(1 - game.options.windowedMode);
        redisplay();
        game.enterConsumed = 1;
        return true;
    }
    if (!modeSetter(width, height, 8, flags)) return false;
    redisplay();
    // The press was spent on the attempt; it must not also press the default button.
    game.enterConsumed = 1;
    return true;
}

static void call(void (*f)())
{
    if (f) f();
}

static bool dialogParked()
{
    return game.dialogInput.isParked && game.dialogInput.isParked();
}

// Without the dialog's own arrow handling, Up and Right go to the previous widget, Down and
// Left to the next.
static void arrow(const DialogInput& d, int dx, int dy)
{
    if (d.arrowKey) d.arrowKey(dx, dy);
    else if (d.stepFocus) d.stepFocus(dy < 0 || dx > 0 ? -1 : 1);
}

static void keyDownToDialog(const SDL_keysym& key)
{
    const DialogInput& d = game.dialogInput;
    switch (key.sym) {
    case SDLK_ESCAPE: call(d.escapeDown); return;
    case SDLK_RETURN:
        if (!game.enterConsumed) call(d.enterDown);
        return;
    case SDLK_UP: arrow(d, 0, -1); return;
    case SDLK_DOWN: arrow(d, 0, 1); return;
    case SDLK_LEFT: arrow(d, -1, 0); return;
    case SDLK_RIGHT: arrow(d, 1, 0); return;
    case SDLK_TAB:
        if (d.stepFocus) d.stepFocus((key.mod & KMOD_SHIFT) ? -1 : 1);
        return;
    case SDLK_SPACE:
        if (!d.spaceDown) break;
        d.spaceDown();
        return;
    case SDLK_BACKSPACE:
        if (d.character) d.character(8);
        return;
    default: break;
    }
    if (key.sym >= 32 && key.sym <= 126 && d.character) {
        int c = key.sym;
        if ((key.mod & KMOD_SHIFT) && c >= 'a' && c <= 'z') c -= 'a' - 'A';
        d.character(c);
    }
}

static void keyUpToDialog(const SDL_keysym& key)
{
    const DialogInput& d = game.dialogInput;
    if (key.sym == SDLK_ESCAPE) call(d.escapeUp);
    else if (key.sym == SDLK_RETURN) call(d.enterUp);
    else if (key.sym == SDLK_SPACE) call(d.spaceUp);
    else if (key.sym == SDLK_F1 && !dialogParked()) call(d.helpUp);
}

static void toDialog(const SDL_Event& event)
{
    const DialogInput& d = game.dialogInput;
    switch (event.type) {
    case SDL_KEYDOWN: keyDownToDialog(event.key.keysym); break;
    case SDL_KEYUP: keyUpToDialog(event.key.keysym); break;
    case SDL_MOUSEMOTION:
        if (d.pointerMove) d.pointerMove(event.motion.x, event.motion.y, (event.motion.state & 1) != 0);
        break;
    case SDL_MOUSEBUTTONDOWN:
        if (event.button.button == SDL_BUTTON_LEFT && d.leftPress) d.leftPress(event.button.x, event.button.y);
        else if (event.button.button == SDL_BUTTON_WHEELUP && d.wheel) d.wheel(120);
        else if (event.button.button == SDL_BUTTON_WHEELDOWN && d.wheel) d.wheel(-120);
        break;
    case SDL_MOUSEBUTTONUP:
        if (event.button.button == SDL_BUTTON_LEFT && d.leftRelease) d.leftRelease(event.button.x, event.button.y);
        else if (event.button.button == SDL_BUTTON_RIGHT && d.rightRelease && !dialogParked())
            d.rightRelease(event.button.x, event.button.y);
        break;
    default: break;
    }
}

bool dispatchEvent(const SDL_Event& event)
{
    game.enterConsumed = 0;
    if (event.type == SDL_QUIT) return false;
    if (event.type == SDL_KEYDOWN) {
        SDLKey key = event.key.keysym.sym;
        if (key == SDLK_F12) takeScreenshot(0, 0);
        if (key == SDLK_F11) takeScreenshot(game.screenshotWidth, game.screenshotHeight);
        if (key == SDLK_F4 && altHeld()) return false;
        if (key == SDLK_RETURN && altHeld() && !toggleFullscreen()) return false;
    }
    if (!game.raceRunning) toDialog(event);
    return true;
}
