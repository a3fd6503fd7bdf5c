#pragma once
// font.bmp: 160 glyphs of 20 x 40 pixels in one 1-bit bitmap, scaled once to the GUI scale.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

constexpr int fontGlyphCount = 160;
constexpr int fontCellWidth = 20;
constexpr int fontCellHeight = 40;
constexpr int fontImageWidth = fontGlyphCount * fontCellWidth;  // 3200
constexpr uint32_t fontImageBytes = fontImageWidth / 8 * fontCellHeight;  // 16000

// Glyph of a character byte: 33..127 -> 1..95, 192..255 -> 96..159, everything else blank 0.
int glyphIndex(char c);

// guiScale = min(width / 80, height / 60) (at least 1), guiQuarter, textShadowOffset.
void setGuiMetrics(int screenWidth, int screenHeight);

// Unpacks a font.bmp image into ink (3200 x 40 bytes, top row first, 1 = ink).
// 0; -2 when the image size field is not 16000; -1 when the pixel data lies outside the data.
int decodeFontFile(const uint8_t* data, size_t size, std::vector<uint8_t>& ink);
// The glyph strip (160 scale x 2 scale bytes, one row after the other) of an unpacked font.
void scaleFont(const std::vector<uint8_t>& ink, int scale, uint8_t* strip);
// A font.bmp image of an unpacked font.
std::string fontFileImage(const std::vector<uint8_t>& ink);

// Sets the GUI metrics, makes a blank strip and fills it from font.bmp. 0 on success, -1 when
// the file cannot be opened or read, -2 when its image size is not 16000.
int loadFont();
void freeFont();
