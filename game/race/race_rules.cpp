#include "race/race_rules.h"

// Filled in by the race rules work.
void startRace(int[]) {}
void checkpointTest(int) {}
void lineCrossing(int) {}
void servePitBoxes() {}
