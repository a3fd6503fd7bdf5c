#pragma once
// The terrain height anywhere on the track, from the 64 x 64 height grid.
#include "state/vec3.h"

// Bilinear height at world (x, z); positions off the square read its edge.
float terrainHeight(float x, float z);

// Unit upward normal of the terrain at (x, z), from the height one height cell to either side.
Vec3 terrainNormal(float x, float z);
// Both at once, bit for bit as the two above: they share the places of x and z on the grid.
Vec3 terrainNormalAndHeight(float x, float z, float& height);
