#pragma once
// The cars of the race view over the terrain picture: the ghost, the shadows of bodies, wheels
// and pit crews, then the bodies with their wheels and heads and the crews themselves.

// TyreAutoSort 1: wheels, heads and crew discs far to near, each face drawn just before the
// first disc nearer than it.
void drawCarsSorted();
// TyreAutoSort 0: cars and crew members far to near as wholes; inside a car always wheels,
// then faces, then the head.
void drawCarsFixed();

// game.raceView from tm.ini's TyreAutoSort (non-zero: sorted).
void selectCarView(int tyreAutoSort);
// The selected variant; the sorted one when none was selected.
void drawCars();
