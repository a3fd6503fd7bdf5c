#pragma once
// What the main loop calls on every pass while a race owns the screen: real time becomes
// fixed 10 ms steps, each step runs the phase machine, then one picture is drawn.
#include <cstdint>

// Real time beyond this per pass is dropped: a slow machine runs the race slower instead of
// spiralling into ever longer passes.
constexpr uint32_t maxPassMs = 200;

void raceFrame();
// One step of the phase machine; false when the pass must end at once.
bool raceStep();
// The simulation step of the racing phases.
void simulationStep();

// Every engine and the skid fall silent: the race is over.
void silenceCars();

// Some key of the snapshot is down, not counting the two screenshot keys.
bool anyKeyDown();

// round(1000 / stepRate), 10 ms when the rate is 0.
uint16_t stepMsFor(int stepRate);

// The skid and impact sound levels of a step's sum (volume option 0..100) as a mixer volume.
int32_t effectVolume(float amount, int volumeOption);
