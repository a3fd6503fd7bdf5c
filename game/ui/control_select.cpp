#include "ui/control_select.h"

#include "state/game_state.h"
#include "state/joystick_state.h"
#include "race/controls.h"
#include "render/draw_access.h"
#include "render/surfaces.h"
#include "render/text.h"
#include "ui/control_names.h"
#include "ui/screen_actions.h"
#include "ui/screens.h"

#include <SDL.h>

#include <algorithm>
#include <vector>

namespace {

constexpr int enterKey = 13, escapeKey = 27, lastKey = 322;
constexpr int maxOfferedAxes = 8;
constexpr int32_t centreWindow = 10;  // -10..10 counts as centred
constexpr uint32_t pollMs = 10;
constexpr uint8_t boxColour = 240, faceColour = 100, promptColour = 240, captionColour = 90;

PromptWait promptWait = nullptr;

void waitAPass()
{
    if (promptWait) promptWait(pollMs);
    else SDL_Delay(pollMs);
}

int px(float units) { return int(game.guiOriginX + units * game.guiScale); }
int py(float units) { return int(game.guiOriginY + units * game.guiScale); }

void drawPrompt(const std::string& caption)
{
    int q = game.guiScale / 4;
    int x0 = px(20), y0 = py(20), x1 = px(60), y1 = py(40);
    bool lockedHere = !game.lockedSurface && lockDraw();
    fillCorners(x0, y0, x1, y1, boxColour);
    fillCorners(x0 + q, y0 + q, x1 - q, y1 - q, faceColour);
    int lineHeight = 2 * game.guiScale;
    int top = y0 + q + 5 * game.guiScale;
    drawTextInBox(uiText(88), {x0 + q, top, x1 - q - 1, top + lineHeight - 1}, promptColour,
                  centreHorizontally | centreVertically);
    top += 5 * game.guiScale;
    drawTextInBox(caption, {x0 + q, top, x1 - q - 1, top + lineHeight - 1}, captionColour,
                  centreHorizontally | centreVertically);
    if (lockedHere) unlockDraw();
    presentDrawSurface();
}

// The lowest key held, 0 for none. Symbol 0 is no key one could bind: code 0 means a
// computer driver.
int heldKey()
{
    if (!game.keySnapshot) return 0;
    for (int k = 1; k <= lastKey && k < keySnapshotSize; ++k)
        if (game.keySnapshot[k] & 1) return k;
    return 0;
}

void lookAtKeyboard()
{
    SDL_PumpEvents();
    takeKeySnapshot();
}

// What piled up meanwhile is dropped, except a request to quit, which stays for the main loop.
void dropQueuedEvents()
{
    SDL_Event e;
    bool quit = false;
    while (SDL_PollEvent(&e) > 0) quit = quit || e.type == SDL_QUIT;
    if (quit) {
        SDL_Event q{};
        q.type = SDL_QUIT;
        SDL_PushEvent(&q);
    }
}

struct PromptStick {
    int offeredAxes = 0;
    bool seenCentred[maxOfferedAxes] = {};
};

// A button at once; an axis only once it was seen centred, so a stick resting off-centre is
// not taken for a movement. 0 when nothing was moved.
uint32_t joystickChoice(std::vector<PromptStick>& sticks)
{
    for (int j = 0; j < int(sticks.size()); ++j) {
        JoystickState s{};
        if (readJoystick(j, s) < 0) continue;
        for (int b = 0; b < 32; ++b)
            if (s.buttons[b]) return joystickButtonCode(j, b);
        PromptStick& p = sticks[size_t(j)];
        for (int a = 0; a < p.offeredAxes; ++a) {
            int32_t v = s.axes[a];
            if (v >= -centreWindow && v <= centreWindow) p.seenCentred[a] = true;
            else if (p.seenCentred[a]) return joystickAxisCode(j, v > 0 ? 2 * a + 2 : 2 * a + 1);
        }
    }
    return 0;
}

}  // namespace

void setPromptWait(PromptWait f)
{
    promptWait = f;
}

int selectControl(const std::string& caption)
{
    if (!game.keySnapshot) return -1;  // nothing started that could be read
    drawPrompt(caption);
    // A stick that reports more than eight axes offers only its buttons.
    std::vector<PromptStick> sticks(size_t(std::max(game.joystickCount, 0)));
    for (int j = 0; j < int(sticks.size()); ++j) {
        JoystickState s{};
        int axes = readJoystick(j, s);
        sticks[size_t(j)].offeredAxes = axes >= 1 && axes <= maxOfferedAxes ? axes : 0;
    }
    for (;;) {
        waitAPass();
        lookAtKeyboard();
        int key = heldKey();
        if (key != 0) {
            // Taken on release, so the key does not go on to act on the page or the race.
            do {
                waitAPass();
                lookAtKeyboard();
            } while (game.keySnapshot[key] & 1);
            dropQueuedEvents();
            return key == escapeKey || key == enterKey ? -1 : key;
        }
        if (uint32_t code = joystickChoice(sticks)) {
            dropQueuedEvents();
            return int(code);
        }
    }
}

int chooseControl(const std::string& caption)
{
    return selectControl(caption);
}

std::string controlLabel(unsigned code)
{
    return code == 0 ? uiText(80) : controlName(code);
}
