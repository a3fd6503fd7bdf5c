#pragma once
#include <cstdint>

// The phases of a race, as stored in racePhase and in saved games.
enum RacePhase : uint8_t {
    WaitForKey = 0,
    Countdown = 1,
    Racing = 2,
    Finishing = 3,
    RaceOver = 4,
    ResultsShown = 5,
    StandingsHeld = 6,
    StandingsShown = 7,
    FinalHeld = 8,
    FinalShown = 9,
    Replay = 10,
    ReplayEnd = 11,
};
