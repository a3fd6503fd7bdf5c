#pragma once
// A replay's visit to the screen: the race as playback found it is kept, and put back when
// playback ends.

// Playback begins from the oldest frame at 1:1: the cars and the phase kept, the replay's
// hooks in the race frame, phase Replay. Nothing happens while a replay already runs.
void beginReplay();

// The cars, the phase and the start lights as playback found them; the engines stopped.
void restoreRaceAfterReplay();

// ReplayEnd (Escape): any half-marked cut dropped, the race put back.
void endReplayFromKeys();

// The second C: the cut kept, the race put back and drawn again, paused, and the save
// dialog open over the pause menu, so that the saved game holds the cut.
void endReplayForCut();
