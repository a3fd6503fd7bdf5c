#pragma once
// The screens the race shows over its view before the start and at its end.
#include "render/race_panels.h"

// The race view with every car's panel texts, for the frame and the screens over it. False,
// with nothing drawn, when the screen cannot be locked.
bool drawRacePicture(int steps);

// What the pre-race screen says: distance, laps, the track record and in a time trial the
// best time.
RaceInformation raceInformation();
// The pre-race screen over the race view, presented.
void showRaceInformation();

// The results from the cars in the running order: times, gaps or laps behind, best laps,
// the fastest lap with its record or best-time rank, in a time trial the best times.
RaceResults raceResults();
// The results screen over the race view, presented.
void showRaceResults();
