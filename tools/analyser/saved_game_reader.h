#pragma once
// The values of a saved game (.gam) the analyser shows, taken at the offsets of its layout.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct AnalysedCar {
    std::string name;          // participant name
    std::string carName;       // the name at the head of its car record
    bool human = false;        // first control slot non-zero
    int skill = 0;             // byte at +28: a computer driver's skill
    int position = 0;          // race position, counted from 1
    int laps = 0;
    int32_t lastCrossing = 0;  // raceClock at the last finish-line crossing
    int32_t lastLap = 0;       // steps
    int32_t upsideDown = 0;    // the counter at +12
    int bestLap = 0;           // steps
    int tyres = 0, fuel = 0, damage = 0;  // 0..65535
};

// One replay frame of the first car: its ground position as stored (metres x 150).
struct PathPoint {
    uint16_t x = 0, z = 0;
};

struct SavedGameInfo {
    int version = 0;
    int racePhase = 0;
    int raceLength = 0;
    int distanceUnit = 0;      // 0 laps, 1 kilometres
    int tyreWear = 0, fuelConsumption = 0, damage = 0, fuelMass = 0, stepRate = 0;
    int carCount = 0;
    uint32_t seasonRaceCount = 0, seasonRace = 0;
    std::string trackName;     // the current race's entry; empty when the season has none
    std::vector<AnalysedCar> cars;
    std::vector<int64_t> runningOrder;  // car numbers from 1, leader first (as stored, plus one)
    int32_t raceLaps = 0, leaderLaps = 0, raceClock = 0, fastestLapTime = 6000;
    bool hasReplay = false;
    uint32_t storedFrames = 0;      // the frame count the file claims
    std::vector<PathPoint> path;    // the first car's frames that the file holds
};

// Reads a whole saved game from memory. False, with a one-line reason, when the bytes are not
// a saved game the analyser can show (unknown version, no cars, or cut before the race values).
bool readSavedGame(const uint8_t* data, size_t size, SavedGameInfo& out, std::string& why);

// Reads a file whole, at most limit bytes. False when it cannot be opened or read.
bool readWholeFile(const std::string& path, std::vector<uint8_t>& out, size_t limit);
