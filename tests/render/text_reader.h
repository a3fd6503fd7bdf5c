#pragma once
// Reads text back off the locked drawSurface through the loaded glyph strip, so a picture test
// can say what the player would read there.
#include <cstdint>
#include <string_view>
#include <vector>

namespace textreader {

struct Place {
    int x, y;
};

// Whether the cell with its top-left at (x, y) shows exactly the ink of the character's glyph
// in the colour: every inked pixel in it, and no other pixel of the colour. A blank character
// wants no pixel of the colour at all.
bool cellShows(int x, int y, char c, uint8_t colour);
// Whether the whole text shows from (x, y) on.
bool shows(std::string_view text, int x, int y, uint8_t colour);
// Every top-left at which the whole text shows in the colour, top to bottom.
std::vector<Place> find(std::string_view text, uint8_t colour);

}  // namespace textreader
