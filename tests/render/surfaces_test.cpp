#include "render/surfaces.h"
#include "render_fixture.h"

#include <cstring>
#include <string>
#include <vector>

namespace {

SDL_Surface* pattern(int w, int h, int seed)
{
    SDL_Surface* s = SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 8, 0, 0, 0, 0);
    SDL_Color colours[256];
    for (int i = 0; i < 256; ++i) colours[i] = {Uint8(i), Uint8(255 - i), Uint8(i * 7), 0};
    SDL_SetPalette(s, SDL_LOGPAL, colours, 0, 256);
    auto* p = static_cast<uint8_t*>(s->pixels);
    for (int i = 0; i < s->pitch * h; ++i) p[i] = uint8_t(i * 31 + seed);
    return s;
}

std::vector<uint8_t> bytes(const SDL_Surface* s)
{
    const auto* p = static_cast<const uint8_t*>(s->pixels);
    return std::vector<uint8_t>(p, p + size_t(s->pitch) * s->h);
}

}  // namespace

// The frame's copy of the background takes a shortcut where SDL's blit only copies bytes; in
// every case it must leave the target exactly as the blit does, padding included.
TEST(CopyWholeSurface, LeavesEveryByteAsTheBlitDoes)
{
    struct Case {
        std::string what;
        int w, h;
        void (*prepare)(SDL_Surface* from, SDL_Surface* to);
    };
    const Case cases[] = {
        {"one palette", 64, 48, [](SDL_Surface*, SDL_Surface*) {}},
        {"rows with padding", 61, 7, [](SDL_Surface*, SDL_Surface*) {}},
        {"another palette", 64, 48,
         [](SDL_Surface*, SDL_Surface* to) {
             SDL_Color grey[256];
             for (int i = 0; i < 256; ++i) grey[i] = {Uint8(i & 0xF0), Uint8(i & 0xF0), Uint8(i & 0xF0), 0};
             SDL_SetPalette(to, SDL_LOGPAL, grey, 0, 256);
         }},
        {"a colour key", 64, 48, [](SDL_Surface* from, SDL_Surface*) { SDL_SetColorKey(from, SDL_SRCCOLORKEY, 5); }},
        {"a clipped target", 64, 48,
         [](SDL_Surface*, SDL_Surface* to) {
             SDL_Rect r{3, 4, 20, 10};
             SDL_SetClipRect(to, &r);
         }},
    };
    for (const Case& c : cases) {
        SDL_Surface* from = pattern(c.w, c.h, 1);
        SDL_Surface* blitted = pattern(c.w, c.h, 2);
        SDL_Surface* copied = pattern(c.w, c.h, 2);
        c.prepare(from, blitted);
        c.prepare(from, copied);
        SDL_BlitSurface(from, nullptr, blitted, nullptr);
        copyWholeSurface(from, copied);
        EXPECT_TRUE(bytes(blitted) == bytes(copied)) << c.what;
        SDL_FreeSurface(from);
        SDL_FreeSurface(blitted);
        SDL_FreeSurface(copied);
    }
    copyWholeSurface(nullptr, nullptr);  // nothing to copy: nothing happens
}
