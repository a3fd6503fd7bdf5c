#pragma once
// The ghost lap: the single car's samples of its lap being recorded and of its best lap, and
// their half-rate form in the track file.
#include "state/track_data.h"
#include "track/track_file.h"

#include <cstdint>
#include <vector>

// Allocates the two sample buffers if missing and forgets every lap.
void clearGhost();
void freeGhost();

// One sample per simulation step of the single car.
void recordGhostSample(const Vec3& position, const Vec3& right, const Vec3& up, const Vec3& forward);

// The single car finished a lap: a faster one becomes the ghost, and it enters the best times.
void finishGhostLap();

// The best lap's sample at index; false when there is none.
bool ghostSample(int index, GhostSample& out);

// The half-rate form: the count, then every second sample in 12 bytes. Unpacking takes
// (n + 1) / 2 stored samples and fills the ones between with the means of their neighbours.
constexpr int ghostStoredSampleSize = 12;
void packGhostLap(const GhostSample* samples, uint16_t n, std::vector<uint8_t>& block);
void unpackGhostSamples(const uint8_t* stored, uint16_t n, GhostSample* samples);

// Reads the ghost that follows the records at the file's position (one-car races).
void readGhostLap(TrackFile& f);

// Writes the best lap when it beats the file's ghost. True when a complete ghost was written;
// the file's end is then marked after it.
bool writeGhostLap(TrackFile& f);
