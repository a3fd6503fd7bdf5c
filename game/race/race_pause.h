#pragma once
// Leaving the race for the pause menu and coming back to it.

// Escape during phases 0..7: the engines and the skid fall silent, the race stops owning the
// screen and the pause menu opens (without one, the race ends as "End race" would end it).
void pauseRace();

// Back from the pause menu: the screen of the phase again, the lights again before a running
// race goes on, and no real time counted for the pause.
void resumeRace();

// "End race" in the pause menu: a race still undecided is abandoned straight to the standings;
// one whose leader has finished (or a time trial with a lap) goes on to its results.
void endRaceFromMenu();

// "End Season" in the pause menu: the track records of a race not yet over are kept, then the
// final standings step runs, which shows them only when this is the season's last race.
void endSeasonFromMenu();
