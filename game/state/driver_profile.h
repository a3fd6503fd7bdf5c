#pragma once
// A driver's career, car and controls: 92 bytes of u32 in drivers\<name>.drv and saved games.
#include <cstdint>

struct DriverProfile {
    uint32_t seasons;
    uint32_t championshipFinishes[6];  // seasons finished 1st .. 6th
    uint32_t totalPoints;
    uint32_t races;
    uint32_t raceFinishes[6];          // races finished 1st .. 6th
    uint32_t fastestLaps;
    uint32_t carType;                  // into the model list
    uint32_t colour1;                  // red in bits 0..7
    uint32_t colour2;
    uint32_t controls[4];              // 0 in the first marks a computer driver; its skill is the second
};

inline bool isComputerDriver(const DriverProfile& d) { return d.controls[0] == 0; }
