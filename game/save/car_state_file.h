#pragma once
// One car of a race in a saved game: its CarState, 348 bytes, field by field.
#include "state/car_state.h"
#include "track/track_file.h"

// False on a short read or write; a failed read leaves the car as it was.
bool readCarState(TrackFile& file, CarState& car);
bool writeCarState(TrackFile& file, const CarState& car);

// Every number of the record is finite and every vector within reach of a track, so a car
// from a file cannot carry a NaN or an overflow into the race.
bool carStateInRange(const CarState& car);
