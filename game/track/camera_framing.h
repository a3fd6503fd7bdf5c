#pragma once
// The fixed race-view camera: angles and zoom from the track with the tm.ini overrides, and the
// position from which the whole terrain square fits the view.
#include <cstdint>

// Sets trackViewZoom, cameraMatrix and cameraPosition for the loaded height map and size.
// aspect is screen height / width; the angles are the track's, in degrees.
void frameTrackCamera(int16_t viewAngle, int16_t viewRotation, float zoom, float aspect);

// Screen height / width of the current mode; 0.75 before a mode is set.
float currentAspectRatio();
