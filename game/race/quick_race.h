#pragma once
// A single race without a season: from the command line, and headless for the race runner.
#include "state/car_model.h"

#include <cstdint>
#include <string>
#include <vector>

struct RaceDriver {
    std::string name;          // at most 12 characters are kept
    uint32_t controls[4];      // a human's four controls; a computer: 0, skill, 0, 100
    CarModel model;
    uint32_t colour1, colour2; // red in the low byte, as driver files keep them
};

// Human keys of a new driver: cursor up, down, left, right.
RaceDriver humanDriver(const std::string& name, const CarModel& model);
// index picks the colours.
RaceDriver computerDriverEntry(const std::string& name, int skill, const CarModel& model, int index);

// Skills of n computer drivers spread evenly over 90 .. 110 (100 for one).
std::vector<int> spreadSkills(int n);

// tracks\<name>.trk as the loader takes it: a leading backslash, '/' as '\', no extension.
std::string trackEntryFor(const std::string& name);

// Loads the track, enters the drivers (at most six) with their own model copies and controls,
// draws the grid and readies the race to wait for a key. laps 0 takes the options' race length.
// The random table must be filled. The race's place in a season (seasonRace, seasonRaceCount)
// is the caller's: the grid reads it. 0, or -1 when the track does not load or nobody drives.
int prepareRace(const std::string& entry, const std::vector<RaceDriver>& drivers, int laps);

// The command line's race: one driver on the cursor keys against computers, its picture built
// and the pre-race screen shown. A fresh key on the results (or leaving from a pause) gives the
// race slots back as they were and calls afterRace, which takes the screen back. 0, or -1 when
// the track does not load.
int startQuickRace(const std::string& trackName, int laps, int computers, void (*afterRace)() = nullptr);
