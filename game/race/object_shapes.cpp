#include "race/object_shapes.h"

float objectReach(int) { return 0; }
void objectShapeContacts(int, const TrackObject&) {}
