#pragma once
// The names the driver page shows a control code by: a key's name, or a joystick's button or
// axis direction.
#include <cstdint>
#include <string>

constexpr int keyNameCount = 512;
constexpr int keyNameLength = 10;  // at most 9 characters and the NUL

// Entry `symbol` of the key-name table; "" outside 0..511.
const char* keyName(int symbol);

// Below 512 the key's name; else "joy N: " and "B1".."B32" or a direction "-X".."+SL2", the
// joystick counted from 1. A joystick code naming neither ends after the prefix.
std::string controlName(uint32_t code);
