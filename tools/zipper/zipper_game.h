#pragma once
// The few values the zipper takes from a saved game and from its track file, read from the
// bytes in memory by the files' layouts. Nothing is read beyond the bytes given.
#include <cstddef>
#include <cstdint>
#include <string>

struct SavedGameValues {
    int version = 0;
    int raceLength = 0;         // laps or kilometres
    int distanceUnit = 0;       // 0 laps, 1 kilometres
    int carCount = 0;
    std::string driverName;     // the first participant
    std::string trackEntry;     // the current race's track, e.g. "\rally\forest"
    int32_t raceTime = 0;       // first car's last finish-line crossing, in 1/100 s
    int32_t raceLaps = 0;       // the laps the race runs over; 0 when the file ends before
    int32_t firstCarLaps = 0;   // the laps the first car drove by raceTime; 0 when unknown
    bool hasTrackChecksum = false;  // files from 0x0103 on identify the track by its body
    uint32_t trackChecksum[4] = {};
};

// False with a German reason when the bytes are not a saved game the game could load.
bool readSavedGameValues(const uint8_t* data, size_t size, SavedGameValues& out, std::string& problem);

struct TrackValues {
    int version = 0;
    uint32_t bodyEnd = 0;
    uint32_t lapLength = 0;     // metres; 0 when the file does not reach it
    bool hasRecord = false;     // the lap record's fields lie within the file
    uint16_t recordTime = 6000; // 1/100 s, 6000 = none
    std::string recordHolder;
};

// False with a German reason when the header is not a track file's.
bool readTrackValues(const uint8_t* data, size_t size, TrackValues& out, std::string& problem);

// The four sums over a track file's body without its lap length, by which saved games find
// a track again; false for a file too short or too new to have one.
bool trackBodyChecksum(const uint8_t* data, size_t size, uint32_t out[4]);
