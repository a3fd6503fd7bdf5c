#pragma once
// A car's own body drawn small on menus and result screens, without a race view behind it.
#include "state/car_model.h"

// orientation maps the model's frame (x side, y up, z forward) to the view (x right, y down,
// z away); the model's centre lies distance units in front of the eye, at screen point (x, y).
// Faces and wheels are drawn far to near in car slot `car`'s colours; faces seen from behind
// are left out as in the race view.
void drawCarPortrait(const CarModel& model, int car, float x, float y, const float orientation[9], float distance);

// The orientation of a car seen from above and in front: turned by yaw about its up axis,
// then tilted towards the viewer by pitch (radians).
void portraitOrientation(float yaw, float pitch, float out[9]);
