#pragma once
// One car model record, 1344 bytes, field by field, as .car files, saved games and track
// records store it.
#include "state/car_model.h"
#include "track/track_file.h"

// False on a short read; the model may then hold a part of the record.
bool readCarModel(TrackFile& file, CarModel& model);
bool writeCarModel(TrackFile& file, const CarModel& model);
