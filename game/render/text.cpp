#include "render/text.h"

#include "state/game_state.h"
#include "render/font.h"
#include "render/frame_damage.h"

#include <algorithm>

namespace {

TextWatcher watcher = nullptr;

struct Clip {
    int left, top, right, bottom;  // inclusive
};

std::string_view untilNul(std::string_view text)
{
    size_t end = text.find('\0');
    return end == std::string_view::npos ? text : text.substr(0, end);
}

// The strip must be the one made for the current scale: a stale strip has other sizes.
bool ready()
{
    return game.pixelBase && game.lockedSurface && game.glyphStrip && game.glyphStripScale == game.guiScale;
}

inline void put(const Clip& c, int x, int y, uint8_t colour)
{
    if (x < c.left || x > c.right || y < c.top || y > c.bottom) return;
    game.pixelBase[size_t(y) * game.pixelPitch + x] = colour;
}

void drawClipped(std::string_view text, int x, int y, uint8_t colour, uint8_t shadowColour, const Clip& clip)
{
    if (watcher) watcher(text, x, y, colour, {clip.left, clip.top, clip.right, clip.bottom});
    int scale = game.guiScale, stripWidth = fontGlyphCount * scale, m = game.textShadowOffset;
    // Glyphs and their shadows stay inside this rectangle, clipped.
    markDrawn(game.lockedSurface, std::max(x, clip.left), std::max(y, clip.top),
              std::min(x + int(text.size()) * scale + std::max(m, 0), clip.right + 1),
              std::min(y + 2 * scale + std::max(m, 0), clip.bottom + 1));
    for (char ch : text) {
        int g = glyphIndex(ch);
        if (g != 0) {
            const uint8_t* glyph = game.glyphStrip + size_t(g) * scale;
            for (int j = 0; j < 2 * scale; ++j) {
                const uint8_t* row = glyph + size_t(j) * stripWidth;
                for (int i = 0; i < scale; ++i) {
                    if (!row[i]) continue;
                    if (shadowColour) put(clip, x + i + m, y + j + m, shadowColour);
                    put(clip, x + i, y + j, colour);
                }
            }
        }
        x += scale;
    }
}

Clip surfaceClip()
{
    return {0, 0, game.lockedSurface->w - 1, game.lockedSurface->h - 1};
}

}  // namespace

void watchText(TextWatcher w)
{
    watcher = w;
}

int textWidth(std::string_view text)
{
    return int(untilNul(text).size()) * game.guiScale;
}

void drawText(std::string_view text, int x, int y, uint8_t colour, uint8_t shadowColour)
{
    if (!ready()) return;
    drawClipped(untilNul(text), x, y, colour, shadowColour, surfaceClip());
}

void drawTextInBox(std::string_view text, const TextBox& box, uint8_t colour, int flags)
{
    if (!ready()) return;
    text = untilNul(text);
    int x = box.left, y = box.top;
    if (flags & centreHorizontally) x += (box.right - int(text.size()) * game.guiScale - box.left) / 2;
    if (flags & centreVertically) y += (box.bottom - 2 * game.guiScale - box.top) / 2;
    Clip s = surfaceClip();
    Clip c{std::max(box.left, s.left), std::max(box.top, s.top), std::min(box.right, s.right), std::min(box.bottom, s.bottom)};
    drawClipped(text, x, y, colour, 0, c);
}
