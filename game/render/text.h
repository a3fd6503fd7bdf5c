#pragma once
// Text from the glyph strip into the locked drawSurface: one cell of guiScale x 2 guiScale
// per character.
#include <cstdint>
#include <string_view>

struct TextBox {
    int32_t left, top, right, bottom;  // inclusive
};

enum TextBoxFlags { centreHorizontally = 1, centreVertically = 2 };

// Top-left at (x, y); a shadowColour of 0 means no shadow. Stops at a NUL. Pixels that would
// fall outside the surface are dropped.
void drawText(std::string_view text, int x, int y, uint8_t colour, uint8_t shadowColour);
// No shadow; ink outside the box is not drawn.
void drawTextInBox(std::string_view text, const TextBox& box, uint8_t colour, int flags);
// Pixels a text takes across.
int textWidth(std::string_view text);

// Told of every text just before its ink goes down, with the box it is clipped to; the
// legibility test reads the colours behind each text through it. nullptr stops watching.
using TextWatcher = void (*)(std::string_view text, int x, int y, uint8_t colour, const TextBox& clip);
void watchText(TextWatcher watcher);
