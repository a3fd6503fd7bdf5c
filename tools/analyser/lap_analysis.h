#pragma once
// The first car's path on the map and the laps cut from it where it crosses the finish line.
#include "saved_game_reader.h"
#include "track_reader.h"

#include <string>
#include <vector>

constexpr int replayFramesPerSecond = 20;  // the game's default frame step at 100 steps a second

struct MapPoint {
    float x = 0, y = 0;  // map pixels, y = z cell (north up)
};

struct Lap {
    int firstFrame = 0, lastFrame = 0;  // frames of the path that belong to the lap
    int hundredths = 0;                 // frames / 20 s
};

struct LapAnalysis {
    std::vector<MapPoint> points;  // every frame of the path
    int firstCrossing = -1;        // frame where lap counting starts
    std::vector<Lap> laps;
    int fastest = -1, slowest = -1;  // indices into laps, -1 none
};

// Scale and laps for a path on a track of the given size byte.
LapAnalysis analyseLaps(const std::vector<PathPoint>& path, const TrackInfo& track);

// A lap or race time in 1/100 s with two decimals: "23.45".
std::string hundredthsText(int hundredths);
// Average speed of k laps of lapLength metres driven in steps: "123.45 kmh", or "0 kmh".
std::string averageSpeedText(int laps, uint32_t lapLength, long long steps);
