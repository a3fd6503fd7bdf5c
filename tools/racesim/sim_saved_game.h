#pragma once
// A saved game continued without a window: brought back by the game's own loader, and what a
// save cannot carry of a race that runs on.
#include "race_sim.h"

#include <cstdint>
#include <string>
#include <vector>

constexpr int lightsSteps = 211;  // steps from the grid to the green light

struct ContinuedRace {
    std::string carType;
    std::string trackShown;  // the track as the report names it
    int steps = 0;           // steps from the grid the race had run when it was saved
    uint8_t gridRandom = 0;  // the random draw the load's grid left, as a new race's grid does
};

// Loads the working folder's saved game as the game would and readies it to run on from where
// it was saved. False, with the reason, when the game refuses the file or it holds no race
// to continue (over, or its track not found).
bool continueSavedRace(const SimArguments& a, ContinuedRace& out, std::string& why);

// What a saved game cannot carry of the race as it stands and the race still reads: empty
// when a race loaded from it runs on as this one does. gridRandom: the draw a load starts
// from; marked: the cars have marked the ground.
std::vector<std::string> unsavedRaceState(uint8_t gridRandom, bool marked);
