#pragma once
// The terrain height anywhere on the track, from the 64 x 64 height grid.

// Bilinear height at world (x, z); positions off the square read its edge.
float terrainHeight(float x, float z);
