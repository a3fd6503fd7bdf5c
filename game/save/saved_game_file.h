#pragma once
// A saved game as it lies in its file, read whole and checked before any of it reaches the
// running game; and the file's parts the writer and the reader share.
#include "state/car_model.h"
#include "state/car_state.h"
#include "state/driver_profile.h"
#include "state/game_state.h"
#include "state/options_record.h"
#include "state/replay_state.h"
#include "track/track_file.h"

#include <cstdint>
#include <string>
#include <vector>

constexpr uint16_t savedGameVersion = 0x0110;
constexpr uint16_t firstChecksumVersion = 0x0103;  // 40-byte names and checksums; before: 56-byte names
constexpr uint16_t replayTag = 0x5052;              // "RP" after the block's version
constexpr uint16_t firstReplayRateVersion = 0x0104; // the frame step follows the tag from here on
constexpr int trackNameSize = 40;
constexpr int oldTrackNameSize = 56;
// More races than a person would ever line up; a count past it is a broken file.
constexpr uint32_t maxSeasonRaces = 10000;

struct SavedTrack {
    std::string name;
    uint32_t checksum[4];
};

// The replay block as read: absent, or rings of frameCount frames for the first carsWithFrames cars.
struct SavedReplay {
    bool present = false;
    uint32_t frameStep = 0;  // 0: the tm.ini value
    uint32_t frameCount = 0;
    int carsWithFrames = 0;
    std::vector<ReplayFrame> frames[replayCarSlots];
};

struct SavedGame {
    uint16_t version;
    uint8_t racePhase;
    uint8_t phaseCounter;
    OptionsRecord options;
    int32_t carCount;
    char names[maxCars][13];
    DriverProfile profiles[maxCars];
    CarModel carModels[maxCars];
    int32_t raceCount;
    int32_t seasonRace;
    std::vector<SavedTrack> tracks;
    CarState cars[maxCars];
    int32_t runningOrder[maxCars];
    int32_t points[maxCars];
    int32_t raceLaps, leaderLaps, raceClock, fastestLapTime, fastestLapCar, recordCar;
    uint16_t ghostSteps;                  // 0: no ghost lap
    std::vector<uint8_t> ghostStored;     // (ghostSteps + 1) / 2 stored samples
    SavedReplay replay;
};

// The whole file into the record. False, with a short reason, when a required part is missing
// or out of range or the version is newer than this game; the optional ghost and replay blocks
// read as empty when they are missing or broken.
bool readSavedGame(TrackFile& file, SavedGame& out, std::string& why);

// The replay block of the current rings (or of the cut area when one is marked). Nothing is
// written when the replay holds no frames.
bool writeReplayBlock(TrackFile& file);
// The replay block at the file's position into the record; missing or broken reads as absent.
void readReplayBlock(TrackFile& file, int cars, SavedReplay& replay);
