#pragma once
// A driver: career statistics, the car type raced, two car colours and four controls (a
// computer driver keeps its skill in the second). Driver files and saved games store the 23
// fields in this order, 92 bytes.
#include <cstdint>
#include <memory>
#include <string>

constexpr uint32_t driverProfileSize = 92;
constexpr int driverNameLength = 12;  // the name fields hold 13 bytes with the NUL

struct DriverProfile {
    uint32_t seasons;
    uint32_t championshipFinishes[6];  // 1st .. 6th
    uint32_t totalPoints;
    uint32_t races;
    uint32_t raceFinishes[6];          // 1st ("Wins") .. 6th
    uint32_t fastestLaps;
    uint32_t carType;                  // index into the model list
    uint32_t colour1;                  // red in bits 0..7, green 8..15, blue 16..23
    uint32_t colour2;
    uint32_t controls[4];              // human: ControlCodes; computer: 0, skill, 0, 0
};

// One driver of the driver list, which owns the profiles; race slots point into it, so a
// profile stays where it is while the list grows.
struct DriverEntry {
    std::string name;
    std::unique_ptr<DriverProfile> profile;
};

// A driver is a computer driver exactly when its first control is 0.
inline bool isComputerDriver(const DriverProfile& p) { return p.controls[0] == 0; }
