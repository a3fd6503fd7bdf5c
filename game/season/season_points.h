#pragma once
// The championship's arithmetic: places and points after a race, the order of the standings,
// and the drivers' career statistics these feed.
#include "state/game_state.h"

// Points and statistics of the race just over, from the finishing order in runningOrder: a car
// that crossed the line with the car ahead on the same step scores that car's place, but its
// statistics count its own position; every car whose best lap is the race's fastest scores the
// fastest-lap points. Every participant's driver file is written.
void awardRacePoints();

// The cars ordered by championship points, most first; ties keep car index order. Returns the
// number of cars.
int standingsOrder(int order[maxCars]);

// The sum of every car's championship points; 0 means no standings to show.
int32_t championshipPointsTotal();

// The end of a completed season: every driver's season counted and its place in the final
// standings (tied drivers share the better place); every participant's driver file is written.
void closeSeason();

// Writes every participant's profile under its race slot's name.
void writeParticipants();
