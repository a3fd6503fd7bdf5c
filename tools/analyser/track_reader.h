#pragma once
// The parts of a track file (.trk) the analyser draws: the ground map's codes, the finish line,
// the lap length and the records.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

constexpr int mapSize = 512;
constexpr uint8_t noSurface = 0xFF;  // a cell no run word reached

struct TrackInfo {
    int version = 0;
    int sizeByte = 0;                  // edge of the terrain in metres
    std::vector<uint8_t> surface;      // 512 x 512 codes 0..15 (row = z), noSurface elsewhere
    bool hasFinish = false;
    float finish[4] = {0, 0, 0, 0};    // x0, z0, x1, z1 in map cells
    uint32_t lapLength = 0;            // metres
    int recordTime = 6000;             // 1/100 s; 6000 = empty
    std::string recordHolder;
    int bestTimes[6] = {6000, 6000, 6000, 6000, 6000, 6000};
    std::string bestHolders[6];
};

// Reads a track from memory. Only versions 0x105 and 0x110 with the magic are used; false, with
// a one-line reason, for anything else.
bool readTrack(const uint8_t* data, size_t size, TrackInfo& out, std::string& why);

// "no Best Time", or the record (else the first best time) as time " / " holder.
std::string bestTimeText(const TrackInfo& track);
