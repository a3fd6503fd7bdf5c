#include "text_reader.h"

#include "state/game_state.h"
#include "render/font.h"

namespace textreader {

static uint8_t pixel(int x, int y) { return game.pixelBase[size_t(y) * game.pixelPitch + x]; }

bool cellShows(int x, int y, char c, uint8_t colour)
{
    int s = game.guiScale;
    if (!game.pixelBase || !game.glyphStrip || x < 0 || y < 0 || x + s > game.lockedSurface->w ||
        y + 2 * s > game.lockedSurface->h)
        return false;
    const uint8_t* glyph = game.glyphStrip + size_t(glyphIndex(c)) * s;
    for (int j = 0; j < 2 * s; ++j)
        for (int i = 0; i < s; ++i) {
            bool ink = glyphIndex(c) != 0 && glyph[size_t(j) * fontGlyphCount * s + i] != 0;
            if (ink != (pixel(x + i, y + j) == colour)) return false;
        }
    return true;
}

bool shows(std::string_view text, int x, int y, uint8_t colour)
{
    for (size_t k = 0; k < text.size(); ++k)
        if (!cellShows(x + int(k) * game.guiScale, y, text[k], colour)) return false;
    return true;
}

std::vector<Place> find(std::string_view text, uint8_t colour)
{
    std::vector<Place> found;
    int s = game.guiScale;
    // Anchor on the first inked pixel of the first character that has ink.
    size_t k = 0;
    while (k < text.size() && glyphIndex(text[k]) == 0) ++k;
    if (k == text.size() || !game.pixelBase || !game.glyphStrip) return found;
    const uint8_t* glyph = game.glyphStrip + size_t(glyphIndex(text[k])) * s;
    int inkX = -1, inkY = -1;
    for (int j = 0; j < 2 * s && inkX < 0; ++j)
        for (int i = 0; i < s && inkX < 0; ++i)
            if (glyph[size_t(j) * fontGlyphCount * s + i]) inkX = i, inkY = j;
    if (inkX < 0) return found;  // a blank glyph at this scale
    int w = game.lockedSurface->w, h = game.lockedSurface->h;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            if (pixel(x, y) != colour) continue;
            int left = x - inkX - int(k) * s, top = y - inkY;
            if (shows(text, left, top, colour)) found.push_back({left, top});
        }
    return found;
}

}  // namespace textreader
