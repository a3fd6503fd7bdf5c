#pragma once
// The track's hall of fame: the lap record and six best single-car times with holder, car and
// date, kept in memory while racing and written back into the track file after the race.
#include "state/track_data.h"
#include "track/track_file.h"

#include <string>

// Offsets from the end of the body.
constexpr long recordsAreaSize = 9625;     // times, names, cars, dates; the ghost follows

// Times 6000, names, cars and dates zero.
void clearTrackRecords(TrackRecords& r);
// Reads the area at the file's position field by field; a short file leaves the rest as it was.
void readTrackRecords(TrackFile& f, TrackRecords& r);
bool writeTrackRecords(TrackFile& f, const TrackRecords& r);

// A human, or a computer driver of skill 100 or less, may set records.
bool carMaySetRecords(int car);

// Places a single-car lap among the best times (entries 1..6) for driver 0 and car 0, after
// any equal time. Returns the entry, or 0 when the lap is not fast enough.
int insertBestTime(int steps);

// The lap record (entry 0), for any eligible car whose lap is strictly faster. True when set.
bool updateLapRecord(int car, int steps);

// Writes the records, in a one-car race the ghost, and the sealed trailer into the loaded track
// (trackEntry). Only bytes past the body are ever written. Silent when the file cannot be opened.
void saveTrackRecords();

// Empties the records in memory and in tracks\name.trk, cutting off the ghost and the trailer.
void resetTrackRecords(const std::string& name);
