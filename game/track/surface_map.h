#pragma once
// The 512 x 512 ground map: decoding its run words with their random scatters, the tyre-marked
// forms of the ground classes, and the painted start line.
#include "state/track_data.h"

#include <cstddef>
#include <cstdint>

constexpr uint8_t surfaceUnset = 16;       // every cell before the run words are applied
constexpr uint16_t runWordMaxRun = 4095;

inline uint16_t runWord(unsigned run, unsigned code) { return static_cast<uint16_t>((run << 4) | (code & 15)); }

// The tyre-marked form of a ground value; snow and ice (24..27) and marks stay as they are.
uint8_t tyreMarked(uint8_t value);

// Fills every cell with surfaceUnset.
void clearSurfaceMap(uint8_t* map);

// Applies run words from cell cursor on and returns the cursor after them. Runs stop at the
// map's end, so words that cover more than the map change nothing beyond it.
size_t applyRunWords(uint8_t* map, const uint16_t* words, size_t count, size_t cursor);

// Paints the white start line across the gate where the ground is asphalt (values below 8).
void paintStartLineCells(uint8_t* map, const Checkpoint& finish, float surfaceCell);
