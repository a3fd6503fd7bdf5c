#pragma once
// From a track author's description (JSON) to a track image: the heights, the painted ground,
// the road with its kerbs, the pit lane and boxes, the objects, and what the game needs but no
// author should compute: the grid, the gates in driving order, the driving line, the lap length.
#include "track_image.h"

#include <string>

// False with a reason when the description cannot be read or makes no track.
bool designTrack(const std::string& jsonText, TrackImage& image, std::string& why);

// Object kinds by the names descriptions use; -1 for an unknown name.
int objectKindByName(const std::string& name);
