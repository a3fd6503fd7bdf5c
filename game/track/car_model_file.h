#pragma once
// One car model record, 1344 bytes, field by field, as .car files, saved games and track
// records store it.
#include "state/car_model.h"
#include "track/track_file.h"

// False on a short read; the model may then hold a part of the record.
bool readCarModel(TrackFile& file, CarModel& model);
// Car files and saved games write the reserved bytes as zeros; the track records keep whatever
// the file holds there and seek over them.
enum CarPadding { carPaddingZeros, carPaddingKept };
bool writeCarModel(TrackFile& file, const CarModel& model, CarPadding padding = carPaddingZeros);
