#pragma once
// Laps, times, the running order, records, the fuel flag, finishing and the pit boxes.

// Particles cleared, laps of the race, clock and order reset, the grid drawn and every car
// placed on its grid object with its race values reset. startingOrder receives the car at
// each grid position. The points orders read game.seasonPoints from the second race of a
// season on.
void startRace(int startingOrder[]);

// End of every car step: passes the next gate when the car's step position lies in its band.
void checkpointTest(int car);
// The car completed a lap.
void lineCrossing(int car);

// Once per step after the car-to-car contacts.
void servePitBoxes();
// Every box free with its crew at their places, for a new race.
void resetPitBoxes();

// The car's place on its panel, "%-2d".
void showPlace(int car);
// Fuel for less than 1.8 laps while more than one lap is left and the race is undecided.
bool shortOfFuel(int car);
// Marks a car short of fuel (service state 1, "F" on its panel) or clears the mark and shows
// its place; true when marked.
bool updateFuelFlag(int car);
