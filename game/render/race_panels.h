#pragma once
// The text panels the race shows over its view: race information before the start, the
// results, the championship points after a race, the loading screen and the final standings.
// The race fills in the numbers; the panels lay them out on the 80 x 60 GUI grid.
#include <cstdint>
#include <string>
#include <vector>

struct RaceInformation {
    std::string trackName;           // as the track list shows it
    uint32_t distanceMetres = 0;
    int32_t laps = 0;
    bool timeTrial = false;          // one car: "Time trial" and its best time
    int32_t recordTime = 6000;       // 6000: no record
    std::string recordHolder;
    int32_t bestTime = 6000;
    std::string bestHolder;
};

struct ResultLine {
    std::string name;
    int32_t totalTime = 0;           // 1/100 s
    int32_t gap = 0;                 // to the winner, when on the winner's lap
    int32_t lapsBehind = 0;          // shown instead of the gap when above 0
    int32_t bestLap = 6000;
    int32_t laps = 0;                // for the average speed
};

struct RaceResults {
    bool timeTrial = false;
    uint32_t lapLength = 0;
    std::vector<ResultLine> lines;   // in finishing order
    int32_t fastestLapTime = 6000;
    std::string fastestLapHolder;
    int fastestLapRank = -1;         // -1 none, 0 a new track record, 1..6 a best time
    std::vector<std::pair<std::string, int32_t>> bestTimes;  // time trial: "Best times"
};

struct PointsLine {
    std::string name;
    int32_t points = 0;
    bool sharesPlace = false;        // tied with the line above: no place number
};

struct PointsTable {
    int32_t race = 0;                // shown as race / races after "after race "
    int32_t races = 0;
    std::vector<PointsLine> lines;   // ordered by points
};

void drawRaceInformation(const RaceInformation& info);
void drawRaceResults(const RaceResults& results);
void drawChampionshipPoints(const PointsTable& table);
void drawLoadingScreen();
void drawSeasonStandings(const PointsTable& table);
