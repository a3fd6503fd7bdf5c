#pragma once
// The static scenery: the terrain, its objects, the corner posts and the water, drawn once into
// backgroundSurface with depthImage and shadeImage before a race, and smaller for the track
// information screen.
#include "render/draw_access.h"

#include <string>

// The whole race picture for the loaded track at the size of backgroundSurface, with the
// bottom panel. Allocates the scene images and rebuilds the ground colours.
void buildRaceBackground();

// Terrain, objects when asked, corner posts and water into the locked surface, whose size the
// scene images must have. The caller fills them first.
void drawScenery(bool withObjects);

// First row of the bottom panel: the terrain's camera leaves the bottom twelfth free.
int bottomPanelTop(int screenHeight);
// The panel in slot 240 framed in 241, with the track record and the lap counter, into the
// locked surface.
void drawBottomPanel();

// The loaded track's scenery fitted into an area of the locked drawSurface (the screen's
// proportions, centred); objects only while FasterTrackPreview is 0. False when nothing could
// be drawn.
bool drawTrackPreview(const DrawRect& area);
// Loads the track for the information screen and draws its preview. 0, or -1 when the track
// cannot be loaded.
int showTrackPreview(const std::string& entry, const DrawRect& area);
