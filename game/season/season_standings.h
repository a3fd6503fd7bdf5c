#pragma once
// The championship's screens between races and at the end of the season.
#include "render/race_panels.h"

// The drivers by points for the panels: most points first, ties in car order; a driver tied
// with the one above shows no place of its own. withoutPointless leaves drivers on 0 out.
PointsTable standingsTable(bool withoutPointless);

// After a race with more to follow: with no points anywhere (a time trial, nobody scored) the
// next race starts at once; otherwise the championship points go up and the frame waits for
// a key (StandingsHeld). Also redraws them when the race comes back from its pause menu.
void showStandings();

// The final standings step: a season ended early, or one without points, goes straight back
// to the menu; a completed one shows the standings under fireworks (FinalHeld) and is closed.
void showFinalStandings();

// The final standings drawn again as they were shown, without closing the season a second
// time (a saved game that was left on them).
void redrawFinalStandings();
