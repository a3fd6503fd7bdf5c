#pragma once
// The 256 precomputed random numbers that all race randomness draws from.

// Refills the table from the standard generator (rand() / 32768); allocates it on first use.
void fillRandomTable();
// The next entry, in [0, 1): the cursor moves first and wraps at 256.
float nextRandom();
void freeRandomTable();
