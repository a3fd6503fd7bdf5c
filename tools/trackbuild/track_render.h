#pragma once
// The race view of a loaded track as the game draws it at race start, written as a bitmap.
#include <string>

// The moving things of the race over the static picture, into the locked drawSurface: a car
// on each of the first six grid slots in six colours, the pit crews, and some smoke, dust and
// splashes.
void drawRaceMovingThings();

// Loads a track file, frames the camera for width x height, builds the race picture and
// writes it as an 8-bit BMP. The font, palette and cars come from gameFolder (a host path).
// False with a reason when it cannot.
bool renderTrackPicture(const std::string& trackHostPath, const std::string& bmpHostPath, int width, int height,
                        const std::string& gameFolder, std::string& why);
