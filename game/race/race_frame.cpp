#include "race/race_frame.h"

// Filled in by the race frame work.
void raceFrame() {}
bool raceStep() { return true; }
void simulationStep() {}
