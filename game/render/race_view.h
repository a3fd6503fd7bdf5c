#pragma once
// One picture of the race: the terrain picture, the cars, the particles and the instruments.

// Copies backgroundSurface onto drawSurface and, with drawSurface locked, draws the cars, the
// particles moved by steps simulation steps, every car's gauges and the start lights. False,
// with nothing drawn over the copy, when drawSurface cannot be locked.
bool drawRaceView(int steps);

// The final standings' fireworks: the saved screen in backgroundSurface with the particles
// over it.
bool drawFireworks(int steps);
