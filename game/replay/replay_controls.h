#pragma once
// The keys of replay playback: play, stop, reverse, the fast keys, the rate, the two ends
// and the cut area.

// Keypad + and -: the rate n:d one notch faster or slower, between 1:8 and 8:1.
void replayFaster();
void replaySlower();

// The speed from the direction, the rate and the fast key held.
void updateReplaySpeed();

// The cars move as they raced: forward at 1:1 without a fast key.
bool replayAtNormalPlay();

// The key table, from game.keySnapshot. False when playback has just ended (Escape, or the
// end of a cut) and nothing more is to be done this pass.
bool readReplayKeys();
