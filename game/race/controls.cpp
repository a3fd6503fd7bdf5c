#include "race/controls.h"

#include "state/game_state.h"
#include "state/joystick_state.h"

#include <SDL.h>

#include <algorithm>
#include <cstring>

namespace {

constexpr int firstJoystickCode = 323;
constexpr int lockKeys[3] = {300, 301, 302};  // Num Lock, Caps Lock, Scroll Lock
constexpr int polledAxes = 6;
constexpr int deadZone = 10;

}  // namespace

void takeKeySnapshot()
{
    int count = 0;
    const Uint8* keys = SDL_GetKeyState(&count);
    if (!keys || !game.keySnapshot) return;
    count = std::clamp(count, 0, keySnapshotSize);
    std::memcpy(game.keySnapshot, keys, size_t(count));
    for (int k : lockKeys) game.keySnapshot[k] = 0;
}

int32_t axisPercent(int16_t raw)
{
    return int32_t(raw / 32767.0 * 100.0);
}

bool pollJoystick()
{
    if (!game.joysticks || game.joystickCount <= 0) return false;
    // An open joystick is handed back with one more reference and nothing allocated, so the
    // stick plugged in at start-up is read without keeping a pointer across SDL sessions.
    SDL_Joystick* stick = SDL_JoystickOpen(0);
    if (stick) {
        JoystickState read{};
        SDL_JoystickUpdate();
        int axes = std::min(SDL_JoystickNumAxes(stick), polledAxes);
        for (int a = 0; a < axes; ++a) read.axes[a] = axisPercent(SDL_JoystickGetAxis(stick, a));
        if (SDL_JoystickNumHats(stick) > 0) {
            Uint8 hat = SDL_JoystickGetHat(stick, 0);
            for (int h = 0; h < 4; ++h) read.hat[h] = (hat >> h) & 1;
        }
        int buttons = std::min(SDL_JoystickNumButtons(stick), 32);
        for (int b = 0; b < buttons; ++b) read.buttons[b] = SDL_JoystickGetButton(stick, b);
        game.joysticks[0] = read;
    }
    return true;
}

int32_t readControl(uint32_t code)
{
    if (code < uint32_t(firstJoystickCode)) {
        if (!game.keySnapshot) return 0;
        return (game.keySnapshot[code] & 1) ? 100 : 0;
    }
    uint32_t joystick = ((code >> 10) & 63) - 1;
    if (!game.joysticks || game.joystickCount <= 0 || joystick >= uint32_t(game.joystickCount)) return 0;
    const JoystickState& j = game.joysticks[joystick];
    uint32_t button = (code >> 16) & 255;
    if (button < 32) return j.buttons[button] ? 100 : 0;
    uint32_t direction = code >> 24;
    if (direction < 1 || direction > 16) return 0;
    int32_t v = std::clamp(j.axes[(direction - 1) / 2], -100, 100);
    if (direction & 1) return v < 0 ? -v : 0;
    return v > 0 ? v : 0;
}

void humanInputs(int car, int& throttle, float& steering)
{
    CarState& c = game.cars[car];
    if (c.revvingCounter != 0) {
        // Accelerate held across the start costs as many steps in neutral.
        --c.revvingCounter;
        throttle = 1;
        steering = 0;
        return;
    }
    int32_t d = readControl(c.controls[0]) - readControl(c.controls[1]);
    throttle = d < -deadZone ? -1 : d > deadZone ? 2 : 1;
    steering = float(readControl(c.controls[2]) - readControl(c.controls[3])) * 0.01f;
}
