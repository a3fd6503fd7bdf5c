#pragma once
// The model list: every car type of cars\*.car, or the built-in "General" when none loads.
#include "state/car_model.h"
#include "track/track_file.h"

#include <string>
#include <vector>

// The two tables of a model read by the surface byte of the track: interpolated inside each
// band with two or more cars in the race, stepped with one (time trial).
float surfaceBandValue(const float table[14], int surface, int carCount);
inline float gripAt(const CarModel& m, int surface, int carCount)
{
    return surfaceBandValue(m.gripTable, surface, carCount);
}
inline float contactAt(const CarModel& m, int surface, int carCount)
{
    return surfaceBandValue(m.contactTable, surface, carCount);
}
// gripAt of a racing car's model for every surface byte, worked out again only when the model's
// grip table or the number of cars changed; version moves on each time it is.
struct SurfaceGrips {
    float grip[256];
    uint32_t version = 0;
};
const SurfaceGrips& surfaceGrips(int car);

// The built-in model "General", its normals computed.
CarModel generalCarModel();

// Each vertex normal: the normalised sum of (c - a) x (b - a) over the triangles that use it,
// (0, 1, 0) when that sum is shorter than 0.0001.
void computeVertexNormals(CarModel& model);

// Records field by field, without the file header.
bool writeCarModels(TrackFile& file, const CarModel* models, int count);

// A whole .car file: header (record size, count) and the records; replaces the old file only
// when complete.
bool writeCarFile(const std::string& gamePath, const CarModel* models, int count);

// Appends the models of one .car file to list; false (list unchanged) when the file does not
// open, its record size is not 1344, its count is zero or claims more than the file holds.
bool readCarFile(const std::string& gamePath, std::vector<CarModel>& list);

// game.models and game.modelCount from cars\*.car in list order; when none loads, "General",
// also written to cars\general.car.
void loadCarModels();
void freeCarModels();
