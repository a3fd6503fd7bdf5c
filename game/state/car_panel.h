#pragma once
// The texts of one car's panel as the race rules leave them for the HUD to draw: its place
// (or "F" when it must refuel), the lap counter, its lap count and its last lap time.
#include <cstdint>

enum LapTimeColour : uint8_t {
    LapTimeNormal = 0,
    LapTimeFastest = 1,    // the race's fastest lap
    LapTimeRecord = 2,     // a new track record
};

struct CarPanel {
    char place[4];         // "%-2d" place + 1, or "F"
    char lapCounter[12];   // "%d/%d" leader's lap of the race's laps
    char lapCount[4];      // the car's completed laps, three digits
    char lapTime[12];      // the last lap, "%2d.%d%d"
    uint8_t lapTimeColour; // LapTimeColour
    uint8_t changed;       // set on every new text; the HUD clears it once drawn
};
