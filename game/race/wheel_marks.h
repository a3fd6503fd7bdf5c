#pragma once
// What the wheels leave on the ground during a car step: loose-surface particles, tyre marks
// in the surface map and the race picture, and the skid sound level.

// speed: |velocity|; markSlip and soundSlip: the step's slip values s1 and s2; wheelCells: the
// surface cell under each wheel point, as surfaceCellUnder gives it.
void wheelGroundEffects(int car, float speed, float markSlip, float soundSlip, const int wheelCells[4]);
