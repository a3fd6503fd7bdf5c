#pragma once
// Start-up, the main loop and shutdown of the game program.

// Runs the whole program and returns its exit code.
int runGame(int argc, char** argv);
