#pragma once
// Every option the menus set; options.set stores it field by field (78 bytes).
#include <cstdint>

struct OptionsRecord {
    int32_t version;           // 74
    uint16_t raceLength;       // 1..100, laps or kilometres by distanceUnit
    uint8_t points[7];         // places 1..6 and the fastest lap
    uint8_t tyreWear;          // 0..100
    uint8_t fuelConsumption;   // 0..100
    uint8_t damage;            // 0..100
    uint8_t fuelMass;          // 0..200
    uint8_t distanceUnit;      // 0 laps, 1 kilometres
    uint8_t startingOrder;     // 0 random, 1 by points, 2 by points reversed
    uint8_t resolution;        // row of the resolution table
    uint8_t verticalSync;
    uint8_t stepRate;          // always 100 after loading
    uint8_t shadows;
    uint8_t ghostCar;
    uint8_t goofyReverse;
    uint8_t windowedMode;      // 1 window, 0 fullscreen
    uint16_t effects;          // particle slots, 0..256
    uint8_t engineVolume;      // 0..100
    uint8_t skidVolume;
    uint8_t effectsVolume;
    char language[23];         // 22 in the file, the 23rd forced to NUL
    char soundSet[23];
};
