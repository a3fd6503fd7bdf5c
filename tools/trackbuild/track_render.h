#pragma once
// The race view of a loaded track as the game draws it at race start, written as a bitmap.
#include <string>

// The moving things of the race (cars on the grid, pit crews, particles) over the static
// picture, into the locked drawSurface. Empty until the race view's drawing joins the tool.
void drawRaceMovingThings();

// Loads a track file, frames the camera for width x height, builds the race picture and
// writes it as an 8-bit BMP. False with a reason when it cannot.
bool renderTrackPicture(const std::string& trackHostPath, const std::string& bmpHostPath, int width, int height,
                        std::string& why);
