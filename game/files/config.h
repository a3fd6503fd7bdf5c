#pragma once
// The expert settings of tm.ini, taken into the configuration region of the game record.

// Sets every setting to its default, then takes the known keys of tm.ini in the current
// folder. A missing or unreadable tm.ini leaves the defaults without a word.
void loadConfig();
