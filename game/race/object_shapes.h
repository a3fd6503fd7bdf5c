#pragma once
// The solid shapes of the track objects: for each kind a compound of posts, balls and boxes
// placed at the object and turned to its direction.
#include "state/track_data.h"

#include <cmath>

// How far from its position, across the ground, any part of a kind reaches.
float objectReach(int kind);
// Every part of the object against the car.
void objectShapeContacts(int car, const TrackObject& object);

// A cheap first test of an object's parts against a car, sure to pass over only parts that
// boxWithinReach would turn away as well.
// The car's bounding radius for partBeyondReach; NaN, which passes nothing over, when the object
// lies so far out, the car is so large or the axes (unit side and forward across the ground) are
// so far from square and unit that the margin would not cover the rounding.
float partTestRadius(int car, const Vec3& origin, const Vec3& side, const Vec3& forward);
// The car's centre in the object's frame: along side, height above the origin, along forward;
// NaN far out.
Vec3 carInObjectFrame(int car, const Vec3& origin, const Vec3& side, const Vec3& forward);
// A part's half diagonal, from its half extents.
inline float partHalfDiagonal(float hx, float hy, float hz) { return std::sqrt(hx * hx + hy * hy + hz * hz); }
// True when the part (centre x, y, z in the object's frame, half diagonal as partHalfDiagonal
// gives it, turned any way about the up axis) lies beyond the car's reach by more than a tenth of
// a unit, which covers the rounding of both tests for numbers below partTestRadius's limits.
// Never for a reach of 1000 or more.
inline bool partBeyondReach(const Vec3& local, float radius, float x, float y, float z, float halfDiagonal)
{
    float reach = radius + halfDiagonal + 0.1f;
    float dx = local.x - x, dy = local.y - y, dz = local.z - z;
    return reach < 1000.0f && dx * dx + dy * dy + dz * dz > reach * reach;
}
