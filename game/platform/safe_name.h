#pragma once
// The one check for a name that a person typed or a file held before it becomes a file or
// folder name of the game folder: language and sound-set names from options.set today, driver,
// saved-game and track-folder names as they are typed.
#include <cstddef>
#include <string>

// The longest single name a host folder holds.
constexpr size_t maxFileNameLength = 255;

// True when the name can stand as one file or folder name that opens the same thing on Linux
// and Windows, never outside its folder: not empty, at most maxLength bytes, no '/' or '\',
// no control character, none of < > : " | ? *, not starting with '.' (which also refuses "."
// and ".."; such names are hidden on Linux), not ending in '.' or ' ' (Windows drops those),
// and not a Windows device name such as CON, NUL, COM1 or LPT1, with or without an extension.
bool isSafeFileName(const std::string& name, size_t maxLength = maxFileNameLength);
