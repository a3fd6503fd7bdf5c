#pragma once
// The prompt that binds a control: it waits for a key, a joystick button or an axis direction.
#include <cstdint>
#include <string>

// Draws its box over the screen and waits, handling no events, for the first key (taken when
// released), joystick button or axis movement: its control code, or -1 for Escape or Enter.
// The caller redraws the screen afterwards.
int selectControl(const std::string& caption);

// The 10 ms pause between two looks at the keyboard and the joysticks, so tests can run their
// own script through it; nullptr restores SDL_Delay.
using PromptWait = void (*)(uint32_t ms);
void setPromptWait(PromptWait f);
