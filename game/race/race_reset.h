#pragma once
// What a race start resets, for the season logic and saved games to call.

// Race control for a new race: clock, leader laps, fastest lap, running order from the
// starting order (car index at each grid position), start light hidden, no particles left.
void resetRaceControl(const int startingOrder[], int carCount);

// One car's state for a new race at grid position gridPosition; the car's model copy and the
// fuel mass option give its mass.
void resetCarForRace(int car, int gridPosition);
