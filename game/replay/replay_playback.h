#pragma once
// Playing the replay rings back: the cars put where the frames around the playback position
// have them, and the position moved on.

// The furthest the position goes: just short of one frame past the newest.
float replayEndPosition();

// Every car with a ring at playback position `position`: a smooth path through the
// neighbouring frames, blended axes, wheel points from the car's model.
void placeReplayCars(float position);

// position += speed / frameStep, kept within 0 .. replayEndPosition(); false when it had
// to be held at either end.
bool advanceReplay();

// One step of playback in phase Replay: the keys, the cars, their engines, the advance.
// False when there is nothing to show (the pass ends); true while a jump by Home or End has
// not been shown.
bool replayStep();
// A picture of the replay was drawn: the jump it showed needs no more.
void replayLandingShown();
