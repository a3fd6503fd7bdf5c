#pragma once
// What a game, tool or tmsim killed in the middle of a safe write leaves behind: its temporary
// file beside the one it was replacing. The old file is still whole; the temporary only wastes
// room, so the next start removes it.

// Sweeps every folder of the game folder that a writer writes into (the folder itself, cars,
// drivers, saves, screens, zip, tracks and its track folders). Returns how many files went.
int removeKilledWrites();
