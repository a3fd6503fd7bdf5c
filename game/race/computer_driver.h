#pragma once
// Drives a car whose Accelerate control is 0: follows the driving line and the pit lane,
// moves around other cars, chooses its speed from the bend ahead and frees itself when stuck.

// ability: skill / 100, at most 1 (above 100 the car's grip is scaled instead).
// throttle: -1 brake or reverse, 0 brake, 1 neutral, 2 accelerate; steering -1, 0 or +1.
void computerDriver(int car, float ability, int& throttle, float& steering);
