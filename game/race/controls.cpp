#include "race/controls.h"

#include "state/game_state.h"
#include "state/joystick_state.h"

#include <SDL.h>

#include <algorithm>
#include <cstring>

namespace {

constexpr int lockKeys[3] = {300, 301, 302};  // Num Lock, Caps Lock, Scroll Lock
// All eight slots of the record, so SL1 and SL2 act in a race as the set-up screen offers them.
constexpr int polledAxes = 8;
constexpr int polledButtons = 32;
constexpr int deadZone = 10;

JoystickReader joystickReader = nullptr;

int sdlReadJoystick(int index, JoystickState& out)
{
    // An open joystick is handed back with one more reference and nothing allocated, so the
    // stick plugged in at start-up is read without keeping a pointer across SDL sessions.
    SDL_Joystick* stick = SDL_JoystickOpen(index);
    if (!stick) return -1;
    SDL_JoystickUpdate();
    int reported = SDL_JoystickNumAxes(stick);
    int axes = std::clamp(reported, 0, polledAxes);
    for (int a = 0; a < axes; ++a) out.axes[a] = axisPercent(SDL_JoystickGetAxis(stick, a));
    if (SDL_JoystickNumHats(stick) > 0) {
        Uint8 hat = SDL_JoystickGetHat(stick, 0);
        for (int h = 0; h < 4; ++h) out.hat[h] = (hat >> h) & 1;
    }
    int buttons = std::clamp(SDL_JoystickNumButtons(stick), 0, polledButtons);
    for (int b = 0; b < buttons; ++b) out.buttons[b] = SDL_JoystickGetButton(stick, b);
    return std::max(reported, 0);
}

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

uint32_t joystickButtonCode(int joystick, int button)
{
    return (uint32_t(joystick + 1) & 63) << 10 | (uint32_t(button) & 31) << 16;
}

uint32_t joystickAxisCode(int joystick, int direction)
{
    return (uint32_t(joystick + 1) & 63) << 10 | 0xFFu << 16 | (uint32_t(direction) & 255) << 24;
}

int readJoystick(int index, JoystickState& out)
{
    out = JoystickState{};
    return joystickReader ? joystickReader(index, out) : sdlReadJoystick(index, out);
}

void setJoystickReader(JoystickReader f)
{
    joystickReader = f;
}

bool pollJoystick()
{
    if (!game.joysticks || game.joystickCount <= 0) return false;
    JoystickState read{};
    if (readJoystick(0, read) >= 0) game.joysticks[0] = read;
    return true;
}

int32_t readControl(uint32_t code)
{
    if (code < firstJoystickCode) {
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
