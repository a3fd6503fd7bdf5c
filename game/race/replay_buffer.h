#pragma once
// The replay rings: set up at every race start and by the saved-game reader, filled once per
// simulation step, freed with the game.

// Sizes the rings for frameStep (0: the tm.ini value) and at least minFrames frames, and
// empties them. game.carCount must be known.
void setupReplay(int frameStep, int minFrames);
// One call per simulation step; every frameStep-th call stores a frame of every car.
void recordReplayFrame();
void freeReplay();

// The frame step tm.ini asks for, kept within 1..100.
int configuredReplayFrameStep();
