#include "render/frame_damage.h"

#include "state/game_state.h"
#include "render/surfaces.h"

#include <SDL.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

// Tiles of the screen that may differ, a byte each: marking a primitive sets a few of them,
// and copying whole tiles keeps the copies near what the moving things covered.
constexpr int tileWidth = 32, tileHeight = 8;

struct Tiles {
    std::vector<uint8_t> dirty;
    int width = 0, height = 0, columns = 0, rows = 0;  // pixels and tiles
    int top = 0, bottom = -1;                         // the tile rows that may hold one

    void reset(int w, int h)
    {
        width = w, height = h;
        columns = (w + tileWidth - 1) / tileWidth, rows = (h + tileHeight - 1) / tileHeight;
        dirty.assign(size_t(columns) * size_t(rows), 0);
        top = rows, bottom = -1;
    }
    void clear()
    {
        if (bottom >= top) std::fill(dirty.begin() + ptrdiff_t(top) * columns, dirty.begin() + ptrdiff_t(bottom + 1) * columns, 0);
        top = rows, bottom = -1;
    }
    // Pixels [left, right) x [top, bottom), clipped by the caller.
    void add(int left, int y0, int right, int y1)
    {
        int c0 = left / tileWidth, c1 = (right - 1) / tileWidth;
        int r0 = y0 / tileHeight, r1 = (y1 - 1) / tileHeight;
        for (int r = r0; r <= r1; ++r) {
            uint8_t* row = dirty.data() + size_t(r) * columns;
            for (int c = c0; c <= c1; ++c) row[c] = 1;  // a tile or two: no call
        }
        top = std::min(top, r0), bottom = std::max(bottom, r1);
    }
    void add(const Tiles& other)
    {
        if (other.bottom < other.top) return;
        // Eight tiles a word.
        size_t i = size_t(other.top) * columns, end = size_t(other.bottom + 1) * columns;
        for (; i + 8 <= end; i += 8) {
            uint64_t a, b;
            std::memcpy(&a, &dirty[i], 8);
            std::memcpy(&b, &other.dirty[i], 8);
            a |= b;
            std::memcpy(&dirty[i], &a, 8);
        }
        for (; i < end; ++i) dirty[i] |= other.dirty[i];
        top = std::min(top, other.top), bottom = std::max(bottom, other.bottom);
    }
    // Calls run(x, y0, x1, y1) for each run of dirty tiles along a tile row, in pixels
    // ([x, x1) x [y0, y1)), clipped to the surface.
    template <class Run>
    void runs(Run run) const
    {
        for (int r = top; r <= bottom; ++r) {
            const uint8_t* row = dirty.data() + size_t(r) * columns;
            for (int c = 0; c < columns;) {
                if (!row[c]) {
                    ++c;
                    continue;
                }
                int end = c;
                while (end < columns && row[end]) ++end;
                run(c * tileWidth, r * tileHeight, std::min(end * tileWidth, width), std::min((r + 1) * tileHeight, height));
                c = end;
            }
        }
    }
};

// Rows [y0, y1) of [x, x1) from one surface onto another of the same size. The runs are a few
// tiles wide: copied sixteen bytes at a time in place, without a call per row.
void copyBlock(const SDL_Surface* from, SDL_Surface* to, int x, int y0, int x1, int y1)
{
    const auto* source = static_cast<const uint8_t*>(from->pixels) + x;
    auto* target = static_cast<uint8_t*>(to->pixels) + x;
    size_t n = size_t(x1 - x);
    for (int y = y0; y < y1; ++y) {
        const uint8_t* s = source + size_t(y) * from->pitch;
        uint8_t* t = target + size_t(y) * to->pitch;
        size_t i = 0;
        for (; i + 16 <= n; i += 16) {
            uint64_t a, b;
            std::memcpy(&a, s + i, 8);
            std::memcpy(&b, s + i + 8, 8);
            std::memcpy(t + i, &a, 8);
            std::memcpy(t + i + 8, &b, 8);
        }
        if (i < n) std::memcpy(t + i, s + i, n - i);
    }
}

struct Frames {
    SDL_Surface* draw = nullptr;
    SDL_Surface* background = nullptr;
    SDL_Surface* video = nullptr;
    bool drawKnown = false;    // draw equals background outside `drawn`
    bool screenKnown = false;  // video equals draw outside `changed` and `drawn`
    Tiles drawn;    // drawn over since the last restore
    Tiles changed;  // restored since the last present
    int open = 0;
} frames;

// Clipped to the tracked surface; false when nothing is left.
bool clip(int& left, int& top, int& right, int& bottom)
{
    int w = frames.drawn.width, h = frames.drawn.height;
    left = std::max(left, 0), top = std::max(top, 0);
    right = std::min(right, w), bottom = std::min(bottom, h);
    return left < right && top < bottom;
}

// Screen updates beyond this many bands are one rectangle round all of them.
constexpr int maxBands = 64;

}  // namespace

TrackedDrawing::TrackedDrawing() { ++frames.open; }
TrackedDrawing::~TrackedDrawing() { --frames.open; }

bool drawingTracked()
{
    return frames.open > 0;
}

void forgetFrames()
{
    frames.drawKnown = false;
    frames.screenKnown = false;
}

void forgetScreen()
{
    frames.screenKnown = false;
}

bool restoreBackground()
{
    SDL_Surface* draw = game.drawSurface;
    SDL_Surface* background = game.backgroundSurface;
    if (!draw || !background) return false;
    bool same = frames.draw == draw && frames.background == background && frames.drawn.width == draw->w &&
                frames.drawn.height == draw->h;
    if (frames.drawKnown && same && copiesBytes(background, draw)) {
        frames.drawn.runs([&](int x, int y0, int x1, int y1) { copyBlock(background, draw, x, y0, x1, y1); });
        frames.changed.add(frames.drawn);
        frames.drawn.clear();
        return true;
    }
    copyWholeSurface(background, draw);
    frames.draw = draw, frames.background = background;
    frames.drawn.reset(draw->w, draw->h);
    frames.changed.reset(draw->w, draw->h);
    // Only a copy of bytes can be undone tile by tile.
    frames.drawKnown = copiesBytes(background, draw);
    frames.screenKnown = false;
    return true;
}

void markDrawn(const SDL_Surface* surface, int left, int top, int right, int bottom)
{
    if (!surface || surface != game.drawSurface) return;
    if (!frames.open) return forgetFrames();
    if (frames.draw != game.drawSurface || !clip(left, top, right, bottom)) return;
    frames.drawn.add(left, top, right, bottom);
}

void markBackgroundChanged(int left, int top, int right, int bottom)
{
    if (!frames.drawKnown || frames.background != game.backgroundSurface || !clip(left, top, right, bottom)) return;
    frames.drawn.add(left, top, right, bottom);
}

bool presentChanges(SDL_Surface* draw, SDL_Surface* video)
{
    if (!frames.screenKnown || frames.video != video || frames.draw != draw || !copiesBytes(draw, video)) return false;
    if (video->flags & (SDL_DOUBLEBUF | SDL_HWSURFACE)) return false;  // a flip shows another buffer
    SDL_Rect bands[maxBands];
    int count = 0;
    frames.changed.add(frames.drawn);
    frames.changed.runs([&](int x, int y0, int x1, int y1) {
        copyBlock(draw, video, x, y0, x1, y1);
        // Runs of one tile row share a band, and so do tile rows that follow each other; the
        // last band takes whatever is left.
        SDL_Rect* b = count ? &bands[count - 1] : nullptr;
        bool joins = b && (b->y + b->h >= y0 || count == maxBands);
        if (!joins) {
            bands[count++] = SDL_Rect{Sint16(x), Sint16(y0), Uint16(x1 - x), Uint16(y1 - y0)};
            return;
        }
        int left = std::min<int>(b->x, x), right = std::max<int>(b->x + b->w, x1);
        b->x = Sint16(left), b->w = Uint16(right - left), b->h = Uint16(std::max<int>(b->y + b->h, y1) - b->y);
    });
    frames.changed.clear();
    if (count) SDL_UpdateRects(video, count, bands);
    return true;
}

void presentedWhole(SDL_Surface* draw, SDL_Surface* video)
{
    frames.video = video;
    frames.screenKnown = draw && draw == frames.draw && frames.changed.width == draw->w && frames.changed.height == draw->h;
    if (frames.screenKnown) frames.changed.clear();
}
