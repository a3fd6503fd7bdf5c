#pragma once
// Laps, times, the running order, records, the fuel flag, finishing and the pit boxes.

// Particles cleared, laps of the race, clock and order reset, the grid drawn and every car
// placed on its grid object with its race values reset. startingOrder receives the car at
// each grid position.
void startRace(int startingOrder[]);

// End of every car step: passes the next gate when the car's step position lies in its band.
void checkpointTest(int car);
// The car completed a lap.
void lineCrossing(int car);

// Once per step after the car-to-car contacts.
void servePitBoxes();
