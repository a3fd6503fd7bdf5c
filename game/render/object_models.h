#pragma once
// The models of the track objects: for each kind 1..32 a few boxes, triangles and shadow
// triangles placed on the terrain at the object and turned to its direction. Their solid parts
// come from the size table the collisions read.
#include "state/object_sizes.h"
#include "state/track_data.h"

struct ModelCounts {
    int boxes = 0, triangles = 0, shadowTriangles = 0;
};

// Every object of the track, in array order. The span mode must be spanFlat.
void drawTrackObjects();
// One object: its model at the position (standing on terrainHeight) facing the direction.
void drawTrackObject(const TrackObject& object);

// How many of each primitive the kind's model uses, counted by running it without drawing.
ModelCounts modelPrimitiveCounts(int kind);
