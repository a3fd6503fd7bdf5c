#pragma once
// The one 256-colour palette: its file, the built-in fallback, and the car slots.
#include <cstddef>
#include <cstdint>
#include <string>

constexpr int paletteSize = 256;
constexpr int firstCarSlot = 192;   // car i owns 192 + 8i .. 199 + 8i
constexpr int lastCarSlot = 239;

// Car car's slot of the shade 0..7.
inline uint8_t carSlot(int car, int shade) { return uint8_t(firstCarSlot + 8 * car + shade); }
// A model's face colour byte: 0..7 the car's own slots, above that a palette slot itself.
inline uint8_t carFaceSlot(int car, uint8_t colour) { return colour <= 7 ? carSlot(car, colour) : colour; }
constexpr int paletteFileSize = 24 + 4 * paletteSize;

// (R/2, 64 + G/2, 128 + B/2): how a colour looks under water.
uint32_t waterTint(uint32_t rgb);

// The built-in colours into every slot but the car slots, which keep what out holds.
void builtInPalette(uint32_t out[paletteSize]);

// Slots 0..191 and 240..255 of a RIFF palette image (entries from byte 24 on) over out; the
// car slots stay. False, with out untouched, when the image is shorter than 1048 bytes.
bool parsePaletteFile(const uint8_t* data, size_t size, uint32_t out[paletteSize]);
// The 1048-byte RIFF palette image of the colours (flags bytes 0).
std::string paletteFileImage(const uint32_t colours[paletteSize]);

void readPalette(uint32_t out[paletteSize]);
// Keeps the colours and gives them to the video surface and both drawing surfaces.
void applyPalette(const uint32_t colours[paletteSize]);
// The file that tm.ini names, else the built-in palette; the car slots survive either way.
void loadPalette();

// Car i's eight slots from a driver's two colours (red in bits 0..7, as driver files keep
// them): three shades and the water tint of each. Applies the palette.
void setCarColours(int car, uint32_t colour1, uint32_t colour2);
