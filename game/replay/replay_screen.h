#pragma once
// The replay screen: the race view with the replay's time, rate and progress, and the key
// help while F1 is held.
#include <string>

// The time into the replay at the playback position, as the race clock shows time.
std::string replayTimeText();
// "%c%d:%d": '-' while playing backwards, a blank otherwise, then the rate.
std::string replayRateText();

// The race picture moved on by steps, the replay's texts over it, presented.
void drawReplayScreen(int steps);
