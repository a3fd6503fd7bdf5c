#pragma once
// Redrawing one ground cell of the race picture after the cars changed its SurfaceMap value
// (tyre marks), in backgroundSurface and shadeImage.

// Pixels that show the cell's ground are recoloured: lit ones blended by the cell's light
// between its new lit and shadow colours, shadowed ones in its shadow colour. Objects, water
// and whatever stands in front of the ground keep their pixels.
void repaintCell(int cellX, int cellZ);
