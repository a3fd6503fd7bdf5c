#pragma once
// What the main loop calls on every pass while a race owns the screen: real time becomes
// fixed 10 ms steps, each step runs the phase machine, then one picture is drawn.

void raceFrame();
// One step of the phase machine; false when the pass must end at once.
bool raceStep();
// The simulation step of the racing phases.
void simulationStep();
