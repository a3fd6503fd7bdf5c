#pragma once
// Which track objects a car can touch where it stands: a coarse grid over the square, built
// at race set-up, so the contact pass of every car and step tries a handful of objects
// instead of all of them, in the same index order.
#include <cstdint>

void buildObjectGrid();

// The objects near (x, z) for a car of the given bounding radius, in index order. False when
// the grid does not serve (not built for this track, or the car is larger than its margin):
// then every object must be tried.
bool objectsNear(float x, float z, float radius, const uint16_t*& list, int& count);
