#pragma once
// Saved games and tracks put together field by field in the game's layouts, for cases the game
// itself does not write (old versions, cut files, lying counts).
#include <cstdint>
#include <string>
#include <vector>

struct Bytes {
    std::vector<uint8_t> data;
    void u8(unsigned v) { data.push_back(uint8_t(v)); }
    void u16(unsigned v) { u8(v & 0xFF), u8(v >> 8 & 0xFF); }
    void u32(uint32_t v) { u16(v & 0xFFFF), u16(v >> 16); }
    void zeros(size_t n) { data.insert(data.end(), n, 0); }
    // A fixed-size text field, zero-padded; without room for the zero when text fills it.
    void text(const std::string& s, size_t field)
    {
        for (size_t i = 0; i < field; ++i) u8(i < s.size() ? uint8_t(s[i]) : 0);
    }
    void put16(size_t at, unsigned v) { data[at] = uint8_t(v), data[at + 1] = uint8_t(v >> 8); }
    void put32(size_t at, uint32_t v) { put16(at, v & 0xFFFF), put16(at + 2, v >> 16); }
};

struct ComposedCar {
    std::string name = "Driver";
    std::string carName = "Arrow";
    bool human = false;
    int skill = 80;
    int position = 0;  // 0-based, as stored
    int laps = 0;
    int32_t lastCrossing = 0, lastLap = 6000, upsideDown = 0;
    int bestLap = 6000, tyres = 65535, fuel = 65535, damage = 0;
};

struct ComposedFrame {
    uint16_t x = 0, y = 0, z = 0;
};

struct ComposedGame {
    int version = 0x0110;
    int raceLength = 3, distanceUnit = 0;
    int tyreWear = 100, fuelConsumption = 90, damage = 80, fuelMass = 120, stepRate = 150;
    std::vector<ComposedCar> cars{ComposedCar()};
    std::vector<std::string> tracks{"\\oval"};
    uint32_t seasonRace = 0;
    std::vector<int> runningOrder;  // empty: entry order
    int32_t raceLaps = 3, leaderLaps = 2, raceClock = 4567, fastestLapTime = 2345;
    int ghostSamples = 0;           // one-car games: the ghost count
    bool replay = true;
    int replayVersion = 0x0110;
    std::vector<ComposedFrame> frames;  // the first car's; other cars get copies
    uint32_t claimedFrames = UINT32_MAX;  // UINT32_MAX: the true count
};

std::vector<uint8_t> composeSavedGame(const ComposedGame& g);

// A track of version 0x110 (or another) with a plain surface: code 2 everywhere, a band of
// code 0 (the road) as a square ring, and the finish line across its left side.
struct ComposedTrack {
    int version = 0x110;
    int sizeByte = 200;
    uint32_t lapLength = 1000;
    int recordTime = 6000;
    std::string recordHolder;
    int bestTime = 6000;
    std::string bestHolder;
    uint16_t finish[4] = {100, 500, 180, 500};  // half cells
};

std::vector<uint8_t> composeTrack(const ComposedTrack& t);

// A path of frames for a ComposedTrack: laps round a square of the ring starting at the finish
// line, each lap taking framesPerLap frames; frame 0 is the first past the line and lead frames come before it.
std::vector<ComposedFrame> squareLaps(const ComposedTrack& t, int laps, int framesPerLap, int lead);
