#pragma once
// The ground a car can drive, as far as the gates across the road care: it ends at the square's
// edge, in water deep enough to cover a car and at the solid parts of the track objects.
#include "state/track_data.h"

#include <functional>
#include <vector>

// Water at least this deep covers a car: it crawls there, so a gate may end at it.
constexpr float gateWaterDepth = 1.2f;

struct DrivableGround {
    float size = 0, water = 0;
    std::function<float(float x, float z)> height;
    std::vector<TrackObject> objects;      // kinds without parts block nothing
};

// How far from (x, z) along the unit direction (dx, dz) the ground stays drivable, up to limit:
// to the square's edge, water that covers a car or a solid part of an object at a car's height.
float drivableReach(const DrivableGround& ground, float x, float z, float dx, float dz, float limit);

// True when a part of the kind is at least a car's length across at a car's height: a car
// cannot simply drive round it, so a gate may end there.
bool objectWalls(int kind);
