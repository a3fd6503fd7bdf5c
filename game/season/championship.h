#pragma once
// A season: the participants of the race slots race the tracks of seasonTracks one after the
// other. With one participant it is a time trial against the ghost lap, without points.
#include "race/quick_race.h"

#include <vector>

// "Start" on the race menu. Without a track or a participant it says so ("Select player(s)
// and track(s) first!") and returns -1, the menu staying as it is. Otherwise every car gets a
// copy of its driver's car type (car type 0 when the list has no such type), the points start
// at 0, the season's hooks go into the race frame's table and the first race that loads is
// started: 0, the race owns the screen and the caller parks its menu. The front end's own
// hooks (pause menu, leaving the race, replays, autosave) stay as the caller set them.
int startSeason();

// The season's points, standings, next race and final standings in the race frame's table;
// a saved game that continues a season puts them back the same way.
void installSeasonHooks();

// What a season starts from, and a saved game again: the step length from the options, an
// empty particle ring and a random table drawn afresh.
void prepareSeasonData();

// "LOADING..." over the whole screen, presented.
void showLoadingScreen();

// Race seasonRace: the loading screen, the track, the grid, the race view and the pre-race
// screen, then the autosave. A track that does not load is skipped; after the last one the
// final standings step follows.
void startNextRace();

// The race slots as the race takes them: names, controls (a computer driver: 0, its skill,
// 0, 100), colours and each car's model copy.
std::vector<RaceDriver> seasonDrivers();

// Leaves the season for the main menu through the front end's hook.
void leaveSeason();
