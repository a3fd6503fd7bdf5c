#pragma once
// The texts of times, distances, speeds and counters. Times are in 1/100 s (simulation steps).
#include <cstdint>
#include <string>

std::string formatLapTime(int32_t t);         // "%2d.%d%ds": seconds mod 100 padded
std::string formatTime(int32_t t);            // "%d.%d%ds"
// "+%d.%d%ds" under 100 s; from then on the whole gap as a total time, "+1:52.30".
std::string formatGap(int32_t d);
// A race's total time in the race-clock form with hundredths: "3:03.45", "1:02:03.45".
std::string formatTotalTime(int32_t t);
// "-%d %s" with the singular word for one lap.
std::string formatLapsBehind(int32_t laps, const std::string& lap = "lap", const std::string& lapsWord = "laps");
// "%3d.%d%d kph" of laps x lapLength metres in time; 0.00 when no time has passed.
std::string formatAverageSpeed(int32_t laps, uint32_t lapLength, int32_t time);
std::string formatDistance(uint32_t metres);  // "%d.%d%d%d km"
std::string formatPoints(int32_t points);     // "%d p"
// "TR" for a new track record (rank 0), "%d." for a rank 1..6 in the best times.
std::string formatRank(int rank);
std::string formatCounter(int32_t n, int32_t of);     // "%d/%d"
std::string formatTrackRecord(int32_t t);             // "TR: %d.%d%ds"
// " %2d:%02d" under an hour, "%2d:%02d:%02d" from then on.
std::string formatRaceClock(int32_t hundredths);
std::string formatTrackLength(uint32_t metres);       // "%d m"
