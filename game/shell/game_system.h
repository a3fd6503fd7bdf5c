#pragma once
// Starting and stopping the game's subsystems, in the one order they depend on each other.

// 1 on success, -1 on failure. Callable again after a partial shutdown (a restart).
int initGameSystem();

// partial keeps the dialogs and the audio device, for a restart.
void shutdownGameSystem(bool partial);

// The half-circle profile that discs are drawn with: entry i = sqrt(1 - (0.02 i - 0.99)^2).
void buildCircleTable();
