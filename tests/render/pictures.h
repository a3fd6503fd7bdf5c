#pragma once
// Pictures to look at, written under the build folder (pictures/*.bmp).
#include <string>

// Writes drawSurface as pictures/<name>; the lock, if any, is given up and taken again.
// False when the picture could not be written.
bool savePicture(const std::string& name);
