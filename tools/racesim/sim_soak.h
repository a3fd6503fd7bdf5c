#pragma once
// Races back to back in one process for hours of race time, as a long session of play runs:
// every car's position checked at every step, and the memory and the pace of the first hour
// set against those of the last.
#include "race_sim.h"

#include <string>

struct SoakResult {
    std::string track;
    std::string carType;
    int cars = 0;
    int hours = 0;
    uint32_t seed = 0;               // of the first race; each race after it takes the next
    int races = 0;                   // begun, the last one cut off at the end of the time
    int racesUnfinished = 0;         // run to their end with a car that did not finish
    long long steps = 0;
    long long offGround = 0;         // car steps at a position not finite or wholly under the ground
    long long centreBelow = 0;       // car steps with the centre sunk below the surface
    float deepestBelow = 0;          // metres the deepest centre lay below it
    long firstHourKiB = 0, lastHourKiB = 0;                    // resident memory at those moments
    double firstHourStepsPerSecond = 0, lastHourStepsPerSecond = 0;  // of processor time
    double againStepsPerSecond = 0;  // the first hour raced once more after the last
};

// Cars of the race whose position is not finite or whose body lies wholly below the terrain
// under it. centresBelow, when given, counts the cars whose centre lies below the surface;
// deepest is raised to how far the deepest centre lies below it.
int carsOffTheGround(long long* centresBelow = nullptr, float* deepest = nullptr);

// Runs the soak of a.soakHours. False, with the reason in why, when a race cannot start.
bool runSoak(const SimArguments& a, SoakResult& result, std::string& why);

// No car went through the ground, every race run to its end was finished by every car, and the memory
// after the last hour lies within 1 % of that after the first.
bool soakHeld(const SoakResult& r);
